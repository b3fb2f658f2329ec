// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TextOffsets.h"

#include <gtest/gtest.h>

TEST(TextOffsets, CharactersAreGraphemeClustersOnEveryPath)
{
    struct Case {
        QString text;
        QStringList characters;
    };
    const Case cases[] = {
        { "", {} },
        { "ab", { "a", "b" } },
        { "a\r\nb", { "a", "\r\n", "b" } },
        { "\r\n", { "\r\n" } },
        { "\n\r", { "\n", "\r" } },
        { QString::fromUtf8("ÿß"), { QString::fromUtf8("ÿ"), QString::fromUtf8("ß") } },
        { QString::fromUtf8("e\u0301x"), { QString::fromUtf8("e\u0301"), "x" } },
        { QString::fromUtf8("👍🏽a"), { QString::fromUtf8("👍🏽"), "a" } },
        { QString::fromUtf8("a\r\ne\u0301"), { "a", "\r\n", QString::fromUtf8("e\u0301") } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const TextOffsets offsets(c.text);
        EXPECT_EQ(offsets.characters(), c.characters);
        EXPECT_EQ(offsets.characterCount(), c.characters.size());
        EXPECT_EQ(offsets.utf16Position(offsets.characterCount()), c.text.size());
    }
}

TEST(TextOffsets, PositionsInsideACharacterHaveNoOffset)
{
    const TextOffsets offsets(QString::fromUtf8("a\r\ne\u0301"));
    EXPECT_EQ(offsets.characterOffset(1), 1);
    EXPECT_FALSE(offsets.characterOffset(2).has_value());
    EXPECT_EQ(offsets.characterOffset(3), 2);
    EXPECT_FALSE(offsets.characterOffset(4).has_value());
    EXPECT_EQ(offsets.utf16Position(99), 5);
    EXPECT_EQ(offsets.utf16Position(-1), 0);
}

// One code unit a character: the same answers without a table of boundaries.
TEST(TextOffsets, PlainTextAnswersLikeTheTable)
{
    const TextOffsets offsets(QStringLiteral("abc"));
    EXPECT_EQ(offsets.characterCount(), 3);
    EXPECT_FALSE(offsets.characterOffset(-1).has_value());
    EXPECT_EQ(offsets.characterOffset(0), 0);
    EXPECT_EQ(offsets.characterOffset(3), 3);
    EXPECT_FALSE(offsets.characterOffset(4).has_value());
    EXPECT_EQ(offsets.utf16Position(99), 3);
    EXPECT_EQ(offsets.utf16Position(-1), 0);
    EXPECT_EQ(offsets.characterRange({ 1, 3 }), (CharacterRange { 1, 3 }));
    EXPECT_EQ(offsets.character(1), QStringView(u"b"));
}
