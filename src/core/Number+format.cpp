// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Number+format.h"

#include "core/IcuString.h"

#include <unicode/decimfmt.h>
#include <unicode/numfmt.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

std::unique_ptr<icu::NumberFormat> newFormatter()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> formatter(icu::NumberFormat::createInstance(icu::Locale::getDefault(), status));
    if (U_FAILURE(status))
        return nullptr;
    formatter->setGroupingUsed(false);
    formatter->setRoundingMode(icu::NumberFormat::kRoundHalfEven);
    return formatter;
}

std::optional<QString> text(const icu::NumberFormat& formatter, double value)
{
    icu::UnicodeString result;
    formatter.format(value, result);
    return IcuString::fromIcu(result);
}

// Seconds truncated toward zero, kept inside the 64-bit range.
qint64 truncated(double value)
{
    constexpr double limit = 9.2e18;
    return qint64(std::trunc(std::clamp(value, -limit, limit)));
}

double roundedBy(double value, double factor)
{
    const double scaled = value * factor;
    if (!std::isfinite(scaled) || factor == 0)
        return value;
    return std::round(scaled) / factor;
}

} // namespace

namespace Number {

QString formattedFileSize(qint64 bytes)
{
    if (bytes <= 0)
        return QStringLiteral("Zero KB");
    if (bytes == 1)
        return QStringLiteral("1 byte");
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);
    static const struct { const char* unit; int decimals; } units[] = {
        { "KB", 0 }, { "MB", 1 }, { "GB", 2 }, { "TB", 2 }, { "PB", 2 }, { "EB", 2 },
    };
    double value = double(bytes) / 1000.0;
    size_t unit = 0;
    // Move up while the rounded value would read 1000 or more.
    while (unit + 1 < std::size(units)
        && roundedBy(value, std::pow(10.0, units[unit].decimals)) >= 1000.0) {
        value /= 1000.0;
        ++unit;
    }
    auto formatter = newFormatter();
    if (!formatter)
        return QStringLiteral("%1 %2").arg(value, 0, 'f', units[unit].decimals).arg(QLatin1String(units[unit].unit));
    formatter->setMinimumFractionDigits(0);
    formatter->setMaximumFractionDigits(units[unit].decimals);
    formatter->setRoundingMode(icu::NumberFormat::kRoundHalfUp);
    return *text(*formatter, value) + QLatin1Char(' ') + QLatin1String(units[unit].unit);
}

double rounded(double value, int decimals)
{
    static const double factors[] = { 10, 100, 1000, 10000, 100000 };
    const double factor = (decimals >= 1 && decimals <= 5) ? factors[decimals - 1] : 1000000;
    return roundedBy(value, factor);
}

std::optional<QString> format(double value, int maxDecimals)
{
    if (!std::isfinite(value))
        return std::nullopt;
    auto formatter = newFormatter();
    if (!formatter)
        return std::nullopt;
    const int decimals = std::clamp(maxDecimals, 0, 340);
    formatter->setMinimumFractionDigits(0);
    formatter->setMaximumFractionDigits(decimals);
    return text(*formatter, Double::rounded(value, maxDecimals));
}

std::optional<QString> formatMaxDigits(double value, int minDigits)
{
    if (std::isnan(value))
        return std::nullopt;
    auto formatter = newFormatter();
    if (!formatter)
        return std::nullopt;
    formatter->setMaximumFractionDigits(0);
    formatter->setMinimumIntegerDigits(std::clamp(minDigits, 0, 255));
    return text(*formatter, value);
}

} // namespace Number

namespace Double {

double rounded(double value, int decimals)
{
    return roundedBy(value, std::pow(10.0, decimals));
}

QString formattedTimespan(double s, int decimalsForSeconds)
{
    if (!std::isfinite(s))
        return QStringLiteral("0s");
    const qint64 h = truncated(s / 3600);
    const double r = s - double(h) * 3600;
    const qint64 m = truncated(r / 60);
    const qint64 secondsPart = truncated(r - double(m) * 60);
    if (s < 1) {
        // 1/93 s comes back as 92.99999... seconds; the shutter's nominal
        // denominator is the nearest whole number.
        if (s > 0 && 1 / s >= 2)
            return QStringLiteral("1:%1").arg(truncated(std::round(1 / s)));
        return QStringLiteral("%1s").arg(truncated(std::round(s)));
    }
    if (s < 60)
        return Number::format(s, decimalsForSeconds).value_or(QStringLiteral("0")) + QLatin1Char('s');
    if (s < 3600)
        return QStringLiteral("%1m%2s").arg(m).arg(secondsPart);
    return QStringLiteral("%1h%2m%3s").arg(h).arg(m).arg(secondsPart);
}

} // namespace Double
