// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/LocaleFormat.h"

#include "core/Date.h"
#include "core/IcuString.h"
#include "core/TimeZone.h"

#include <unicode/decimfmt.h>
#include <unicode/locid.h>

#include <cmath>
#include <memory>

namespace LocaleFormat {

QString currentTimeZoneId()
{
    return TimeZone::current().identifier();
}

bool isKnownTimeZone(const QString& identifier)
{
    return TimeZone::fromIdentifier(identifier).has_value();
}

QString formatDate(const QDateTime& date, const QString& pattern, const QString& timeZoneId)
{
    return Date::formatted(date, pattern, TimeZone::fromIdentifier(timeZoneId).value_or(TimeZone::current()));
}

std::optional<double> doubleValue(const QVariant& number)
{
    switch (number.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return double(number.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return double(number.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return number.toDouble();
    default:
        return std::nullopt;
    }
}

QString description(const QVariant& number)
{
    switch (number.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(number.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(number.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(number.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return number.toString();
    }
}

namespace {
std::unique_ptr<icu::DecimalFormat> plainFormatter()
{
    UErrorCode status = U_ZERO_ERROR;
    auto formatter = std::make_unique<icu::DecimalFormat>(icu::UnicodeString(u"0"),
        icu::DecimalFormatSymbols(icu::Locale::getDefault(), status), status);
    if (U_FAILURE(status))
        return nullptr;
    formatter->setGroupingUsed(false);
    return formatter;
}

std::optional<QString> format(icu::DecimalFormat& formatter, const QVariant& number)
{
    icu::UnicodeString text;
    switch (number.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        formatter.format(static_cast<int64_t>(number.toLongLong()), text);
        break;
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 value = number.toULongLong();
        if (value <= quint64(std::numeric_limits<int64_t>::max())) {
            formatter.format(static_cast<int64_t>(value), text);
        } else {
            UErrorCode status = U_ZERO_ERROR;
            const QByteArray digits = QByteArray::number(value);
            formatter.format(icu::StringPiece(digits.constData(), int32_t(digits.size())), text, nullptr, status);
            if (U_FAILURE(status))
                return std::nullopt;
        }
        break;
    }
    default: {
        const auto d = doubleValue(number);
        if (!d || !std::isfinite(*d))
            return std::nullopt;
        formatter.format(*d, text);
    }
    }
    if (text.isEmpty())
        return std::nullopt;
    return IcuString::fromIcu(text);
}
} // namespace

std::optional<QString> formatInteger(const QVariant& number, int minimumIntegerDigits)
{
    auto formatter = plainFormatter();
    if (!formatter)
        return std::nullopt;
    formatter->setMinimumIntegerDigits(std::max(0, minimumIntegerDigits));
    formatter->setMaximumFractionDigits(0);
    formatter->setRoundingMode(icu::DecimalFormat::kRoundHalfEven);
    return format(*formatter, number);
}

} // namespace LocaleFormat
