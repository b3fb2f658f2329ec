// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenTextAttachment.h"

#include <QVariant>

namespace TokenTextAttachment {

namespace {
constexpr int TOKEN_ITEM_PROPERTY = QTextFormat::UserProperty + 1;
// Items compare equal whatever their ids, and the document shares equal
// formats: the id keeps two alike chips two items.
constexpr int TOKEN_ID_PROPERTY = QTextFormat::UserProperty + 2;
}

QTextCharFormat format(const TokenItem& tokenItem)
{
    QTextCharFormat result;
    result.setObjectType(OBJECT_TYPE);
    result.setProperty(TOKEN_ITEM_PROPERTY, QVariant::fromValue(tokenItem));
    result.setProperty(TOKEN_ID_PROPERTY, tokenItem.id);
    // Chips sit on the middle of the line rather than on top of the baseline.
    result.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    return result;
}

bool isAttachment(const QTextFormat& format)
{
    return format.objectType() == OBJECT_TYPE && format.property(TOKEN_ITEM_PROPERTY).canConvert<TokenItem>();
}

std::optional<TokenItem> tokenItem(const QTextFormat& format)
{
    if (!isAttachment(format))
        return std::nullopt;
    return format.property(TOKEN_ITEM_PROPERTY).value<TokenItem>();
}

} // namespace TokenTextAttachment
