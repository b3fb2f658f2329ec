// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/TrimTransformer.h"

#include <limits>

namespace {

struct TrimCase {
    QString name;
    std::optional<QString> position;
    std::optional<qint64> offset;
    std::optional<qint64> count;
    std::optional<QString> match;
    QString expected;
    std::optional<QString> characters = std::nullopt;
    bool spaces = false;
};

File trimmed(const Transformer& original, const QString& name)
{
    Transformer rule = original;
    File file = makeFile("/data/" + name + ".txt");
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    return file;
}

} // namespace

TEST_F(RulesTest, TrimRemovesOrKeepsCharactersAtTheEnds)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    const TrimCase cases[] = {
        { "abcdef", "start", 1, 2, "trimany", "adef" },
        { "abcdef", "start", 1, 2, "keepany", "bc" },
        { "abcdef", "end", -1, 2, "trimany", "abcf" },
        { "abcdef", "end", 2, 2, "trimany", "abcd" },
        { "abcdef", "around", 0, 1, "trimany", "bcde" },
        { "abcdef", "around", {}, 2, "keepany", "abef" },
        { "abc", "around", {}, 2, "keepany", "abc" },
        { "abcdef", "start", {}, 10, "trimany", "" },
        { "abcdef", "start", {}, 0, "trimany", "abcdef" },
        { "abcdef", "start", {}, 0, "keepany", "" },
        { "abcdef", "start", {}, -2, "trimany", "cdef" },
        { "abcdef", {}, {}, 2, {}, "cdef" },
        { "abcdef", "start", -3, 2, "trimany", "cdef" },
        { "abcdef", "sideways", 0, 1, "trimany", "bcde" },
        { "abcdef", "start", 1, 2, "unknown", "bc" },
        { "abcdef", "end", -1, 2, "keepany", "de" },
        { "a-b_cd", "start", {}, 5, "trimanyof", "abcd", "-_" },
        { "a-b_cd", "start", {}, 5, "trimanyexcept", "-_d", "-_" },
        { "a-b_cd", "end", {}, 4, "keepanyof", "_", "-_" },
        { "a-b_cd", "end", {}, 4, "keepanyexcept", "bcd", "-_" },
        { "xab.xcd", "starteach", {}, 1, "trimany", "ab.cd" },
        { "a.b", "starteach", {}, 1, "trimany", "." },
        { "ab.cd", "endeach", {}, 1, "trimany", "a.c" },
        { "xabx.xcdx", "aroundeach", {}, 1, "trimany", "ab.cd" },
        { " ab ", "start", {}, 0, "trimany", "ab", std::nullopt, true },
        { "ab  cd", "start", {}, 2, "trimany", "cd", std::nullopt, true },
        // Characters, not code units: emoji and accented letters count as one.
        { "😀😀abc", "start", {}, 1, "trimany", "😀abc" },
        { "e\u0301cole", "start", {}, 1, "trimany", "cole" },
        { "caf\u00e9", "end", {}, 1, "trimanyof", "caf", "e\u0301" },
        { "abcdef", "start", kMax, kMax, "trimany", "abcdef" },
        { "abcdef", "around", kMin, kMin, "keepany", "abc" },
    };
    for (const TrimCase& c : cases) {
        SCOPED_TRACE((c.name + " " + c.position.value_or("-") + " " + c.match.value_or("-")).toStdString());
        const Transformer rule = makeRule(TransformerType::trim, [&](TransformerProperties& p) {
            p.trimPosition = c.position;
            p.trimOffset = c.offset;
            p.trimCount = c.count;
            p.trimMatch = c.match;
            p.trimCharacters = c.characters;
            p.trimLeadingTrailingSpaces = c.spaces;
        });
        const File file = trimmed(rule, c.name);
        EXPECT_EQ(newName(file), c.expected);
        EXPECT_TRUE(file.validation.errors.isEmpty());
    }
}

TEST_F(RulesTest, TrimWorksOnEachMatchOfItsFind)
{
    struct Case {
        QString find;
        bool regex;
        bool findFirst;
        QString name;
        QString expected;
    };
    const Case cases[] = {
        { "x+a", true, false, "xxab_xab", "xab_ab" },
        { "x+a", true, true, "xxab_xab", "xab_xab" },
        { ".", false, false, "a.b.c", "a.b.c" },
        // Find first without a match leaves the name alone, as without find first.
        { "zz", false, true, "abc", "abc" },
        { "zz", false, false, "abc", "abc" },
        { "B", false, false, "abab", "abab" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.name).toStdString());
        const Transformer rule = makeRule(TransformerType::trim, [&](TransformerProperties& p) {
            p.trimFindText = c.find;
            p.trimFindRegex = c.regex;
            p.trimFindFirst = c.findFirst;
            p.trimCount = 1;
        });
        EXPECT_EQ(newName(trimmed(rule, c.name)), c.expected);
    }
}

TEST_F(RulesTest, AnInvalidTrimPatternIsAnErrorOnTheFile)
{
    Transformer rule = makeRule(TransformerType::trim, [](TransformerProperties& p) {
        p.trimFindText = "(a";
        p.trimFindRegex = true;
        p.trimCount = 1;
    });
    const File file = trimmed(rule, "abc");
    EXPECT_EQ(newName(file), "abc");
    ASSERT_EQ(file.validation.errors.size(), 1);
    EXPECT_TRUE(file.validation.errors.values().first().startsWith("Regular expression error: Invalid regular expression '(a'"))
        << file.validation.errors.values().first().toStdString();
    File full = makeFile("/data/abc.txt");
    FileIndex fileIndex;
    EXPECT_THROW(rule.transform(full, fileIndex), TransformError);
}
