// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The kind of a token item. The last three arise only from older stored data
// and behave as literal text.
enum class TokenType { STRING, ATTRIBUTE, REGEX, PARENT_DIRECTORY, ORIGINAL_FILENAME, DATE_NOW };

namespace TokenTypes {

QString rawValue(TokenType type);
// "ATTRIBUTE", as the debug texts name the kind.
QString caseName(TokenType type);
std::optional<TokenType> fromRawValue(const QString& text);
// A text holding a raw value gives its case; anything else none.
std::optional<TokenType> fromAny(const QVariant& value);

} // namespace TokenTypes

inline size_t qHash(TokenType type, size_t seed = 0)
{
    return qHash(int(type), seed);
}
