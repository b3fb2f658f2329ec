// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct TokenItem;
class TokenString;

// Builds regular-expression source text (ICU syntax) and a label in words from
// builder tokens. Literal items pass through as pattern text, unescaped.
namespace RegExpResolver {

struct Result {
    QString pattern;
    QString label;
};

Result resolveRegExp(const TokenItem& item);
Result resolveRegExp(const TokenString& tokenString);

} // namespace RegExpResolver
