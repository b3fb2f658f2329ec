// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Bool+value.h"
#include "core/KeyCode.h"
#include "core/Math.h"
#include "core/Number+format.h"
#include "core/UInt64+format.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <unicode/locid.h>

namespace {

// Number texts follow the locale; these tests fix it to US English.
class SmallValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = icu::Locale::getDefault();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale::getUS(), status);
    }
    void TearDown() override
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(m_saved, status);
    }
    icu::Locale m_saved;
};

TEST_F(SmallValues, keyCodes)
{
    EXPECT_EQ(keyCodeFromRawValue(24), std::nullopt);
    EXPECT_EQ(keyCodeFromRawValue(0), std::nullopt);
    EXPECT_EQ(keyCodeFromRawValue(76), KeyCode::enter);
    EXPECT_EQ(keyCodeFromRawValue(36), KeyCode::returnKey);
    EXPECT_EQ(keyCodeFromRawValue(23), KeyCode::five);
    EXPECT_EQ(keyCodeFromRawValue(22), KeyCode::six);
    EXPECT_EQ(static_cast<quint16>(KeyCode::nine), 25);
}

TEST_F(SmallValues, timespans)
{
    const struct { double seconds; int decimals; const char* text; } cases[] = {
        { 0.001, 0, "1:1000" }, { 0.3, 0, "1:3" }, { 0.5, 0, "1:2" }, { 0.51, 0, "1s" }, { 0.6, 0, "1s" },
        { 0, 0, "0s" }, { -5, 0, "-5s" }, { -0.5, 0, "-1s" }, { 1, 2, "1s" }, { 1.25, 1, "1.3s" },
        { 2.25, 1, "2.3s" }, { 59.7, 0, "60s" }, { 59.99, 1, "60s" }, { 60, 0, "1m0s" }, { 90, 0, "1m30s" },
        { 125.9, 0, "2m5s" }, { 3599.9, 0, "59m59s" }, { 3600, 0, "1h0m0s" }, { 3725, 0, "1h2m5s" },
        { std::numeric_limits<double>::infinity(), 0, "0s" },
        { std::numeric_limits<double>::quiet_NaN(), 0, "0s" },
        { 1e-300, 0, "1:9200000000000000000" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Double::formattedTimespan(c.seconds, c.decimals), c.text) << c.seconds;
    EXPECT_FALSE(Double::formattedTimespan(1e30, 0).isEmpty());
}

// An exposure of 1/d seconds names d itself, though 1 / (1.0 / d) may come back
// a hair below d (1/93 gives 92.99999...).
TEST_F(SmallValues, exposureReciprocalsRoundToTheNearestWholeNumber)
{
    for (qint64 denominator = 2; denominator <= 100000; ++denominator) {
        const QString text = Double::formattedTimespan(1.0 / double(denominator), 1);
        ASSERT_EQ(text, QStringLiteral("1:%1").arg(denominator));
    }
    EXPECT_EQ(Double::formattedTimespan(0.4, 1), "1:3") << "2.5 rounds away from zero";
}

TEST_F(SmallValues, roundingAndNumberTexts)
{
    EXPECT_DOUBLE_EQ(Number::rounded(1.23456789, 0), 1.234568);
    EXPECT_DOUBLE_EQ(Number::rounded(1.23456789, 2), 1.23);
    EXPECT_DOUBLE_EQ(Number::rounded(1.23456789, 7), 1.234568);
    EXPECT_DOUBLE_EQ(Number::rounded(-1.25, 1), -1.3);
    EXPECT_DOUBLE_EQ(Double::rounded(1.25, 1), 1.3);
    EXPECT_DOUBLE_EQ(Double::rounded(1250, -2), 1300);
    EXPECT_DOUBLE_EQ(Double::rounded(2.5, 400), 2.5);

    EXPECT_EQ(Number::format(2.50, 2), QString("2.5"));
    EXPECT_EQ(Number::format(2.0, 2), QString("2"));
    EXPECT_EQ(Number::format(1234567.891, 1), QString("1234567.9"));
    EXPECT_EQ(Number::format(std::numeric_limits<double>::infinity(), 2), std::nullopt);
    EXPECT_EQ(Number::format(std::numeric_limits<double>::quiet_NaN(), 2), std::nullopt);
    EXPECT_EQ(Number::formatMaxDigits(7, 3), QString("007"));
    EXPECT_EQ(Number::formatMaxDigits(1234, 2), QString("1234"));
}

TEST_F(SmallValues, fileSizes)
{
    const struct { qint64 bytes; const char* text; } cases[] = {
        { 0, "Zero KB" }, { -5, "Zero KB" }, { 1, "1 byte" }, { 999, "999 bytes" }, { 1000, "1 KB" },
        { 1500, "2 KB" }, { 999499, "999 KB" }, { 999999, "1 MB" }, { 1500000, "1.5 MB" },
        { 1230000000, "1.23 GB" }, { std::numeric_limits<qint64>::max(), "9.22 EB" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Number::formattedFileSize(c.bytes), c.text) << c.bytes;
}

TEST_F(SmallValues, truthValuesHexAndMapping)
{
    const struct { QVariant value; bool expected; } cases[] = {
        { QVariant("1"), true }, { QVariant("true"), true }, { QVariant("0"), false }, { QVariant("True"), false },
        { QVariant("TRUE"), false }, { QVariant("yes"), false }, { QVariant(" 1"), false }, { QVariant(true), true },
        { QVariant(false), false }, { QVariant(), false }, { QVariant(1), false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Bool::fromString(c.value), c.expected) << c.value.toString().toStdString();
    EXPECT_EQ(Bool::stateValue(true), Qt::Checked);
    EXPECT_EQ(Bool::stateValue(false), Qt::Unchecked);

    EXPECT_EQ(UInt64::formatHexadecimal(255, 4), "00FF");
    EXPECT_EQ(UInt64::formatHexadecimal(quint64(1) << 40, 0), "10000000000");
    EXPECT_EQ(UInt64::formatHexadecimal(~quint64(0), -3), "FFFFFFFFFFFFFFFF");

    EXPECT_DOUBLE_EQ(Math::map(5, 0, 10, 100, 200), 150);
    EXPECT_DOUBLE_EQ(Math::map(15, 0, 10, 100, 200), 250);
}

} // namespace
