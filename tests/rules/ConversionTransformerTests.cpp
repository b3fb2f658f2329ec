// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "core/CanonicalText.h"
#include "core/String+utilities.h"
#include "rules/ConversionTransformer.h"
#include "rules/TextReplacement.h"

#include <random>

namespace {
const QString kNFDEcole = QStringLiteral("e\u0301cole");
}

TEST_F(RulesTest, EachConversionTypeConvertsTheWholeName)
{
    struct Case {
        ConversionType type;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        { ConversionType::uppercase, "straße", "STRASSE" },
        { ConversionType::uppercase, kNFDEcole, "E\u0301COLE" },
        { ConversionType::uppercase, "ǆemal", "ǄEMAL" },
        { ConversionType::lowercase, "ÉCOLE İ", "école i\u0307" },
        { ConversionType::capitalizefirst, "hELLO wORLD", "Hello world" },
        { ConversionType::capitalizefirst, "123abc", "123Abc" },
        { ConversionType::capitalizefirst, "ÉLAN VITAL", "Élan vital" },
        { ConversionType::capitalizeall, "my file", "My File" },
        { ConversionType::capitalizeall, "élan VITAL", "Élan Vital" },
        { ConversionType::titlecase, "the lord of the rings", "The Lord of the Rings" },
        { ConversionType::titlecase, "über den wolken", "Über Den Wolken" },
        { ConversionType::removediacritics, "Crème brûlée", "Creme brulee" },
        { ConversionType::removediacritics, kNFDEcole, "ecole" },
        { ConversionType::removediacritics, "Ørsted", "Ørsted" },
        { ConversionType::windowscompatibility, "a:b?c", "a_b_c" },
        { ConversionType::windowscompatibility, "Straße", "Stra_e" },
        { ConversionType::windowscompatibility, "Crème", "Creme" },
        { ConversionType::windowscompatibility, " name . txt ", "name.txt" },
        { ConversionType::windowscompatibility, "a\\b%c*d|e\"f<g>h", "a_b_c_d_e_f_g_h" },
        { ConversionType::windowscompatibility, "😀 x", "_ x" },
        // Control characters, device names and trailing dots are refused there too.
        { ConversionType::windowscompatibility, QString("a") + QChar(0x01) + "b\tc" + QChar(0x7F), "a_b_c_" },
        { ConversionType::windowscompatibility, "CON", "CON_" },
        { ConversionType::windowscompatibility, "con.txt", "con_.txt" },
        { ConversionType::windowscompatibility, "Com7", "Com7_" },
        { ConversionType::windowscompatibility, "COM10", "COM10" },
        { ConversionType::windowscompatibility, "console", "console" },
        { ConversionType::windowscompatibility, "docs/nul/a", "docs/nul_/a" },
        { ConversionType::windowscompatibility, "name.", "name_" },
        { ConversionType::windowscompatibility, "name. .", "name__" },
        { ConversionType::windowscompatibility, "a/../b", "a/../b" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((rawValue(c.type) + ": " + c.text).toStdString());
        TransformerProperties properties;
        properties.conversionType = c.type;
        EXPECT_EQ(ConversionTransformer::convertText(c.text, properties), c.expected);
    }
}

TEST_F(RulesTest, ConversionConvertsEachMatchOfItsFind)
{
    struct Case {
        QString find;
        bool regex;
        bool caseInsensitive;
        bool findFirst;
        std::optional<ConversionType> type;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        { "o", false, false, true, ConversionType::uppercase, "foo", "fOo" },
        { "o", false, false, false, ConversionType::uppercase, "foo", "fOO" },
        { "O", false, true, false, ConversionType::uppercase, "foo", "fOO" },
        { "ß", false, false, false, ConversionType::uppercase, "aßbß", "aSSbSS" },
        { "[a-z]+$", true, false, false, ConversionType::capitalizeall, "IMG 0042 holiday", "IMG 0042 Holiday" },
        { "é", false, false, false, ConversionType::uppercase, kNFDEcole, "E\u0301cole" },
        { ".", false, false, false, ConversionType::windowscompatibility, "a.b", "a.b" },
        { "", false, false, false, std::nullopt, "my file", "my file" },
        { "x*", true, false, false, ConversionType::uppercase, "axb", "aXb" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.text).toStdString());
        TransformerProperties properties;
        properties.conversionFindText = c.find;
        properties.conversionFindRegex = c.regex;
        properties.conversionFindCaseInsensitive = c.caseInsensitive;
        properties.conversionFindFirst = c.findFirst;
        properties.conversionType = c.type;
        EXPECT_EQ(ConversionTransformer::convertText(c.text, properties), c.expected);
    }
}

TEST_F(RulesTest, TheLookupTableReplacesItsEntriesInOrder)
{
    using Rows = QList<QStringList>;
    struct Case {
        QString label;
        QString find;
        Rows rows;
        bool caseInsensitive;
        bool anchorStart;
        bool anchorEnd;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        { "each match grows", "a", { { "a", "xx" } }, false, false, false, "aba", "xxbxx" },
        { "entries chain", "", { { "a", "b" }, { "b", "c" } }, false, false, false, "a", "c" },
        { "plain e finds é", "", { { "e", "x" } }, false, false, false, "Café", "Cafx" },
        { "case kept", "", { { "e", "x" } }, false, false, false, "CafE", "CafE" },
        { "case ignored", "", { { "e", "x" } }, true, false, false, "CafE", "Cafx" },
        { "é finds only é", "", { { "é", "e" } }, false, false, false, "é e " + kNFDEcole, "e e ecole" },
        { "start anchor", "", { { "a", "b" } }, false, true, false, "aXa", "bXa" },
        { "end anchor", "", { { "a", "b" } }, false, false, true, "aXa", "aXb" },
        { "both anchors, two ends", "", { { "a", "b" } }, false, true, true, "aXa", "aXa" },
        { "both anchors, whole text", "", { { "a", "b" } }, false, true, true, "a", "b" },
        { "short rows change nothing", "", { { "a" }, {}, { "", "x" }, { "b", "c", "ignored" } }, false, false, false,
            "ab", "ac" },
        { "emoji", "", { { "😀", ":)" } }, false, false, false, "a😀b", "a:)b" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label.toStdString());
        TransformerProperties properties;
        properties.conversionFindText = c.find;
        properties.conversionType = ConversionType::lookup;
        properties.conversionLookup = c.rows;
        properties.conversionLookupCaseInsensitive = c.caseInsensitive;
        properties.conversionLookupAnchorStart = c.anchorStart;
        properties.conversionLookupAnchorEnd = c.anchorEnd;
        EXPECT_EQ(ConversionTransformer::convertText(c.text, properties), c.expected);
    }
}

TEST_F(RulesTest, ConversionRunsOnTheScopeAndReportsAnInvalidFind)
{
    Transformer rule = makeRule(TransformerType::conversion,
        [](auto& p) { p.conversionType = ConversionType::uppercase; }, TransformScope::ext);
    File file = makeFile("/data/photo.jpg");
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    EXPECT_EQ(file.transformed.getTransformedText(TransformScope::ext), "JPG");
    EXPECT_EQ(newName(file), "photo");

    Transformer invalid = makeRule(TransformerType::conversion, [](auto& p) {
        p.conversionType = ConversionType::uppercase;
        p.conversionFindText = "[a";
        p.conversionFindRegex = true;
    });
    File named = makeFile("/data/[abc.txt");
    invalid.transformQuick(named, fileIndex);
    EXPECT_EQ(newName(named), "[abc");
    ASSERT_EQ(named.validation.errors.size(), 1);
    EXPECT_TRUE(named.validation.errors.values().first().startsWith("Regular expression error: "));
    EXPECT_THROW(invalid.transform(named, fileIndex), TransformError);
}

// The table passes over rows whose start a name does not hold; what it gives
// is what searching every row in turn gives, for characters whose case or
// marks compare in unusual ways.
TEST_F(RulesTest, TheLookupTableGivesWhatSearchingEveryRowGives)
{
    const QStringList characters = { "a", "A", "e", "é", "E\u0301", "ß", "ẞ", "s", "S", "σ", "ς", "Σ", "İ", "i", "ı",
        "I", "\u212A", "k", "\u212B", "å", "ﬁ", "𐐀", "𐐨", "👍🏽", "\u0301", "ǅ", "ǆ", "ά", "α", " ", "1", "_" };
    std::mt19937 random(7);
    const auto pick = [&](int most) {
        QString text;
        const int length = 1 + int(random() % most);
        for (int i = 0; i < length; ++i)
            text += characters.at(int(random() % characters.size()));
        return text;
    };
    QList<QStringList> table;
    for (int i = 0; i < 300; ++i)
        table << QStringList { pick(3), QStringLiteral("<%1>").arg(i) };
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names << pick(8);

    const auto searchedRowByRow = [&](const QString& text, bool caseInsensitive, bool anchorStart, bool anchorEnd) {
        using TextReplacement::Anchor;
        QString current = CanonicalText::nfc(text);
        for (const QStringList& row : table) {
            const QString find = CanonicalText::nfc(row.at(0));
            const auto replaced = [&](Anchor anchor) {
                return TextReplacement::replaceOccurrences(
                    current, find, row.at(1), caseInsensitive, !String::hasDiacritics(find), anchor);
            };
            if (anchorStart && anchorEnd) {
                const QString atStart = replaced(Anchor::start);
                if (atStart == replaced(Anchor::end))
                    current = atStart;
            } else {
                current = replaced(anchorStart ? Anchor::start : anchorEnd ? Anchor::end : Anchor::none);
            }
        }
        return current;
    };
    int replacedNames = 0;
    for (const bool caseInsensitive : { false, true }) {
        for (const auto& [anchorStart, anchorEnd] : { std::pair(false, false), std::pair(true, false),
                 std::pair(false, true), std::pair(true, true) }) {
            TransformerProperties properties;
            properties.conversionType = ConversionType::lookup;
            properties.conversionLookup = table;
            properties.conversionLookupCaseInsensitive = caseInsensitive;
            properties.conversionLookupAnchorStart = anchorStart;
            properties.conversionLookupAnchorEnd = anchorEnd;
            for (const QString& name : names) {
                const QString expected = searchedRowByRow(name, caseInsensitive, anchorStart, anchorEnd);
                ASSERT_EQ(ConversionTransformer::convertText(name, properties), expected)
                    << name.toStdString() << " case-insensitive " << caseInsensitive << " anchors " << anchorStart
                    << anchorEnd;
                replacedNames += expected != CanonicalText::nfc(name);
            }
        }
    }
    EXPECT_GT(replacedNames, 400) << "the rows must match often for the comparison to mean something";
}
