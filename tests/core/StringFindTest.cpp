// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Findable.h"
#include "core/RegularExpression.h"
#include "core/String+find.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const QString kEmojiName = QString::fromUtf8("\xF0\x9F\x8D\x8E photo a.jpg");   // 🍎 then text
const QString kDecomposed = QString::fromUtf8("Cafe\xCC\x81 Cafe\xCC\x81");     // e + U+0301, twice
const QString kComposedCafe = QString::fromUtf8("Caf\xC3\xA9");

TEST(StringFind, wildcardsAsRegex)
{
    const struct { const char* wildcard; const char* regex; } cases[] = {
        { "", "" },
        { "*", "([^\\/]+)" },
        { "**", "(.+)" },
        { "***", "(.*)" },
        { "*.*", "([^\\/]*?)\\.([^\\/]*)" },
        { "##", "([\\d]+[\\/\\d]*)" },
        { "a.b", "a\\.b" },
        { "*.txt", "([^\\/]*?)\\.txt" },
        { "IMG_#", "IMG_(\\d+)" },
        { "a**b", "a(.*?)b" },
        { "**#**", "(.*?)(\\d+)(.*)" },
        { "*#", "([^\\/]*?)(\\d+)" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::wildcardsAsRegex(QString::fromUtf8(c.wildcard)), QString::fromUtf8(c.regex)) << c.wildcard;
}

TEST(StringFind, escapedRegexCharacterGroup)
{
    EXPECT_EQ(String::escapedRegexCharacterGroup("a-z]"), "a\\-z\\]");
    EXPECT_EQ(String::escapedRegexCharacterGroup("[^\\"), "\\[\\^\\\\");
    EXPECT_EQ(String::escapedRegexCharacterGroup(QString::fromUtf8("e\xCC\x81")), QString::fromUtf8("\xC3\xA9"));
}

TEST(StringFind, findRanges)
{
    using Ranges = std::optional<QList<CharacterRange>>;
    const struct {
        const char* name;
        QString text;
        FindParameters parameters;
        Ranges expected;
    } cases[] = {
        { "empty find text is the whole text", "abc", FindParameters(""), QList<CharacterRange> { { 0, 3 } } },
        { "no match is absent", "abc", FindParameters("x"), std::nullopt },
        { "find first", "banana", FindParameters("a", false, false, false, true), QList<CharacterRange> { { 1, 2 } } },
        { "all matches", "banana", FindParameters("a"), QList<CharacterRange> { { 1, 2 }, { 3, 4 }, { 5, 6 } } },
        { "plain text is literal", "abc a.c", FindParameters("a.c"), QList<CharacterRange> { { 4, 7 } } },
        { "wildcards win over regex", "a.c abc", FindParameters("a.c", true, true), QList<CharacterRange> { { 0, 3 } } },
        { "regex", "abc a.c", FindParameters("a.c", false, true), QList<CharacterRange> { { 0, 3 }, { 4, 7 } } },
        { "case sensitive", "ABC", FindParameters("b"), std::nullopt },
        { "case insensitive", "ABC", FindParameters("b", false, false, true), QList<CharacterRange> { { 1, 2 } } },
        { "wildcard digits", "IMG_0012.jpg", FindParameters("#", true), QList<CharacterRange> { { 4, 8 } } },
        { "offsets after an emoji count characters", kEmojiName, FindParameters("photo"), QList<CharacterRange> { { 2, 7 } } },
        { "composed find text in a decomposed name", kDecomposed, FindParameters(kComposedCafe),
            QList<CharacterRange> { { 0, 4 }, { 5, 9 } } },
        { "a bare base letter does not match an accented character", kDecomposed, FindParameters("Cafe"), std::nullopt },
        { "invalid pattern is absent", "abc", FindParameters("(", false, true), std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Findable::findRanges(c.text, c.parameters), c.expected) << c.name;
}

TEST(StringFind, findIndexRangesAnswerUtf16PositionsOfTheCallersText)
{
    // "🍎" is two UTF-16 units; the decomposed "é" is two as well.
    EXPECT_EQ(Findable::findIndexRanges(kEmojiName, FindParameters("photo")), QList<TextRange>({ { 3, 8 } }));
    EXPECT_EQ(Findable::findIndexRanges(kDecomposed, FindParameters(QString::fromUtf8("\xC3\xA9"))),
        QList<TextRange>({ { 3, 5 }, { 9, 11 } }));
    EXPECT_EQ(Findable::findIndexRanges("abc", FindParameters()), QList<TextRange>({ { 0, 3 } }));
    EXPECT_EQ(Findable::findIndexRanges("abc", FindParameters("x")), std::nullopt);
}

TEST(StringFind, invalidPatternsLogOneLineAndMatchNothing)
{
    // Only the lines about patterns: other threads of the process may log meanwhile.
    LogCapture capture;
    const auto errors = [&] { return capture.lines().filter(" error: "); };
    EXPECT_TRUE(String::matches("abc", "(", {}).isEmpty());
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().startsWith("getMatches error: ")) << errors().first().toStdString();

    capture.clear();
    EXPECT_FALSE(String::isMatch("abc", "[", {}));
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().startsWith("isMatch error: "));

    capture.clear();
    EXPECT_TRUE(String::getMatchGroups("abc", "(", {}).isEmpty());
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().startsWith("getMatchGroups error: "));

    EXPECT_TRUE(String::ranges("abc", "(", CompareOption::regularExpression).isEmpty());
    EXPECT_EQ(String::stringByReplacingOccurrences("abc", "(", "x", false), "abc");
}

TEST(StringFind, catastrophicPatternTimesOutAsInvalid)
{
    const QString text = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    const QString pattern = "(a+)+$";
    LogCapture capture;
    EXPECT_TRUE(String::matches(text, pattern, {}).isEmpty());
    const QStringList errors = capture.lines().filter("getMatches error: ");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains("too long")) << errors.first().toStdString();
    EXPECT_FALSE(String::isMatch(text, pattern, {}));
    EXPECT_EQ(Findable::findRanges(text, FindParameters(pattern, false, true)), std::nullopt);
    EXPECT_EQ(String::stringByReplacingOccurrences(text, pattern, "x", false), text);
    // The same pattern still works where it does not explode.
    EXPECT_EQ(String::matches("aaa", pattern, {}), QList<CharacterRange>({ { 0, 3 } }));
}

// Within one pass a pattern that ran out of time is not tried again: every
// later text gets the time-out at once. Other patterns, the same pattern with
// other options and texts outside the pass are not touched.
TEST(StringFind, aPatternOutOfTimeFailsAtOnceForTheRestOfThePass)
{
    const QString explosive = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    const QString pattern = "(a+)+$";
    const auto matchError = [&](const QString& text, RegexOptions options = {}) {
        QString error;
        String::matches(text, pattern, options, &error);
        return error;
    };
    const QString timedOut = "The regular expression '(a+)+$' took too long to match";
    RegularExpression::TimeOuts pass;
    {
        const RegularExpression::TimeOuts::Scope scope(pass);
        EXPECT_EQ(matchError("aaa"), "");
        EXPECT_EQ(matchError(explosive), timedOut);
        EXPECT_EQ(matchError("aaa"), timedOut);
        QString error;
        EXPECT_FALSE(String::isMatch("aaa", pattern, {}, &error));
        EXPECT_EQ(error, timedOut);
        const auto expression = RegularExpression::compile(pattern, {});
        ASSERT_TRUE(expression);
        error.clear();
        EXPECT_EQ(expression->replaceAll("aaa", "x", &error), std::nullopt);
        EXPECT_EQ(error, timedOut);
        EXPECT_EQ(matchError("aaa", RegexOption::caseInsensitive), "");
        EXPECT_EQ(String::matches("aaa", "a+$", {}), QList<CharacterRange>({ { 0, 3 } }));
        {
            RegularExpression::TimeOuts inner;
            const RegularExpression::TimeOuts::Scope innerScope(inner);
            EXPECT_EQ(matchError("aaa"), "") << "a pass of its own starts afresh";
        }
        EXPECT_EQ(matchError("aaa"), timedOut) << "the outer pass is back in scope";
    }
    EXPECT_EQ(matchError("aaa"), "");
    // Another thread runs its own pass.
    const RegularExpression::TimeOuts::Scope scope(pass);
    QString otherThread = "not run";
    std::thread([&] { otherThread = matchError("aaa"); }).join();
    EXPECT_EQ(otherThread, "");
}

TEST(StringFind, isMatchAndGroups)
{
    EXPECT_FALSE(String::isMatch("", ".*", {}));
    EXPECT_TRUE(String::isMatch("abc", "^b|c$", {}));
    EXPECT_FALSE(String::isMatch("ABC", "b", {}));
    EXPECT_TRUE(String::isMatch("ABC", "b", RegexOption::caseInsensitive));
    EXPECT_EQ(String::getMatchGroups("1-2 3-4", "(\\d+)-(\\d+)", {}), QStringList({ "1", "2", "3", "4" }));
    EXPECT_TRUE(String::getMatchGroups("1-2", "\\d", {}).isEmpty());
    EXPECT_EQ(String::getMatchGroups("ab", "(a)(x)?", {}), QStringList({ "a", "" }));
}

TEST(StringFind, rangesAdvancePastEmptyMatches)
{
    // An empty match must not be reported again at the same place.
    EXPECT_EQ(String::ranges("abc", "x*", CompareOption::regularExpression),
        QList<TextRange>({ { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 3 } }));
    EXPECT_EQ(String::ranges("baa", "a*", CompareOption::regularExpression),
        QList<TextRange>({ { 0, 0 }, { 1, 3 } }));
    EXPECT_EQ(String::ranges("a.c abc", "a.c", {}), QList<TextRange>({ { 0, 3 } }));
}

TEST(StringFind, firstRange)
{
    const auto expression = RegularExpression::compile("photo", {});
    ASSERT_TRUE(expression);
    EXPECT_EQ(String::firstRange(kEmojiName, *expression), TextRange({ 3, 8 }));
    EXPECT_EQ(String::firstRange("none", *expression), std::nullopt);
}

TEST(StringFind, findReplace)
{
    const auto upper = [](const QString& s) { return s.toUpper(); };
    const auto wrap = [](const QString& s) { return "[" + s + "]"; };
    const struct {
        const char* name;
        QString text;
        FindParameters parameters;
        std::function<QString(const QString&)> replace;
        QString expected;
    } cases[] = {
        { "empty find text hands over the whole text", "abc", FindParameters(), upper, "ABC" },
        { "all matches", "banana", FindParameters("a"), upper, "bAnAnA" },
        { "first only", "banana", FindParameters("an", false, false, false, true), wrap, "b[an]ana" },
        { "first without a match takes the whole text", "abc", FindParameters("x", false, false, false, true), wrap, "[abc]" },
        { "no match leaves the text", "abc", FindParameters("x"), wrap, "abc" },
        { "case insensitive regex", "A1b2", FindParameters("[a-z]\\d", false, true, true), wrap, "[A1][b2]" },
        { "emoji name keeps its emoji", kEmojiName, FindParameters("a"), upper, QString::fromUtf8("\xF0\x9F\x8D\x8E photo A.jpg") },
        { "decomposed accent is replaced as one character", kDecomposed, FindParameters(QString::fromUtf8("\xC3\xA9"), false, false, false, true),
            [](const QString&) { return QStringLiteral("e"); }, QString::fromUtf8("Cafe Cafe\xCC\x81") },
    };
    for (const auto& c : cases)
        EXPECT_EQ(String::findReplace(c.text, c.parameters, c.replace), c.expected) << c.name;
}

TEST(StringFind, findAndTransformRangesWorksFromTheLastRange)
{
    QList<TextRange> seen;
    const QString result = String::findAndTransformRanges("a-b-c", FindParameters("-"),
        [&](TextRange range, const QString& text) {
            seen.append(range);
            return text.left(range.start) + "+" + text.mid(range.end);
        });
    EXPECT_EQ(result, "a+b+c");
    EXPECT_EQ(seen, QList<TextRange>({ { 3, 4 }, { 1, 2 } }));
}

TEST(StringFind, stringByReplacingOccurrences)
{
    EXPECT_EQ(String::stringByReplacingOccurrences("IMG_12", "(\\d+)", "<$1>", false), "IMG_<12>");
    EXPECT_EQ(String::stringByReplacingOccurrences("aAa", "a", "x", true), "xxx");
    EXPECT_EQ(String::stringByReplacingOccurrences("aAa", "a", "x", false), "xAx");
    // The receiver comes back composed.
    EXPECT_EQ(String::stringByReplacingOccurrences(kDecomposed, "C", "K", CompareOptions()),
        QString::fromUtf8("Kaf\xC3\xA9 Kaf\xC3\xA9"));
}

} // namespace
