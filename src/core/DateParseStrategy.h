// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class SimpleDateFormat;
U_NAMESPACE_END

// A fixed TR35 parse pattern, built once and shared; each parse works on its
// own copy of the formatter, so any thread may parse.
class DateParseStrategy {
public:
    enum class Zone { fixedCurrent, autoupdatingCurrent, utc };

    DateParseStrategy(const QString& pattern, Zone zone, bool lenient);
    ~DateParseStrategy();

    // The whole text must match; `error` tells why not.
    std::optional<QDateTime> parse(const QString& text, QString* error = nullptr) const;

    // "uuuu:MM:dd HH:mm:ssXXXXX", the zone taken from the text.
    static const DateParseStrategy& exifDateParseStrategy();
    // "uuuu:MM:dd HH:mm:ss" in the time zone current at first use.
    static const DateParseStrategy& exifDateParseStrategyUsingCurrentTimeZone();

private:
    std::unique_ptr<icu::SimpleDateFormat> m_format;
    Zone m_zone;
};
