// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Date.h"

#include "core/DateParseStrategy.h"
#include "core/IcuString.h"
#include "core/TextOffsets.h"
#include "platform/Log.h"

#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace Date {

std::optional<QDateTime> fromExifDateTime(const std::optional<QString>& exifDateTime,
    const std::optional<QString>& exifOffsetTime)
{
    if (!exifDateTime || exifDateTime->isEmpty())
        return std::nullopt;
    QString error;
    const auto date = exifOffsetTime
        ? DateParseStrategy::exifDateParseStrategy().parse(*exifDateTime + *exifOffsetTime, &error)
        : DateParseStrategy::exifDateParseStrategyUsingCurrentTimeZone().parse(*exifDateTime, &error);
    if (!date)
        Log::error(Log::Category::files, "EXIF date parsing failed for '%s', %s", *exifDateTime, error);
    return date;
}

std::optional<QDateTime> iso8601Date(const QString& text)
{
    static const DateParseStrategy internetDateTime(
        QStringLiteral("yyyy-MM-dd'T'HH:mm:ssXXX"), DateParseStrategy::Zone::utc, false);
    QString completed = text;
    switch (TextOffsets(text).characterCount()) {
    case 0: case 1: case 2: case 3:
        return std::nullopt;
    case 4:
        completed += QStringLiteral("-01-01T00:00:00Z");
        break;
    case 7:
        completed += QStringLiteral("-01T00:00:00Z");
        break;
    case 10:
        completed += QStringLiteral("T00:00:00Z");
        break;
    default:
        break;
    }
    return internetDateTime.parse(completed);
}

QString formatted(const QDateTime& date, const QString& dateFormat, const TimeZone& timeZone)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(IcuString::toIcu(dateFormat), icu::Locale::getDefault(), status);
    if (U_FAILURE(status))
        return QString();
    format.setTimeZone(timeZone.icuTimeZone());
    icu::UnicodeString result;
    format.format(UDate(date.toMSecsSinceEpoch()), result);
    return IcuString::fromIcu(result);
}

QString formatted(const QDateTime& date, const TimeZone& timeZone)
{
    return formatted(date, DATE_FORMAT, timeZone);
}

} // namespace Date
