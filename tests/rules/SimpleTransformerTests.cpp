// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

namespace {
const QString kNFDEcole = QStringLiteral("e\u0301cole");
const QString kNFCEcole = QStringLiteral("\u00e9cole");
}

TEST_F(RulesTest, ReplaceFindsAndReplacesInTheName)
{
    struct Case {
        QString find;
        std::optional<QString> replace;
        bool caseInsensitive;
        bool wildcards;
        bool findFirst;
        QString name;
        QString expected;
    };
    const Case cases[] = {
        // Plain mode: a find text without diacritics also matches accented letters.
        { "e", "x", false, false, false, "café", "cafx" },
        { "é", "x", false, false, false, "cafe café", "cafe cafx" },
        { "e", "x", true, false, false, "CAFÉ", "CAFx" },
        { "abc", "x", true, false, false, "ABCabc", "xx" },
        { "abc", "x", false, false, false, "ABCabc", "ABCx" },
        { "a", "$1", false, false, false, "banana", "b$1n$1n$1" },
        { "a*", "X", false, false, false, "a*ba*", "XbX" },
        { "a", std::nullopt, false, false, false, "banana", "bnn" },
        { "a", "x", false, false, false, "😀abc", "😀xbc" },
        { "", "x", false, false, false, "photo", "photo" },
        // A decomposed name comes back composed from plain mode, match or not.
        { "zzz", "x", false, false, false, kNFDEcole, kNFCEcole },
        { "e", "E", false, false, false, kNFDEcole, "EcolE" },
        { "file", "doc", true, false, false, "Fi\u0308le_fi\u0302le", "doc_doc" },
        { "\r", "x", false, false, false, "a\r\nb\r", "a\r\nbx" }, // CR LF is one character
        // Pattern mode: find first, wildcards; the replace text is a template.
        { "abc", "x", true, false, true, "ABCabc", "xabc" },
        { "a*", "X", false, false, true, "a*ba*", "Xba*" },
        { "a", "[$0]", false, false, true, "banana", "b[a]nana" },
        { "IMG_*", "Photo $1", false, true, false, "IMG_0042", "Photo 0042" },
        { "img_*", "Photo $1", true, true, false, "IMG_0042", "Photo 0042" },
        { "IMG_#", "P$1", false, true, false, "IMG_12", "P12" },
        { "*_", "[$1]", false, true, true, "a_b_c", "[a]b_c" },
        { "😀_*", "$1", false, true, false, "😀_abc", "abc" },
        { "é", "E", false, false, true, kNFDEcole, "Ecole" },
        { "zzz", "x", false, false, true, kNFDEcole, kNFDEcole },
        { "abc", "x", false, true, false, "abcabc", "xx" }, // no wildcard in the find text: plain mode
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.name).toStdString());
        Transformer rule = makeRule(TransformerType::simple, [&](TransformerProperties& p) {
            p.simpleFindText = c.find;
            if (c.replace)
                p.simpleReplaceText = TokenString::string(*c.replace);
            p.simpleCaseInsensitive = c.caseInsensitive;
            p.simpleWildcards = c.wildcards;
            p.simpleFindFirst = c.findFirst;
        });
        File file = makeFile("/data/" + c.name + ".txt");
        FileIndex fileIndex;
        rule.transformQuick(file, fileIndex);
        EXPECT_EQ(newName(file), c.expected);
        EXPECT_TRUE(file.validation.errors.isEmpty());
    }
}

TEST_F(RulesTest, ReplaceWorksOnTheScopeOfTheRule)
{
    Transformer rule = makeRule(TransformerType::simple, [](auto& p) {
        p.simpleFindText = "jpeg";
        p.simpleReplaceText = TokenString::string("jpg");
    }, TransformScope::ext);
    File file = makeFile("/data/jpeg.jpeg");
    FileIndex fileIndex;
    rule.transformQuick(file, fileIndex);
    EXPECT_EQ(newName(file), "jpeg");
    EXPECT_EQ(file.transformed.getTransformedText(TransformScope::ext), "jpg");
}
