// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Literal find and replace over whole characters, shared by the Replace rule's
// plain mode and the lookup table of the Conversion rule.
namespace TextReplacement {

enum class Anchor { none, start, end };

// `source` with `find` replaced by `replace`: every occurrence, or only one
// standing at the start or the end. Characters compare case-insensitively
// and without regard to the source's marks when asked. Both texts are taken
// as given; callers compose them first.
QString replaceOccurrences(const QString& source, const QString& find, const QString& replace, bool caseInsensitive,
    bool diacriticInsensitive, Anchor anchor = Anchor::none);

} // namespace TextReplacement
