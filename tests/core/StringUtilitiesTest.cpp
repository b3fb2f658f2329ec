// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/String+titleCase.h"
#include "core/String+utilities.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

TEST(StringUtilities, titleCase)
{
    const struct { const char* text; const char* expected; } cases[] = {
        { "", "" },
        { "the lord of the rings", "The Lord of the Rings" },
        { "A TALE OF TWO CITIES", "A Tale of Two Cities" },
        { "walking with friends into town", "Walking With Friends Into Town" },
        { "the house we live in", "The House We Live In" },
        { "salt and pepper", "Salt and Pepper" },
        { "this and that", "This and That" },
        { "music for each day", "Music for Each Day" },
        { "love in all its forms", "Love in all Its Forms" },
        { "songs for every season and no reason", "Songs for every Season and no Reason" },
        { "all about both of them", "All About both of Them" },
        { "their house, your rules", "Their House, Your Rules" },
        { "waiting - and hoping", "Waiting - And Hoping" },
        { "stop. and go", "Stop. And Go" },
        { "red (and blue) paint", "Red (And Blue) Paint" },
        { "red, and blue paint", "Red, and Blue Paint" },
        { "well-known songs", "Well-Known Songs" },
        { "don't stop", "Don't Stop" },
        { "123 - 456", "123 - 456" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::localizedTitlecased(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(StringUtilities, numbersInText)
{
    const struct { const char* text; const char* digits; quint64 number; } cases[] = {
        { "a1b22", "122", 122 },
        { "IMG_0012", "0012", 12 },
        { "abc", "", 0 },
        { "18446744073709551615", "18446744073709551615", std::numeric_limits<quint64>::max() },
        { "18446744073709551616", "18446744073709551616", 0 },
        { "000000000000000000001", "000000000000000000001", 1 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(String::numericCharacters(c.text), c.digits) << c.text;
        EXPECT_EQ(String::numeric(c.text), c.number) << c.text;
    }
}

TEST(StringUtilities, characterHandling)
{
    EXPECT_FALSE(String::hasDiacritics(""));
    EXPECT_FALSE(String::hasDiacritics("e"));
    EXPECT_TRUE(String::hasDiacritics(QString::fromUtf8("\xC3\xA9")));
    EXPECT_TRUE(String::hasDiacritics(QString::fromUtf8("e\xCC\x81")));
    EXPECT_EQ(String::withoutDiacritics(QString::fromUtf8("Crème bru\u0302le\u0301e")), "Creme brulee");
    EXPECT_EQ(String::withoutDiacritics(QString::fromUtf8("\xC3\x9F\xC3\xB8")), QString::fromUtf8("\xC3\x9F\xC3\xB8"))
        << "letters that are not base + mark stay";

    EXPECT_EQ(String::stringByDeduplicating("a//b///c", "/"), "a/b/c");
    EXPECT_EQ(String::stringByDeduplicating("/", "/"), "/");
    EXPECT_EQ(String::stringByDeduplicating("//", "/"), "/");
    EXPECT_EQ(String::stringByDeduplicating("a--b//-", "/-"), "a-b/-");
    EXPECT_EQ(String::stringByDeduplicating(QString::fromUtf8("a😀😀b"), QString::fromUtf8("😀")), QString::fromUtf8("a😀b"));
    EXPECT_EQ(String::stringByDeduplicating("a\r\n\r\nb", "\r\n"), "a\r\nb");
    EXPECT_EQ(String::stringByDeduplicating(QString::fromUtf8("a/\u0301/b"), "/"), QString::fromUtf8("a/\u0301/b"));
    EXPECT_EQ(String::stringByDeduplicating(QString::fromUtf8("a//\u0301b"), "/"), QString::fromUtf8("a//\u0301b"));

    EXPECT_EQ(String::fileAndFolderSafeName("a:b/c"), QString::fromUtf8("a\xEA\x9E\x89" "b:c"));
    EXPECT_EQ(String::fileAndFolderSafeName(QString::fromUtf8("e\xCC\x81")), QString::fromUtf8("\xC3\xA9"));

    EXPECT_EQ(String::splitIncludingSeparator("ab*c#", "*#"), QStringList({ "ab", "*", "c", "#" }));
    EXPECT_EQ(String::splitIncludingSeparator("**a", "*#"), QStringList({ "*", "*", "a" }));
    EXPECT_TRUE(String::splitIncludingSeparator("", "*#").isEmpty());

    EXPECT_EQ(String::longest({ "ab", "cd", "e" }), "ab");
    EXPECT_EQ(String::longest({}), "");
    // One emoji is one character, so "ab" is longer.
    EXPECT_EQ(String::longest({ QString::fromUtf8("\xF0\x9F\x8D\x8E"), "ab" }), "ab");
}

TEST(StringUtilities, controlCharactersNeverReachAName)
{
    const struct {
        const char* name;
        QString text;
        QString expected;
    } cases[] = {
        { "plain text", u"Café 2024"_s, u"Café 2024"_s },
        { "line feed between words", u"Line1\nLine2"_s, u"Line1 Line2"_s },
        { "a run of breaks is one space", u"a\r\n\t\u2028b"_s, u"a b"_s },
        { "breaks at the ends go", u"\n\ttitle\r\n"_s, u"title"_s },
        { "other controls go", u"a\u0000b\u0007c\u001Bd\u007Fe\u0090f"_s, u"abcdef"_s },
        { "next line and separators", u"a\u0085b\u2029c"_s, u"a b c"_s },
        { "right-to-left override", u"IMG_0000.\u202Etxt.exe"_s, u"IMG_0000.txt.exe"_s },
        { "embeddings and isolates", u"\u202Aa\u202Bb\u202Cc\u202Dd\u2066e\u2067f\u2068g\u2069"_s, u"abcdefg"_s },
        { "only controls", u"\u202E\n\u0000"_s, u""_s },
        { "marks and joiners stay", u"e\u0301\u200D\u200F"_s, u"e\u0301\u200D\u200F"_s },
        { "spaces of its own stay", u" a \n b "_s, u" a   b "_s },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::withoutControlCharacters(c.text), c.expected) << c.name;
}

TEST(StringUtilities, clampedIndexCountsCharacters)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8D\x8E" "bc"); // 2 + 1 + 1 UTF-16 units
    EXPECT_EQ(String::clampedIndex("abc", -5), 0);
    EXPECT_EQ(String::clampedIndex("abc", 99), 3);
    EXPECT_EQ(String::clampedIndex(emoji, 1), 2);
    EXPECT_EQ(String::clampedIndex(emoji, 2, 1), 3);
    EXPECT_EQ(String::clampedIndex(emoji, 1, 1), 2); // inside the emoji counts from its start
    EXPECT_EQ(String::clampedIndex(emoji, 3, -5), 0);
    EXPECT_EQ(String::clampedIndex(emoji, 2, std::numeric_limits<qsizetype>::max()), 4);
    EXPECT_EQ(String::clampedIndex(emoji, 2, std::numeric_limits<qsizetype>::min()), 0);
}

TEST(StringUtilities, valuesAsText)
{
    const struct { QVariant value; std::optional<QString> expected; } cases[] = {
        { QVariant(), std::nullopt },
        { QVariant("x"), QString("x") },
        { QVariant(true), QString("true") },
        { QVariant(false), QString("false") },
        { QVariant(42), QString("42") },
        { QVariant(qint64(-7)), QString("-7") },
        { QVariant(3.0), QString("3.0") },
        { QVariant(0.5), QString("0.5") },
        { QVariant(-2.25), QString("-2.25") },
        { QVariant(1e-5), QString("1e-05") },
        { QVariant(1e16), QString("1e+16") },
        { QVariant(std::numeric_limits<double>::quiet_NaN()), QString("nan") },
        { QVariant(-std::numeric_limits<double>::infinity()), QString("-inf") },
        { QVariant(QVariantList { 1, 2 }), std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::fromAny(c.value), c.expected) << c.value.toString().toStdString();

    EXPECT_EQ(String::fromAny(QVariant(""), "default"), "default");
    EXPECT_EQ(String::fromAny(QVariant(5), "default"), "default");
    EXPECT_EQ(String::fromAny(QVariant("x"), "default"), "x");
    EXPECT_EQ(String::nonEmpty(""), std::nullopt);
    EXPECT_EQ(String::nonEmpty("a"), QString("a"));
}

TEST(StringUtilities, prefixesAndSuffixes)
{
    EXPECT_EQ(String::stringByDeletingPrefix("IMG_1", "IMG_"), "1");
    EXPECT_EQ(String::stringByDeletingPrefix("IMG_1", "img_"), "IMG_1");
    EXPECT_EQ(String::stringByDeletingSuffix("a.txt", ".txt"), "a");
    EXPECT_EQ(String::stringByDeletingSuffix("a.txt", ".TXT"), "a.txt");
    EXPECT_TRUE(String::hasPrefix("Hello", { "x", "he" }));
    EXPECT_FALSE(String::hasPrefix("Hello", {}));
    EXPECT_FALSE(String::hasPrefix("Hello", { "lo" }));
}

} // namespace
