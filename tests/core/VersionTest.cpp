// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Version.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

TEST(Version, ParsesAnyTextIntoNumbers)
{
    struct Case {
        std::optional<QString> text;
        qint64 major;
        qint64 minor;
        std::optional<qint64> patch;
        const char* description;
    };
    const Case cases[] = {
        { std::nullopt, 0, 0, std::nullopt, "0.0" },
        { QString(""), 0, 0, std::nullopt, "0.0" },
        { QString("4"), 4, 0, std::nullopt, "4.0" },
        { QString("9.1"), 9, 1, std::nullopt, "9.1" },
        { QString("9.1.0"), 9, 1, 0, "9.1.0" },
        { QString("1.2.3.4"), 1, 2, 3, "1.2.3" },
        { QString("1.2."), 1, 2, std::nullopt, "1.2" },
        { QString("1..3"), 1, 0, 3, "1.0.3" },
        { QString("1.-2"), 1, -2, std::nullopt, "1.-2" },
        { QString("+3.+4.+5"), 3, 4, 5, "3.4.5" },
        { QString("01.2"), 1, 2, std::nullopt, "1.2" },
        { QString("r2.1"), 0, 1, std::nullopt, "0.1" },
        { QString("2.0 beta"), 2, 0, std::nullopt, "2.0" },
        { QString("1.2.0b1"), 1, 2, std::nullopt, "1.2" },
        { QString(" 1.2"), 0, 2, std::nullopt, "0.2" },
        { QString("abc"), 0, 0, std::nullopt, "0.0" },
        { QString("99999999999999999999.1"), 0, 1, std::nullopt, "0.1" },
        { QString("9223372036854775807.-9223372036854775808"), 9223372036854775807LL,
            std::numeric_limits<qint64>::min(), std::nullopt, "9223372036854775807.-9223372036854775808" },
        // Anything beyond ASCII, anywhere: nothing of the text is read.
        { QString::fromUtf8("1.2\u00e9"), 0, 0, std::nullopt, "0.0" },
        { QString::fromUtf8("\u0661.2"), 0, 0, std::nullopt, "0.0" },
        { QString("1.2\r\n"), 1, 0, std::nullopt, "1.0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.value_or("<none>").toStdString());
        const Version version(c.text);
        EXPECT_EQ(version.version, c.text.value_or(QString()));
        EXPECT_EQ(version.major, c.major);
        EXPECT_EQ(version.minor, c.minor);
        EXPECT_EQ(version.patch, c.patch);
        EXPECT_EQ(version.description().toStdString(), c.description);
    }
}

TEST(Version, ComparesNumbersWithAMissingPatchAsZero)
{
    struct Case {
        const char* lower;
        const char* higher;
    };
    const Case ordered[] = {
        { "9.9", "10.0" },
        { "1.2", "1.2.1" },
        { "1.-2", "1.0" },
        { "9.1", "9.1.1" },
        { "9.1", "9.10" },
        { "9.1", "9.2" },
        { "0.5.9", "1" },
    };
    for (const Case& c : ordered) {
        SCOPED_TRACE(std::string(c.lower) + " < " + c.higher);
        const Version lower { QString(c.lower) };
        const Version higher { QString(c.higher) };
        EXPECT_TRUE(lower < higher);
        EXPECT_FALSE(higher < lower);
        EXPECT_TRUE(higher > lower);
        EXPECT_TRUE(lower <= higher);
        EXPECT_FALSE(lower >= higher);
        EXPECT_FALSE(lower == higher);
    }
    const char* equal[][2] = { { "1.2", "1.2.0" }, { "01.2", "1.2" }, { "9.01", "9.1" }, { "", "0.0" },
        { "abc", "0.0.0" } };
    for (const auto& pair : equal) {
        SCOPED_TRACE(std::string(pair[0]) + " == " + pair[1]);
        const Version a { QString(pair[0]) };
        const Version b { QString(pair[1]) };
        EXPECT_TRUE(a == b);
        EXPECT_FALSE(a < b);
        EXPECT_FALSE(b < a);
        EXPECT_TRUE(a <= b && a >= b);
    }
}

// The recipe format 9.1 reads what is not newer than itself.
TEST(Version, TheRecipeFormatAcceptsWhatIsNotNewer)
{
    const Version format { QString("9.1") };
    for (const char* accepted : { "9.1", "9.0", "8.0", "9.1.0", "9.01", "", "abc" })
        EXPECT_TRUE(format >= Version(QString(accepted))) << accepted;
    EXPECT_TRUE(format >= Version());
    for (const char* refused : { "9.2", "10.0", "9.1.1", "9.10", "10" })
        EXPECT_FALSE(format >= Version(QString(refused))) << refused;
}
