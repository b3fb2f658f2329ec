// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenItem.h"

#include <QTextCharFormat>
#include <QTextFormat>

#include <optional>

// A chip: one token held by a text object in a token field's document. The
// object character's format carries a copy of the item; the cell draws it.
namespace TokenTextAttachment {

// The type name of a chip.
inline const QString UTI = QStringLiteral("com.brackenfold.tokentextattachment");
inline constexpr int OBJECT_TYPE = QTextFormat::UserObject + 1;

// The format of the object character that shows `tokenItem` as a chip.
QTextCharFormat format(const TokenItem& tokenItem);
bool isAttachment(const QTextFormat& format);
// The chip's item; none for a format that is no chip.
std::optional<TokenItem> tokenItem(const QTextFormat& format);

} // namespace TokenTextAttachment
