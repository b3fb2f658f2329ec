// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenString+AttributedText.h"

#include "tokenui/TokenTextAttachment.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace TokenStringText {

bool isChip(const TokenItem& tokenItem)
{
    return tokenItem.type == TokenType::ATTRIBUTE || tokenItem.type == TokenType::REGEX;
}

void append(QTextCursor& cursor, const TokenItem& tokenItem)
{
    if (isChip(tokenItem)) {
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), TokenTextAttachment::format(tokenItem));
        return;
    }
    // Plain text in the field's own colour, whatever format the cursor had.
    cursor.insertText(tokenItem.value, QTextCharFormat());
}

void append(QTextCursor& cursor, const TokenString& tokenString)
{
    cursor.beginEditBlock();
    for (const TokenItem& item : tokenString.items())
        append(cursor, item);
    cursor.endEditBlock();
}

TokenString tokenString(const QTextDocument& document, int from, int to)
{
    const int end = to < 0 ? document.characterCount() - 1 : to;
    QList<TokenItem> items;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.position() > end)
            break;
        if (block != document.begin() && block.position() - 1 >= from && block.position() - 1 < end)
            items << TokenItem::string(QStringLiteral("\n"));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int stop = std::min(fragment.position() + fragment.length(), end);
            if (start >= stop)
                continue;
            const QString text = fragment.text().mid(start - fragment.position(), stop - start);
            if (!TokenTextAttachment::isAttachment(fragment.charFormat())) {
                items << TokenItem::string(text);
                continue;
            }
            // One item for every chip character of the run.
            const TokenItem item = *TokenTextAttachment::tokenItem(fragment.charFormat());
            for (const QChar c : text)
                if (c == QChar::ObjectReplacementCharacter)
                    items << item;
        }
    }
    return TokenString(items);
}

} // namespace TokenStringText
