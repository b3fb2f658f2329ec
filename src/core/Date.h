// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/TimeZone.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Dates read from file metadata and written with TR35 patterns (ICU).
namespace Date {

// The fixed pattern of the file inspector; the time separators are U+A789.
inline const QString DATE_FORMAT = QString::fromUtf8("yyyy-MM-dd'T'HH\uA789mm\uA789ssZ");

// An EXIF date-time ("2023:07:14 18:22:05"), with the offset text when given,
// else read in the current time zone. A text that does not parse is logged.
std::optional<QDateTime> fromExifDateTime(const std::optional<QString>& exifDateTime,
    const std::optional<QString>& exifOffsetTime);

// "2021", "2021-06", "2021-06-15" (midnight UTC) or a full internet date-time.
std::optional<QDateTime> iso8601Date(const QString& text);

QString formatted(const QDateTime& date, const QString& dateFormat, const TimeZone& timeZone);
QString formatted(const QDateTime& date, const TimeZone& timeZone);

} // namespace Date
