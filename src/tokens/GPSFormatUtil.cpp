// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPSFormatUtil.h"

#include "core/Number+format.h"
#include "tokens/LocaleFormat.h"

#include <QLocale>

#include <cmath>

GPSDegreesMinutesSeconds GPSDegreesMinutesSeconds::from(const QVariant& decimal)
{
    const double d = LocaleFormat::doubleValue(decimal).value_or(0.0);
    // Image metadata never holds such values; give a finite result anyway.
    if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
        return {};
    GPSDegreesMinutesSeconds result;
    result.degrees = static_cast<qint64>(std::trunc(d));
    const double m = (d - double(result.degrees)) * 60.0;
    result.minutes = static_cast<qint64>(std::trunc(m));
    result.seconds = std::round((m - double(result.minutes)) * 60.0 * 1000.0) / 1000.0;
    // Seconds that round up to a whole minute carry, as do minutes to a degree.
    const int sign = d < 0 ? -1 : 1;
    if (std::fabs(result.seconds) >= 60.0) {
        result.seconds = 0.0;
        result.minutes += sign;
    }
    if (std::llabs(result.minutes) >= 60) {
        result.minutes = 0;
        result.degrees += sign;
    }
    return result;
}

namespace GPSFormatUtil {

namespace {
// The shortest text that reads back as the same double, always with a fraction.
QString shortestDouble(double value)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')) && !text.contains(QLatin1Char('n')))
        text += QStringLiteral(".0");
    return text;
}
} // namespace

QString formatGPSCoordinate(const QVariant& degrees, const std::optional<QString>& ref)
{
    const GPSDegreesMinutesSeconds dms = GPSDegreesMinutesSeconds::from(degrees);
    return QStringLiteral("%1° %2' %3'' %4")
        .arg(dms.degrees)
        .arg(dms.minutes)
        .arg(shortestDouble(dms.seconds), ref.value_or(QString()));
}

QString formatGPSDecimal(const QVariant& decimal, const std::optional<QString>& ref)
{
    const double value = LocaleFormat::doubleValue(decimal).value_or(0.0);
    const QString text = Number::format(value, 5).value_or(QString());
    if ((ref == QStringLiteral("S") || ref == QStringLiteral("W")) && value > 0)
        return QLatin1Char('-') + text;
    return text;
}

} // namespace GPSFormatUtil
