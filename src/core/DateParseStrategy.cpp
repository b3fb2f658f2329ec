// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DateParseStrategy.h"

#include "core/IcuString.h"

#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

DateParseStrategy::DateParseStrategy(const QString& pattern, Zone zone, bool lenient)
    : m_zone(zone)
{
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(IcuString::toIcu(pattern), icu::Locale::getRoot(), status);
    if (U_FAILURE(status))
        return;
    format->adoptCalendar(new icu::GregorianCalendar(status));
    if (zone == Zone::utc)
        format->setTimeZone(*icu::TimeZone::getGMT());
    else
        format->adoptTimeZone(icu::TimeZone::createDefault());
    format->setLenient(lenient);
    format->set2DigitYearStart(0, status); // 1970-01-01 UTC
    if (U_SUCCESS(status))
        m_format = std::move(format);
}

DateParseStrategy::~DateParseStrategy() = default;

std::optional<QDateTime> DateParseStrategy::parse(const QString& text, QString* error) const
{
    if (!m_format) {
        if (error)
            *error = QStringLiteral("The date pattern is not available");
        return std::nullopt;
    }
    std::unique_ptr<icu::SimpleDateFormat> format(m_format->clone());
    if (m_zone == Zone::autoupdatingCurrent)
        format->adoptTimeZone(icu::TimeZone::createDefault());
    const icu::UnicodeString input = IcuString::toIcu(text);
    icu::ParsePosition position(0);
    const UDate date = format->parse(input, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) {
        if (error) {
            const int at = position.getErrorIndex() >= 0 ? position.getErrorIndex() : position.getIndex();
            *error = QStringLiteral("The text does not match the date pattern at position %1").arg(at);
        }
        return std::nullopt;
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(date), Qt::UTC);
}

const DateParseStrategy& DateParseStrategy::exifDateParseStrategy()
{
    static const DateParseStrategy strategy(QStringLiteral("uuuu:MM:dd HH:mm:ssXXXXX"), Zone::autoupdatingCurrent, true);
    return strategy;
}

const DateParseStrategy& DateParseStrategy::exifDateParseStrategyUsingCurrentTimeZone()
{
    static const DateParseStrategy strategy(QStringLiteral("uuuu:MM:dd HH:mm:ss"), Zone::fixedCurrent, true);
    return strategy;
}
