// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace String {

// Title case in the current locale: every word capitalised except small words
// (articles, conjunctions, short prepositions) inside the text. The first and
// last words, and a word after a dash, an opening quote or parenthesis or a
// sentence end, are always capitalised.
QString localizedTitlecased(const QString& text);

} // namespace String
