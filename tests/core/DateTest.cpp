// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Date.h"
#include "core/TimeZone.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

TEST(Dates, zoneTexts)
{
    const struct { const char* text; std::optional<qint64> seconds; } cases[] = {
        { "Z", 0 }, { "", 0 }, { "X", 0 }, { "+05", 18000 }, { "-08", -28800 }, { "005", 18000 },
        { "+0530", 19800 }, { "+05:30", 19800 }, { "+05x30", 19800 }, { "-03:30", -12600 },
        { "-00:30", -1800 }, { "+00:30", 1800 }, { "+00:00", 0 }, { "+18:00", 64800 },
        { "+5:30", std::nullopt }, { "UTC", std::nullopt }, { "+19:00", std::nullopt },
        { "+1", std::nullopt }, { "+053", std::nullopt }, { "+05:300", std::nullopt }, { "+a:30", std::nullopt },
        { "+05:3x", std::nullopt },
    };
    for (const auto& c : cases) {
        const auto zone = TimeZone::fromIso8601TimeZone(c.text);
        ASSERT_EQ(zone.has_value(), c.seconds.has_value()) << c.text;
        if (zone) {
            EXPECT_EQ(zone->secondsFromGMT(), *c.seconds) << c.text;
        }
        EXPECT_EQ(TimeZone::secondsFromGMT(QString(c.text)), c.seconds) << c.text;
    }
    EXPECT_EQ(TimeZone::secondsFromGMT(std::nullopt), 0);

    EXPECT_EQ(TimeZone::fromIso8601DateTime("2024-03-01T10:00:00+01:00")->secondsFromGMT(), 3600);
    EXPECT_EQ(TimeZone::fromIso8601DateTime("2024-03-01T10:00:00")->secondsFromGMT(), 0);
    EXPECT_FALSE(TimeZone::fromIso8601DateTime("2024-03-01T10:00:00.250Z"));
}

TEST(Dates, exifDates)
{
    EXPECT_EQ(Date::fromExifDateTime(QString("2023:07:14 18:22:05"), QString("+02:00")), utc(2023, 7, 14, 16, 22, 5));
    EXPECT_EQ(Date::fromExifDateTime(QString("2023:07:14 18:22:05"), QString("Z")), utc(2023, 7, 14, 18, 22, 5));

    const auto local = Date::fromExifDateTime(QString("2023:07:14 18:22:05"), std::nullopt);
    ASSERT_TRUE(local);
    const qint64 offset = TimeZone::current().secondsFromGMT(*local);
    EXPECT_EQ(local->addSecs(offset), utc(2023, 7, 14, 18, 22, 5));

    // Only the parser's own lines: other threads of the process may log meanwhile.
    LogCapture capture;
    const auto failures = [&] { return capture.lines().filter("EXIF date parsing failed"); };
    EXPECT_FALSE(Date::fromExifDateTime(std::nullopt, QString("+02:00")));
    EXPECT_FALSE(Date::fromExifDateTime(QString(""), std::nullopt));
    EXPECT_TRUE(failures().isEmpty());

    EXPECT_FALSE(Date::fromExifDateTime(QString("14.07.2023 18:22"), std::nullopt));
    ASSERT_EQ(failures().size(), 1);
    EXPECT_TRUE(failures().first().startsWith("EXIF date parsing failed for '14.07.2023 18:22', "));
    capture.clear();
    EXPECT_FALSE(Date::fromExifDateTime(QString("2023:07:14 18:22:05"), QString("garbage")));
    ASSERT_EQ(failures().size(), 1);
    EXPECT_TRUE(failures().first().startsWith("EXIF date parsing failed for '2023:07:14 18:22:05', "));
}

TEST(Dates, partialIso8601Dates)
{
    const struct { const char* text; std::optional<QDateTime> date; } cases[] = {
        { "2021", utc(2021, 1, 1, 0, 0, 0) },
        { "2021-06", utc(2021, 6, 1, 0, 0, 0) },
        { "2021-06-15", utc(2021, 6, 15, 0, 0, 0) },
        { "2021-06-15T08:30:00+02:00", utc(2021, 6, 15, 6, 30, 0) },
        { "2021-06-15T08:30:00Z", utc(2021, 6, 15, 8, 30, 0) },
        { "202", std::nullopt },
        { "", std::nullopt },
        { "2021-06-15 08:30", std::nullopt },
        { "June", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Date::iso8601Date(c.text), c.date) << c.text;
}

TEST(Dates, formatting)
{
    const auto plusOne = TimeZone::fromSecondsFromGMT(3600);
    ASSERT_TRUE(plusOne);
    EXPECT_EQ(Date::formatted(utc(2024, 3, 1, 9, 0, 0), *plusOne),
        QString::fromUtf8("2024-03-01T10\uA789" "00\uA789" "00+0100"));
    EXPECT_EQ(Date::DATE_FORMAT.toUtf8().size(), 26);
    const auto paris = TimeZone::fromIdentifier("Europe/Paris");
    ASSERT_TRUE(paris);
    EXPECT_EQ(Date::formatted(utc(2024, 7, 1, 12, 0, 0), "yyyy-MM-dd HH:mm", *paris), "2024-07-01 14:00");
    EXPECT_FALSE(TimeZone::fromIdentifier("Nowhere/Town"));
}

TEST(Dates, timeZoneList)
{
    const QList<TimeZone> zones = TimeZone::listAvailableTimeZones();
    ASSERT_GT(zones.size(), 100);
    EXPECT_EQ(zones.first().identifier(), "GMT");
    qsizetype lastEurope = -1;
    qsizetype firstOther = -1;
    for (qsizetype i = 1; i < zones.size(); ++i) {
        if (zones[i].identifier().startsWith("Europe/"))
            lastEurope = i;
        else if (firstOther < 0)
            firstOther = i;
        if (i > 1 && zones[i - 1].identifier().section('/', 0, 0) == zones[i].identifier().section('/', 0, 0)) {
            EXPECT_LT(zones[i - 1].description(), zones[i].description());
        }
    }
    EXPECT_GT(lastEurope, 0);
    EXPECT_LT(lastEurope, firstOther);
}

} // namespace
