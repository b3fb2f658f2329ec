// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenString.h"

class QTextCursor;
class QTextDocument;

// A token string as rich text: literal items as plain text, every ATTRIBUTE
// or REGEX item as one chip (the older kinds show as their text).
namespace TokenStringText {

// Inserts the item's text or chip at the cursor.
void append(QTextCursor& cursor, const TokenItem& tokenItem);
void append(QTextCursor& cursor, const TokenString& tokenString);

// The token string of the characters from `from` to `to` (all when `to` is -1):
// every run of text gives one STRING item (runs are not merged), every chip a
// copy of its item.
TokenString tokenString(const QTextDocument& document, int from = 0, int to = -1);

bool isChip(const TokenItem& tokenItem);

} // namespace TokenStringText
