// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/TransformScope.h"
#include "tokens/TokenString.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <optional>

class QMimeData;

// Token strings on the clipboard and in drags. A token string travels as an
// ordered array of its items' property dictionaries (texts only) under its
// own type, and as plain text.
namespace TokenStringPasteboard {

inline const QString tokenStringType = QStringLiteral("com.brackenfold.tokenstring");
inline const QString stringType = QStringLiteral("text/plain");
// A dragged row of the file table: its file URL, encoded.
inline const QString fileTableViewRowUrlType = QStringLiteral("private.brackenfold-file-table-row-url");

// [token string type, plain text].
QStringList writableTypes();
void write(QMimeData& mimeData, const TokenString& tokenString);
// The token string as plain text: typed text as it stands, chips by their labels.
QString plainText(const TokenString& tokenString);
// The data offered for `type`; none for other types.
std::optional<QByteArray> propertyList(const TokenString& tokenString, const QString& type);
// A token string read from the data of exactly that type: an unreadable
// archive gives none (no fall-back to plain text).
std::optional<TokenString> read(const QByteArray& propertyList, const QString& type);

// What to paste into a field of that scope: none when the data has none of
// `types`; else the scope's part of a dragged file-table row; else the token
// strings; else the plain text as one STRING item.
std::optional<TokenString> getTokenString(const QMimeData& mimeData, const QStringList& types, TransformScope transformScope);
std::optional<QList<TokenString>> tokenStrings(const QMimeData& mimeData);
QList<TokenItem> tokenItems(const QMimeData& mimeData);
QList<TokenType> tokenTypes(const QMimeData& mimeData);
std::optional<QString> string(const QMimeData& mimeData);
std::optional<QUrl> fileTableViewRowUrl(const QMimeData& mimeData);

} // namespace TokenStringPasteboard
