// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"
#include "TestEnvironment.h"

#include "tokens/TransformError.h"

namespace {
Transformer selectRule(const QString& type, const std::optional<QString>& match,
    TransformScope scope = TransformScope::filename)
{
    return makeRule(TransformerType::select, [&](TransformerProperties& p) {
        p.selectType = type;
        p.selectMatch = match;
    }, scope);
}

Transformer prefixRule(const QString& text)
{
    return makeRule(TransformerType::prefix, [&](auto& p) { p.prefixText = TokenString::string(text); });
}

QStringList newNames(const QList<File>& files)
{
    QStringList names;
    for (const File& file : files)
        names << newName(file);
    return names;
}
} // namespace

TEST_F(RulesTest, SelectSetsTheSelectionFromItsScopeText)
{
    struct Case {
        std::optional<QString> type;
        std::optional<QString> match;
        TransformScope scope;
        QString path;
        bool selected;
    };
    const Case cases[] = {
        { std::nullopt, "zzz", TransformScope::filename, "/data/a.jpg", true },
        { "all", "zzz", TransformScope::filename, "/data/a.jpg", true },
        { "matching", "", TransformScope::filename, "/data/a.jpg", false },
        { "matching", std::nullopt, TransformScope::filename, "/data/a.jpg", false },
        { "notmatching", "", TransformScope::filename, "/data/a.jpg", true },
        { "matching", "jpe?g$", TransformScope::ext, "/data/a.JPG", true },
        { "matching", "jpe?g$", TransformScope::ext, "/data/a.png", false },
        { "notmatching", "jpe?g$", TransformScope::ext, "/data/a.png", true },
        { "other", "a", TransformScope::filename, "/data/a.jpg", false },
        { "matching", "^Holiday/", TransformScope::path, "/data/Holiday/a.jpg", false },
        { "matching", "/Holiday$", TransformScope::path, "/data/Holiday/a.jpg", true },
        { "matching", "^😀", TransformScope::filename, "/data/😀a.jpg", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.type.value_or("-") + " " + c.match.value_or("-") + " " + c.path).toStdString());
        Transformer rule = makeRule(TransformerType::select, [&](TransformerProperties& p) {
            p.selectType = c.type;
            p.selectMatch = c.match;
        }, c.scope);
        File file = makeFile(c.path);
        file.transformed.isSelected = !c.selected;
        FileIndex fileIndex;
        rule.transformQuick(file, fileIndex);
        EXPECT_EQ(file.transformed.isSelected, c.selected);
        EXPECT_TRUE(file.validation.errors.isEmpty());
    }
}

TEST_F(RulesTest, SelectNarrowsTheFilesForTheRulesAfterIt)
{
    const QStringList paths { "/data/a.jpg", "/data/b.png", "/data/c.jpeg" };
    struct Case {
        const char* name;
        QList<Transformer> rules;
        QStringList expected;
    };
    const Case cases[] = {
        { "one select",
            { prefixRule("1_"), selectRule("matching", "jpe?g", TransformScope::ext), prefixRule("2_") },
            { "2_1_a", "1_b", "2_1_c" } },
        { "the second select decides",
            { selectRule("matching", "jpe?g", TransformScope::ext), selectRule("matching", "^b"), prefixRule("x_") },
            { "a", "x_b", "c" } },
        { "select all widens again",
            { selectRule("matching", "^a"), prefixRule("1_"), selectRule("all", std::nullopt), prefixRule("2_") },
            { "2_1_a", "2_b", "2_c" } },
        { "the select sees the names earlier rules made",
            { prefixRule("new_"), selectRule("matching", "^new_b"), prefixRule("x_") },
            { "new_a", "x_new_b", "new_c" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<Transformer> rules = c.rules;
        QList<File> files = makeFiles(paths);
        FileIndex fileIndex;
        previewRules(rules, files, fileIndex);
        EXPECT_EQ(newNames(files), c.expected);
    }

    // A disabled Select rule leaves the selection as the rules before it made it.
    QList<Transformer> rules { selectRule("matching", "^a"), selectRule("all", std::nullopt), prefixRule("x_") };
    rules[1].disabled = true;
    QList<File> files = makeFiles(paths);
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    EXPECT_EQ(newNames(files), (QStringList { "x_a", "b", "c" }));

    // Every preview starts with every file selected.
    rules = { prefixRule("y_") };
    previewRules(rules, files, fileIndex);
    EXPECT_EQ(newNames(files), (QStringList { "y_a", "y_b", "y_c" }));
}

TEST_F(RulesTest, AnInvalidFindPatternIsAnErrorOnEveryFileTheRuleAppliesTo)
{
    struct Case {
        const char* name;
        TransformerType type;
        PropertiesSetter set;
    };
    const QString bad = QStringLiteral("(a");
    const QList<Case> cases {
        { "select", TransformerType::select, [&](auto& p) { p.selectType = "matching"; p.selectMatch = bad; } },
        { "select not matching", TransformerType::select,
            [&](auto& p) { p.selectType = "notmatching"; p.selectMatch = bad; } },
        { "insert", TransformerType::insert,
            [&](auto& p) { p.insertText = TokenString::string("x"); p.insertFindText = bad; p.insertFindRegex = true; } },
        { "prefix", TransformerType::prefix,
            [&](auto& p) { p.prefixText = TokenString::string("x"); p.prefixFindText = bad; p.prefixFindRegex = true; } },
        { "suffix", TransformerType::suffix,
            [&](auto& p) { p.suffixText = TokenString::string("x"); p.suffixFindText = bad; p.suffixFindRegex = true; } },
        { "set", TransformerType::set,
            [&](auto& p) { p.setText = TokenString::string("x"); p.setFindText = bad; p.setFindRegex = true; } },
        { "numbering", TransformerType::numbering,
            [&](auto& p) { p.numberFindText = bad; p.numberFindRegex = true; p.numberFindCaseInsensitive = true; } },
    };
    // Also where the rule's text is empty: the pattern fails all the same.
    for (const Case& c : cases) for (const TransformScope scope : { TransformScope::filename, TransformScope::ext }) {
        SCOPED_TRACE(c.name + std::string(scope == TransformScope::ext ? ", extensions" : ""));
        QList<Transformer> rules { makeRule(c.type, c.set, scope) };
        QList<File> files = makeFiles({ "/data/abc.txt", "/data/xyz.txt", "/data/noext" });
        FileIndex fileIndex;
        previewRules(rules, files, fileIndex);
        for (const File& file : files) {
            SCOPED_TRACE(file.source.fileInfo.fullPath.toStdString());
            ASSERT_EQ(file.validation.errors.size(), 1);
            EXPECT_TRUE(file.validation.errors.values().first().startsWith(
                "Regular expression error: Invalid regular expression '(a'"))
                << file.validation.errors.values().first().toStdString();
        }
        File full = makeFile("/data/abc.txt");
        EXPECT_THROW(rules[0].transform(full, fileIndex), TransformError);
    }
}
