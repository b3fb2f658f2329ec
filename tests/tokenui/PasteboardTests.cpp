// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenString+Pasteboard.h"

#include <QMimeData>

#include <gtest/gtest.h>

namespace {

TokenItem dateItem()
{
    TokenItem item = TokenItem::attribute(QStringLiteral("date-modified"));
    item.prefix = QStringLiteral("(");
    item.suffix = QStringLiteral(")");
    item.dateFormat = QStringLiteral("yyyy");
    item.timeZone = QStringLiteral("Europe/Berlin");
    item.numberDigits = 4;
    return item;
}

TEST(TokenStringPasteboard, roundTripKeepsKindsValuesAndFormattingWithNewIds)
{
    const TokenString original(QList<TokenItem> { TokenItem::string(QStringLiteral("IMG ")), dateItem() });
    QMimeData mimeData;
    TokenStringPasteboard::write(mimeData, original);
    EXPECT_EQ(mimeData.formats(), TokenStringPasteboard::writableTypes());

    const auto strings = TokenStringPasteboard::tokenStrings(mimeData);
    ASSERT_TRUE(strings.has_value());
    ASSERT_EQ(strings->size(), 1);
    const TokenString& back = strings->first();
    EXPECT_EQ(back, original);
    ASSERT_EQ(back.items().size(), 2);
    EXPECT_NE(back.items()[1].id, original.items()[1].id);
    EXPECT_EQ(back.items()[1].dateFormat, QStringLiteral("yyyy"));
    EXPECT_EQ(back.items()[1].timeZone, QStringLiteral("Europe/Berlin"));
    EXPECT_EQ(TokenStringPasteboard::tokenTypes(mimeData), (QList<TokenType> { TokenType::STRING, TokenType::ATTRIBUTE }));
}

// Typed text keeps its blanks through a copy as plain text and its paste.
TEST(TokenStringPasteboard, plainTextKeepsTypedTextAsItStands)
{
    const TokenItem size = TokenItem::attribute(QStringLiteral("file-size"));
    const struct {
        QList<TokenItem> items;
        QString plain;
    } cases[] = {
        { { TokenItem::string(QStringLiteral("a ")), size }, QStringLiteral("a file-size") },
        { { size, TokenItem::string(QStringLiteral(" - ")), size }, QStringLiteral("file-size - file-size") },
        { { TokenItem::string(QStringLiteral("  both ends  ")) }, QStringLiteral("  both ends  ") },
        { { TokenItem::string(QStringLiteral(" ")) }, QStringLiteral(" ") },
        { {}, QString() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain.toStdString());
        QMimeData mimeData;
        TokenStringPasteboard::write(mimeData, TokenString(c.items));
        EXPECT_EQ(TokenStringPasteboard::string(mimeData), c.plain);
        QMimeData pasted;
        pasted.setText(c.plain);
        const auto back = TokenStringPasteboard::getTokenString(pasted, { TokenStringPasteboard::stringType }, TransformScope::filename);
        if (!c.plain.isEmpty()) {
            ASSERT_TRUE(back.has_value());
            ASSERT_EQ(back->items().size(), 1);
            EXPECT_EQ(back->items().first().value, c.plain);
        }
    }
}

TEST(TokenStringPasteboard, unreadableArchiveGivesNoTokenStringOfThatType)
{
    for (const QByteArray& data : { QByteArray("not json"), QByteArray("{\"a\":1}"), QByteArray("[{\"type\":1}]"), QByteArray("[3]") }) {
        EXPECT_FALSE(TokenStringPasteboard::read(data, TokenStringPasteboard::tokenStringType).has_value()) << data.constData();
        QMimeData mimeData;
        mimeData.setData(TokenStringPasteboard::tokenStringType, data);
        EXPECT_FALSE(TokenStringPasteboard::tokenStrings(mimeData).has_value());
        EXPECT_TRUE(TokenStringPasteboard::tokenTypes(mimeData).isEmpty());
    }
    EXPECT_EQ(TokenStringPasteboard::read("[]", TokenStringPasteboard::tokenStringType), TokenString());
    EXPECT_EQ(TokenStringPasteboard::read("abc", TokenStringPasteboard::stringType), TokenString::string(QStringLiteral("abc")));
    EXPECT_FALSE(TokenStringPasteboard::read("abc", QStringLiteral("text/html")).has_value());
}

TEST(TokenStringPasteboard, pastedTextFollowsWhatTheDataHolds)
{
    const QStringList types = { TokenStringPasteboard::fileTableViewRowUrlType, TokenStringPasteboard::tokenStringType,
        TokenStringPasteboard::stringType };
    QMimeData empty;
    EXPECT_FALSE(TokenStringPasteboard::getTokenString(empty, types, TransformScope::filename).has_value());

    QMimeData plain;
    plain.setText(QStringLiteral("hello"));
    EXPECT_EQ(TokenStringPasteboard::getTokenString(plain, types, TransformScope::filename), TokenString::string(QStringLiteral("hello")));
    // Types the caller does not ask for are not looked at.
    EXPECT_FALSE(TokenStringPasteboard::getTokenString(plain, { TokenStringPasteboard::tokenStringType }, TransformScope::filename).has_value());

    // A broken archive next to plain text pastes the text.
    QMimeData broken;
    broken.setData(TokenStringPasteboard::tokenStringType, "garbage");
    broken.setText(QStringLiteral("x"));
    EXPECT_EQ(TokenStringPasteboard::getTokenString(broken, types, TransformScope::filename), TokenString::string(QStringLiteral("x")));
}

struct RowCase {
    TransformScope scope;
    QString expected;
};

TEST(TokenStringPasteboard, draggedFileRowPastesThePartOfTheScope)
{
    const QList<RowCase> cases = {
        { TransformScope::filename, QStringLiteral("b") },
        { TransformScope::path, QStringLiteral("/Users/a") },
        { TransformScope::ext, QStringLiteral("txt") },
        { TransformScope::fullPath, QStringLiteral("/Users/a/b.txt") },
    };
    QMimeData mimeData;
    mimeData.setData(TokenStringPasteboard::fileTableViewRowUrlType, QUrl::fromLocalFile(QStringLiteral("/Users//a/b.txt")).toEncoded());
    mimeData.setText(QStringLiteral("ignored"));
    for (const RowCase& c : cases) {
        const auto pasted = TokenStringPasteboard::getTokenString(mimeData,
            { TokenStringPasteboard::fileTableViewRowUrlType, TokenStringPasteboard::stringType }, c.scope);
        ASSERT_TRUE(pasted.has_value());
        EXPECT_EQ(*pasted, TokenString::string(c.expected)) << rawValue(c.scope).toStdString();
    }
}

} // namespace
