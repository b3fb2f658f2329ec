// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include <limits>

namespace {
struct InsertionCase {
    QString find;
    bool regex;
    bool caseInsensitive;
    bool findFirst;
    std::optional<QString> text;
    QString name;
    QString expected;
};

const QString kNFDEcole = QStringLiteral("e\u0301cole");

File runRule(const Transformer& original, const QString& name)
{
    Transformer rule = original;
    File file = makeFile("/data/" + name + ".txt");
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    EXPECT_TRUE(file.validation.errors.isEmpty());
    return file;
}
} // namespace

TEST_F(RulesTest, InsertPutsItsTextAtAnOffsetFromEachMatch)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    struct Case {
        InsertionCase base;
        std::optional<QString> position;
        std::optional<qint64> offset;
    };
    const Case cases[] = {
        { { "", false, false, false, "XY", "photo", "phoXYto" }, "end", -2 },
        { { "", false, false, false, "XY", "hello", "helloXY" }, "start", 100 },
        { { "", false, false, false, "XY", "hello", "XYhello" }, "start", std::nullopt },
        { { "", false, false, false, "XY", "hello", "helloXY" }, std::nullopt, std::nullopt },
        { { "", false, false, false, "XY", "hello", "helloXY" }, "start", kMax },
        { { "", false, false, false, "XY", "hello", "XYhello" }, "end", kMin },
        { { "an", false, false, false, "-", "banana", "ba-na-na" }, "start", 1 },
        { { "an", false, false, false, "-", "banana", "ban-an-a" }, "middle", std::nullopt },
        { { "AN", false, true, true, "-", "banana", "b-anana" }, "start", 0 },
        { { "AN", false, false, false, "-", "banana", "banana" }, "start", 0 },
        { { "[0-9]+", true, false, false, "-", "a12b3", "a12-b3-" }, "end", 0 },
        { { "", false, false, false, "-", "😀abc", "😀-abc" }, "start", 1 },
        { { "b", false, false, false, "-", "😀abc", "😀a-bc" }, "start", 0 },
        { { "", false, false, false, "-", kNFDEcole, "e\u0301-cole" }, "start", 1 },
        { { "c", false, false, false, "-", kNFDEcole, "e\u0301-cole" }, "start", 0 },
        { { "é", false, false, false, "-", kNFDEcole, "e\u0301-cole" }, "end", 0 },
        { { "", false, false, false, std::nullopt, "photo", "photo" }, "start", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.base.find + " in " + c.base.name).toStdString());
        const Transformer rule = makeRule(TransformerType::insert, [&](TransformerProperties& p) {
            p.insertFindText = c.base.find;
            p.insertFindRegex = c.base.regex;
            p.insertFindCaseInsensitive = c.base.caseInsensitive;
            p.insertFindFirst = c.base.findFirst;
            if (c.base.text)
                p.insertText = TokenString::string(*c.base.text);
            p.insertPosition = c.position;
            p.insertOffset = c.offset;
        });
        EXPECT_EQ(newName(runRule(rule, c.base.name)), c.base.expected);
    }
}

TEST_F(RulesTest, PrefixPutsItsTextBeforeEachMatch)
{
    const InsertionCase cases[] = {
        { "", false, false, false, "new_", "photo", "new_photo" },
        { "a", false, false, false, "-", "banana", "b-an-an-a" },
        { "A", false, true, false, "-", "banana", "b-an-an-a" },
        { "a", false, false, true, "-", "banana", "b-anana" },
        { "x", false, false, false, "-", "banana", "banana" },
        { "", false, false, false, std::nullopt, "photo", "photo" },
        { "a", false, false, false, "-", "😀abc", "😀-abc" },
        { "", false, false, false, "😀", kNFDEcole, "😀e\u0301cole" },
    };
    for (const InsertionCase& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.name).toStdString());
        const Transformer rule = makeRule(TransformerType::prefix, [&](TransformerProperties& p) {
            p.prefixFindText = c.find;
            p.prefixFindRegex = c.regex;
            p.prefixFindCaseInsensitive = c.caseInsensitive;
            p.prefixFindFirst = c.findFirst;
            if (c.text)
                p.prefixText = TokenString::string(*c.text);
        });
        EXPECT_EQ(newName(runRule(rule, c.name)), c.expected);
    }
}

TEST_F(RulesTest, SuffixPutsItsTextAfterEachMatch)
{
    const InsertionCase cases[] = {
        { "", false, false, false, "_old", "photo", "photo_old" },
        { "a", false, false, false, "-", "banana", "ba-na-na-" },
        { "n.", true, false, false, "-", "banana", "bana-na-" },
        { "a", false, false, true, "-", "banana", "ba-nana" },
        { "", false, false, false, std::nullopt, "photo", "photo" },
        { "😀", false, false, false, "-", "😀abc", "😀-abc" },
        { "é", false, false, false, "-", kNFDEcole, "e\u0301-cole" },
    };
    for (const InsertionCase& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.name).toStdString());
        const Transformer rule = makeRule(TransformerType::suffix, [&](TransformerProperties& p) {
            p.suffixFindText = c.find;
            p.suffixFindRegex = c.regex;
            p.suffixFindCaseInsensitive = c.caseInsensitive;
            p.suffixFindFirst = c.findFirst;
            if (c.text)
                p.suffixText = TokenString::string(*c.text);
        });
        EXPECT_EQ(newName(runRule(rule, c.name)), c.expected);
    }
}

TEST_F(RulesTest, SetReplacesTheScopeWhenThePathOnDiskMatches)
{
    struct Case {
        QString find;
        bool regex;
        bool caseInsensitive;
        std::optional<QString> text;
        QString path;
        QString expected;
    };
    const Case cases[] = {
        { "Holiday", false, false, "Trip", "/data/Holiday 2023/img.jpg", "Trip" },
        { "Holiday", false, false, "Trip", "/data/Work/img.jpg", "img" },
        { "holiday", false, true, "Trip", "/data/Holiday/img.jpg", "Trip" },
        { "holiday", false, false, "Trip", "/data/Holiday/img.jpg", "img" },
        { "20[0-9]{2}", true, false, "Year", "/data/2023/img.jpg", "Year" },
        { "", false, false, std::nullopt, "/data/img.jpg", "" },
        { "", false, false, "😀", "/data/img.jpg", "😀" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.path).toStdString());
        Transformer rule = makeRule(TransformerType::set, [&](TransformerProperties& p) {
            p.setFindText = c.find;
            p.setFindRegex = c.regex;
            p.setFindCaseInsensitive = c.caseInsensitive;
            if (c.text)
                p.setText = TokenString::string(*c.text);
        });
        File file = makeFile(c.path);
        FileIndex fileIndex;
        rule.transformQuick(file, fileIndex);
        EXPECT_EQ(newName(file), c.expected);
    }
}

TEST_F(RulesTest, SetSearchesThePathOnDiskNotTheNewName)
{
    QList<Transformer> rules {
        makeRule(TransformerType::prefix, [](auto& p) { p.prefixText = TokenString::string("Holiday "); }),
        makeRule(TransformerType::set, [](auto& p) {
            p.setFindText = "Holiday";
            p.setText = TokenString::string("Trip");
        }),
    };
    QList<File> files = makeFiles({ "/data/Work/img.jpg", "/data/Holiday/img.jpg" });
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    EXPECT_EQ(newName(files[0]), "Holiday img");
    EXPECT_EQ(newName(files[1]), "Trip");

    Transformer extension = makeRule(TransformerType::set, [](auto& p) { p.setText = TokenString::string("png"); },
        TransformScope::ext);
    File file = makeFile("/data/img.jpg");
    extension.transformQuick(file, fileIndex);
    EXPECT_EQ(file.transformed.getTransformedText(TransformScope::ext), "png");
    EXPECT_EQ(newName(file), "img");
}
