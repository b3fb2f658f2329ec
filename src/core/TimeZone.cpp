// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TimeZone.h"

#include "core/Int+format.h"
#include "core/IcuString.h"
#include "core/TextOffsets.h"

#include <unicode/simpletz.h>
#include <unicode/strenum.h>
#include <unicode/timezone.h>

#include <algorithm>

namespace {

std::optional<qint64> signedNumber(const QString& text)
{
    return Int::fromOptional(QVariant(text));
}

} // namespace

TimeZone::TimeZone(std::shared_ptr<const icu::TimeZone> zone)
    : m_zone(std::move(zone))
{
}

TimeZone TimeZone::current()
{
    return TimeZone(std::shared_ptr<const icu::TimeZone>(icu::TimeZone::createDefault()));
}

std::optional<TimeZone> TimeZone::fromIdentifier(const QString& identifier)
{
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(IcuString::toIcu(identifier)));
    if (!zone || *zone == icu::TimeZone::getUnknown())
        return std::nullopt;
    return TimeZone(std::shared_ptr<const icu::TimeZone>(std::move(zone)));
}

std::optional<TimeZone> TimeZone::fromSecondsFromGMT(qint64 seconds)
{
    if (seconds < -MAX_OFFSET || seconds > MAX_OFFSET)
        return std::nullopt;
    QString id = QStringLiteral("GMT");
    if (seconds != 0) {
        const qint64 m = seconds < 0 ? -seconds : seconds;
        id += QString::asprintf("%c%02lld%02lld", seconds < 0 ? '-' : '+', m / 3600, (m % 3600) / 60);
    }
    return TimeZone(std::make_shared<const icu::SimpleTimeZone>(int32_t(seconds * 1000), IcuString::toIcu(id)));
}

std::optional<TimeZone> TimeZone::fromIso8601TimeZone(const QString& input)
{
    const QString text = input.isEmpty() ? QStringLiteral("Z") : input;
    const QStringList chars = TextOffsets(text).characters();
    qint64 seconds = 0;
    switch (chars.size()) {
    case 1:
        break;
    case 3: {
        const auto hours = signedNumber(text);
        if (!hours || *hours < -99 || *hours > 99)
            return std::nullopt;
        seconds = *hours * 3600;
        break;
    }
    case 5:
    case 6: {
        const QString hourPart = chars.mid(0, 3).join(QString());
        const auto hours = signedNumber(hourPart);
        const auto minutes = signedNumber(chars.mid(chars.size() - 2).join(QString()));
        if (!hours || !minutes || *hours < -99 || *hours > 99 || *minutes < -99 || *minutes > 99)
            return std::nullopt;
        const bool negative = hourPart.startsWith(QLatin1Char('-'));
        seconds = *hours * 3600 + (negative ? -*minutes : *minutes) * 60;
        break;
    }
    default:
        return std::nullopt;
    }
    return fromSecondsFromGMT(seconds);
}

std::optional<TimeZone> TimeZone::fromIso8601DateTime(const QString& text)
{
    const TextOffsets offsets(text);
    return fromIso8601TimeZone(text.mid(offsets.utf16Position(19)));
}

std::optional<qint64> TimeZone::secondsFromGMT(const std::optional<QString>& iso8601TimeZone)
{
    const auto zone = fromIso8601TimeZone(iso8601TimeZone.value_or(QStringLiteral("Z")));
    if (!zone)
        return std::nullopt;
    return zone->secondsFromGMT();
}

QList<TimeZone> TimeZone::listAvailableTimeZones()
{
    struct Entry {
        TimeZone zone;
        QString text;
        QString region;
        int rank;
    };
    static const QStringList priority { QStringLiteral("GMT (0)"), QStringLiteral("Europe") };
    QList<Entry> entries;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> ids(icu::TimeZone::createEnumeration(status));
    if (U_FAILURE(status) || !ids)
        return {};
    while (const icu::UnicodeString* id = ids->snext(status)) {
        if (U_FAILURE(status))
            break;
        const auto zone = fromIdentifier(IcuString::fromIcu(*id));
        if (!zone)
            continue;
        const QString text = zone->description();
        const QStringList pieces = text.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const QString region = pieces.isEmpty() ? text : pieces.first();
        const qsizetype rank = priority.indexOf(region);
        entries.append({ *zone, text, region, rank < 0 ? 2 : int(rank) });
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.region != b.region)
            return a.region < b.region;
        return a.text < b.text;
    });
    QList<TimeZone> zones;
    for (const Entry& entry : entries)
        zones.append(entry.zone);
    return zones;
}

QString TimeZone::identifier() const
{
    icu::UnicodeString id;
    m_zone->getID(id);
    return IcuString::fromIcu(id);
}

qint64 TimeZone::secondsFromGMT(const QDateTime& at) const
{
    int32_t raw = 0;
    int32_t dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    m_zone->getOffset(UDate(at.toMSecsSinceEpoch()), false, raw, dst, status);
    return U_SUCCESS(status) ? (qint64(raw) + dst) / 1000 : 0;
}

QString TimeZone::description() const
{
    return QStringLiteral("%1 (%2)").arg(identifier()).arg(secondsFromGMT());
}
