// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/GPS.h"
#include "tokens/GPSCoordinate.h"
#include "tokens/GPSFormatUtil.h"
#include "tokens/GPSPrecision.h"
#include "tokens/TokenItem.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <unicode/locid.h>

namespace {

class GPSFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
    }
    void TearDown() override
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved, status);
    }
    icu::Locale saved;
};

TEST_F(GPSFormats, DegreesMinutesSeconds)
{
    const struct {
        QVariant degrees;
        std::optional<QString> ref;
        const char* text;
    } cases[] = {
        { 10.5731, QString("N"), "10° 34' 23.16'' N" },
        { 0, QString("N"), "0° 0' 0.0'' N" },
        { 12.5, std::nullopt, "12° 30' 0.0'' " },
        { QVariant(), QString("E"), "0° 0' 0.0'' E" },
        { -12.51, QString("S"), "-12° -30' -36.0'' S" },
        { qQNaN(), QString("N"), "0° 0' 0.0'' N" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(GPSFormatUtil::formatGPSCoordinate(c.degrees, c.ref), QString::fromUtf8(c.text)) << c.text;
}

TEST_F(GPSFormats, SignedDecimal)
{
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(33.85678912, QString("S")), "-33.85679");
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(4.9, QString("W")), "-4.9");
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(4.9, QString("E")), "4.9");
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(-4.9, QString("W")), "-4.9");
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(4.9, std::nullopt), "4.9");
    EXPECT_EQ(GPSFormatUtil::formatGPSDecimal(qlonglong(7), QString("S")), "-7");
}

TEST(GPSPrecision, TableAndRounding)
{
    EXPECT_FALSE(GPSPrecisions::fromRawValue(0).has_value());
    EXPECT_FALSE(GPSPrecisions::fromRawValue(7).has_value());
    EXPECT_EQ(GPSPrecisions::fromRawValue(2), GPSPrecision::city);
    EXPECT_EQ(GPSPrecisions::allCases().size(), 6);
    EXPECT_EQ(GPSPrecisions::from(TokenItem::attribute("GPS-AddressCity")), GPSPrecision::city);
    EXPECT_EQ(GPSPrecisions::from(TokenItem::attribute("GPS-AddressCountry")), GPSPrecision::country);
    EXPECT_EQ(GPSPrecisions::from(TokenItem::attribute("gps-addresscity")), GPSPrecision::city);
    EXPECT_EQ(GPSPrecisions::from(TokenItem::attribute("GPS-Elsewhere")), GPSPrecision::full);
    EXPECT_TRUE(TokenItem::attribute("gps-addresscity").isGPSAddress());
    EXPECT_EQ(GPSLocationKeys().size(), 10);

    const GPSCoordinate position { GPSPrecisions::rounded(GPSPrecision::city, 10.123456),
        GPSPrecisions::rounded(GPSPrecision::city, -20.654321) };
    EXPECT_EQ(position.key(), "10.12,-20.65");
    EXPECT_EQ(GPSPrecisions::rounded(GPSPrecision::full, 10.1234561).toDouble(), 10.123456);
}

TEST(GPSCoordinate, JsonAndEquality)
{
    EXPECT_EQ(GPSCoordinate::fromJson(QJsonObject()), (GPSCoordinate { 0.0, 0.0 }));
    const GPSCoordinate position { 51.5, -0.12 };
    EXPECT_EQ(GPSCoordinate::fromJson(position.toJson()), position);
    EXPECT_EQ(qHash(position), qHash(GPSCoordinate { 51.5, -0.12 }));
    EXPECT_EQ(GPSIds::rawValue(GPS::latitudeRef), "{GPS}.LatitudeRef");
    EXPECT_EQ(GPSIds::fromRawValue("{GPS}.Altitude"), GPS::altitude);
    EXPECT_FALSE(GPSIds::fromRawValue("{gps}.altitude").has_value());
    EXPECT_FALSE(GPSIds::coordinateFormat(2).has_value());
}

} // namespace
