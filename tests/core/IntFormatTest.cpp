// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Int+format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr qint64 kMin = std::numeric_limits<qint64>::min();
constexpr qint64 kMax = std::numeric_limits<qint64>::max();

TEST(IntFormat, counters)
{
    const struct { const char* name; QString actual; QString expected; } cases[] = {
        { "decimal padded", Int::formatDecimal(7, 3), "007" },
        { "decimal negative keeps its digits", Int::formatDecimal(-7, 3), "-007" },
        { "decimal wider than digits", Int::formatDecimal(1234, 2), "1234" },
        { "decimal zero digits", Int::formatDecimal(42, 0), "42" },
        { "decimal zero", Int::formatDecimal(0, 3), "000" },
        { "decimal minus one", Int::formatDecimal(-1, 3), "-001" },
        { "decimal negative width", Int::formatDecimal(5, -4), "5" },
        { "decimal most negative", Int::formatDecimal(kMin, 0), "-9223372036854775808" },
        { "decimal huge width is capped", QString::number(Int::formatDecimal(1, std::numeric_limits<int>::max()).size()), "255" },
        { "hex", Int::formatHexadecimal(255, 4), "00FF" },
        { "hex negative", Int::formatHexadecimal(-255, 4), "-00FF" },
        { "hex zero", Int::formatHexadecimal(0, 0), "0" },
        { "hex 4096", Int::formatHexadecimal(4096, 0), "1000" },
        { "hex most negative", Int::formatHexadecimal(kMin, 0), "-8000000000000000" },
        { "letters 1", Int::bijectiveAlphabethical(1), "a" },
        { "letters 26", Int::bijectiveAlphabethical(26), "z" },
        { "letters 27", Int::bijectiveAlphabethical(27), "aa" },
        { "letters 52", Int::bijectiveAlphabethical(52), "az" },
        { "letters 53", Int::bijectiveAlphabethical(53), "ba" },
        { "letters 702", Int::bijectiveAlphabethical(702), "zz" },
        { "letters 703", Int::bijectiveAlphabethical(703), "aaa" },
        { "letters max", Int::bijectiveAlphabethical(kMax), "crpxnlskvljfhg" },
        { "alphabetical padded", Int::formatAlphabethical(28, 4), "  ab" },
        { "alphabetical zero", Int::formatAlphabethical(0, 4), "  -a" },
        { "alphabetical minus one", Int::formatAlphabethical(-1, 0), "-b" },
        { "alphabetical most negative", Int::formatAlphabethical(kMin, 0), "-crpxnlskvljfhi" },
        { "roman 4", Int::formatRoman(4, 0), "IV" },
        { "roman 1994", Int::formatRoman(1994, 0), "MCMXCIV" },
        { "roman 3999", Int::formatRoman(3999, 0), "MMMCMXCIX" },
        { "roman 4000", Int::formatRoman(4000, 0), QString::fromUtf8("M\u2181") },
        { "roman 12000", Int::formatRoman(12000, 0), QString::fromUtf8("\u2182MM") },
        { "roman wraps", Int::formatRoman(100001, 0), "I" },
        { "roman negative", Int::formatRoman(-14, 0), "-XIV" },
        { "roman padded", Int::formatRoman(5, 3), "  V" },
        { "roman zero", Int::formatRoman(0, 3), "  N" },
        { "roman 100000", Int::formatRoman(100000, 2), "  " },
        { "roman -100000", Int::formatRoman(-100000, 0), "" },
        { "roman 99999", Int::formatRoman(99999, 0), QString(9, QChar(0x2182)) + QString::fromUtf8("M\u2182CMXCIX") },
        { "roman most negative", Int::formatRoman(kMin, 0), "-" + QString(7, QChar(0x2182)) + QString::fromUtf8("\u2181DCCCVIII") },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(IntFormat, offsetsClampAndFlash)
{
    const struct { qint64 seconds; const char* text; } offsets[] = {
        { 19800, "+05:30" }, { -12600, "-03:30" }, { 0, "+00:00" }, { 14 * 3600, "+14:00" },
        { 3599, "+00:59" }, { -1, "-00:00" },
    };
    for (const auto& c : offsets)
        EXPECT_EQ(Int::formattedTimeZoneOffset(c.seconds), c.text) << c.seconds;
    EXPECT_FALSE(Int::formattedTimeZoneOffset(kMin).isEmpty());

    EXPECT_EQ(Int::clamp(0, 1, 10), 1);
    EXPECT_EQ(Int::clamp(11, 1, 10), 10);
    EXPECT_EQ(Int::clamp(5, 1, 10), 5);
    EXPECT_EQ(Int::clamp(5, 10, 1), 10);
    EXPECT_EQ(Int::clamp(11, 10, 1), 1);

    // Mode 0 (bits 3-4) is unknown and names no mode; return bits 2 alone are reserved.
    const struct { qint64 value; const char* text; } flashes[] = {
        { 0, "No Flash" }, { 1, "Flash, Fired" }, { 9, "Flash On, Fired" }, { 16, "Flash Off" }, { 17, "Flash Off" },
        { 24, "Flash Auto, Not Fired" }, { 25, "Flash Auto, Fired" }, { 65, "Flash, Fired, Red-eye Reduction" },
        { 32, "Flash, Not Fired, No Flash Function" }, { 7, "Flash, Fired, Return Detected" },
        { 3, "Flash, Fired" }, { 5, "Flash, Fired, Return Not Detected" }, { 13, "Flash On, Fired, Return Not Detected" },
        { 95, "Flash Auto, Fired, Return Detected, Red-eye Reduction" },
        { 127, "Flash Auto, Fired, Return Detected, No Flash Function, Red-eye Reduction" },
    };
    for (const auto& c : flashes)
        EXPECT_EQ(Int::flashDescription(c.value), c.text) << c.value;
}

TEST(IntFormat, readingStoredValues)
{
    const struct { QVariant value; std::optional<qint64> expected; } cases[] = {
        { QVariant("+42"), 42 },
        { QVariant("-42"), -42 },
        { QVariant(" 42"), std::nullopt },
        { QVariant("4.2"), std::nullopt },
        { QVariant(""), std::nullopt },
        { QVariant("-"), std::nullopt },
        { QVariant("9223372036854775807"), kMax },
        { QVariant("-9223372036854775808"), kMin },
        { QVariant("9223372036854775808"), std::nullopt },
        { QVariant(4.2), std::nullopt },
        { QVariant(7), 7 },
        { QVariant(), std::nullopt },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Int::fromOptional(c.value), c.expected) << c.value.toString().toStdString();
        EXPECT_EQ(Int::fromString(c.value), c.expected.value_or(0));
        EXPECT_EQ(Int::fromString(c.value, 99), c.expected.value_or(99));
    }
}

} // namespace
