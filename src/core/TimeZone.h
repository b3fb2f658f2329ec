// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

// A time zone (ICU), shared and immutable, with the readers of ISO 8601 zone
// texts found in file metadata.
class TimeZone {
public:
    // The largest offset a fixed-offset zone may have.
    static constexpr qint64 MAX_OFFSET = 18 * 3600;

    static TimeZone current();
    static std::optional<TimeZone> fromIdentifier(const QString& identifier);
    static std::optional<TimeZone> fromSecondsFromGMT(qint64 seconds);

    // "Z" (or any one character, or ""), "+05", "+0530", "+05:30".
    static std::optional<TimeZone> fromIso8601TimeZone(const QString& text);
    // The zone part after the first 19 characters of a date-time text.
    static std::optional<TimeZone> fromIso8601DateTime(const QString& text);
    // The offset of a zone text now; an absent text reads as "Z".
    static std::optional<qint64> secondsFromGMT(const std::optional<QString>& iso8601TimeZone);

    // Every known zone: "GMT" first, then Europe, then the other regions.
    static QList<TimeZone> listAvailableTimeZones();

    QString identifier() const;
    qint64 secondsFromGMT(const QDateTime& at = QDateTime::currentDateTimeUtc()) const;
    // The identifier and the current offset in seconds: "Europe/Paris (3600)".
    QString description() const;

    const icu::TimeZone& icuTimeZone() const { return *m_zone; }

private:
    explicit TimeZone(std::shared_ptr<const icu::TimeZone> zone);
    std::shared_ptr<const icu::TimeZone> m_zone;
};
