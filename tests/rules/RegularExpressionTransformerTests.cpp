// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/RegularExpressionTransformer.h"

namespace {

const QString kNFDEcole = QStringLiteral("e\u0301cole");
const QString kNFCEcole = QStringLiteral("\u00e9cole");

Transformer regexRule(const QString& find, const TokenString& replace, bool findFirst = false,
    bool caseInsensitive = false)
{
    return makeRule(TransformerType::regex, [&](TransformerProperties& p) {
        if (!find.isEmpty())
            p.regexFindText = TokenString::string(find);
        p.regexReplaceText = replace;
        p.regexFindFirst = findFirst;
        p.regexCaseInsensitive = caseInsensitive;
    });
}

File renamed(Transformer rule, File file)
{
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    return file;
}

File renamed(const Transformer& rule, const QString& name)
{
    return renamed(rule, makeFile("/data/" + name + ".txt"));
}

} // namespace

TEST_F(RulesTest, RegularExpressionReplacesTheFirstOrEveryMatch)
{
    struct Case {
        QString find;
        QString replace;
        bool findFirst;
        bool caseInsensitive;
        QString name;
        QString expected;
    };
    const Case cases[] = {
        { "(\\w+)-(\\w+)", "$2-$1", false, false, "ab-cd", "cd-ab" },
        { "(\\w+)-(\\w+)", "$2-$1", true, false, "ab-cd ef-gh", "cd-ab ef-gh" },
        { "a", "b", true, false, "aaa", "baa" },
        { "a", "b", false, false, "aaa", "bbb" },
        { "abc", "x", false, true, "ABC", "x" },
        { "abc", "x", false, false, "ABC", "ABC" },
        { "(a)", "$12", false, false, "bab", "ba2b" },
        { "a", "\\$1", false, false, "cab", "c$1b" },
        { "a", "[$0]", false, false, "banana", "b[a]n[a]n[a]" },
        { "😀", "x", false, false, "a😀b😀", "axbx" },
        // Decomposed and precomposed texts match alike; the result is composed.
        { "é", "E", false, false, kNFDEcole, "Ecole" },
        { "é", "E", true, false, kNFDEcole, "Ecole" },
        { "e\u0301", "E", false, false, kNFCEcole, "Ecole" },
        { "^\\p{L}\\p{M}*", "X", false, false, kNFDEcole, "Xcole" },
        { "zz", "x", false, false, kNFDEcole, kNFCEcole },
        { "zz", "x", true, false, kNFDEcole, kNFDEcole },
        // The first match is replaced as the expression matches it alone.
        { "(?<=x)a", "b", true, false, "xa", "xa" },
        { "(?<=x)a", "b", false, false, "xa", "xb" },
        { "", "x", false, false, "abc", "abc" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " -> " + c.replace + " in " + c.name).toStdString());
        const File file = renamed(regexRule(c.find, TokenString::string(c.replace), c.findFirst, c.caseInsensitive), c.name);
        EXPECT_EQ(newName(file), c.expected);
        EXPECT_TRUE(file.validation.errors.isEmpty());
    }
}

TEST_F(RulesTest, ABrokenPatternOrReplaceTextIsAnErrorOnTheFile)
{
    struct Case {
        QString find;
        QString replace;
        bool findFirst;
        QString error;
    };
    const Case cases[] = {
        { "(", "x", false, "Regular expression error: Invalid regular expression '(': " },
        { "(", "x", true, "Regular expression error: Invalid regular expression '(': " },
        { "a", "$1", false, "Invalid replace text: \"$1\" names a capture group, but the pattern has none." },
        { "(a)(b)", "$3", true, "Invalid replace text: \"$3\" names no capture group: the pattern has 2." },
        { "a", "$x", false, "Invalid replace text: A \"$\" must be followed by the number of a capture group" },
        { "a", "cost$", false, "Invalid replace text: A \"$\" must be followed by the number of a capture group" },
        // A pattern that backtracks without end stops at the time limit.
        { "(a+)+$", "x", false, "Regular expression error: The regular expression '(a+)+$' took too long to match" },
    };
    const QString name = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " -> " + c.replace).toStdString());
        Transformer rule = regexRule(c.find, TokenString::string(c.replace), c.findFirst);
        const File file = renamed(rule, name);
        EXPECT_EQ(newName(file), name);
        ASSERT_EQ(file.validation.errors.size(), 1);
        EXPECT_TRUE(file.validation.errors.values().first().startsWith(c.error))
            << file.validation.errors.values().first().toStdString();
        File full = makeFile("/data/" + name + ".txt");
        FileIndex fileIndex;
        EXPECT_THROW(rule.transform(full, fileIndex), TransformError);
    }
}

// Text that comes from a file's attributes goes in as it is, never read as
// "$1" or a backslash escape; what the user typed keeps its meaning.
TEST_F(RulesTest, AttributeTextInAReplaceTextIsInsertedLiterally)
{
    File file = makeFile("/data/IMG_0042.txt");
    FileAttributes attributes;
    attributes.attributes.insert("kind", FileAttribute { "kind", "Kind", AttributeValue::string("$1 \\n") });
    file.attributes = attributes;
    const TokenString replace = TokenString::string("$1 ") + TokenItem::attribute("kind");

    const Transformer regex = regexRule("IMG_(\\d+)", replace);
    EXPECT_EQ(newName(renamed(regex, file)), "0042 $1 \\n");

    const Transformer simple = makeRule(TransformerType::simple, [&](TransformerProperties& p) {
        p.simpleFindText = "IMG_*";
        p.simpleWildcards = true;
        p.simpleReplaceText = replace;
    });
    EXPECT_EQ(newName(renamed(simple, file)), "0042 $1 \\n");

    // Plain mode inserts the whole replace text as it is.
    const Transformer plain = makeRule(TransformerType::simple, [&](TransformerProperties& p) {
        p.simpleFindText = "IMG_";
        p.simpleReplaceText = replace;
    });
    EXPECT_EQ(newName(renamed(plain, file)), "$1 $1 \\n0042");
}

TEST_F(RulesTest, ReplaceTextsThatNameAMissingGroupAreAnError)
{
    const Transformer rule = makeRule(TransformerType::simple, [](TransformerProperties& p) {
        p.simpleFindText = "IMG_*";
        p.simpleWildcards = true;
        p.simpleReplaceText = TokenString::string("$2");
    });
    const File file = renamed(rule, "IMG_0042");
    EXPECT_EQ(newName(file), "IMG_0042");
    EXPECT_EQ(file.validation.errors,
        QSet<QString> { "Invalid replace text: \"$2\" names no capture group: the pattern has 1." });
}
