// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileDetailsFormatter.h"

#include "core/Date.h"
#include "core/Number+format.h"
#include "core/TimeZone.h"

namespace FileDetailsFormatter {

namespace {
constexpr int MAX_DECIMALS = 5;
// The user's local time, written as dates in new names are by default, with seconds.
const QString DATE_FORMAT = QStringLiteral("yyyy-MM-dd HH:mm:ss");
} // namespace

QString string(const AttributeValue& value)
{
    switch (value.kind()) {
    case AttributeValue::Case::string:
        return value.stringValue().value_or(QString());
    case AttributeValue::Case::number:
        return value.numberValue().value_or(QVariant()).toString();
    case AttributeValue::Case::date:
        return Date::formatted(value.dateValue().value_or(QDateTime()), DATE_FORMAT, TimeZone::current());
    }
    return {};
}

std::optional<QString> string(const QVariant& value)
{
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        if (auto text = Number::format(value.toDouble(), MAX_DECIMALS))
            return text;
        return value.toString();
    }
    if (value.metaType() == QMetaType::fromType<AttributeValue>())
        return string(value.value<AttributeValue>());
    return value.toString();
}

} // namespace FileDetailsFormatter
