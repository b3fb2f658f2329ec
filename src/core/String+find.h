// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FindParameters.h"
#include "core/RegularExpression.h"
#include "core/TextOffsets.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

enum class CompareOption {
    caseInsensitive = 1, diacriticInsensitive = 2, regularExpression = 4, anchorsMatchLines = 8
};
Q_DECLARE_FLAGS(CompareOptions, CompareOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(CompareOptions)

// Text matching for the rules. Searches run on the NFC forms of text and
// pattern, so a decomposed accent matches a composed one; results are mapped
// back to the caller's text through TextOffsets. A pattern that does not
// compile or times out counts as invalid: no match, never an exception.
namespace String {

// Pattern building.
QString wildcardsAsRegex(const QString& wildcardText);
QString regexLiteral(const QString& text);
QString escapedRegexCharacterGroup(const QString& text);

// Searching. `matches` answers character ranges; `ranges` and `firstRange`
// answer UTF-16 ranges of `text`; `error` tells an invalid or timed-out
// pattern from no match.
QList<CharacterRange> matches(const QString& text, const QString& pattern, RegexOptions options,
    QString* error = nullptr);
bool isMatch(const QString& text, const QString& pattern, RegexOptions options, QString* error = nullptr);
QStringList getMatchGroups(const QString& text, const QString& pattern, RegexOptions options);
std::optional<TextRange> firstRange(const QString& text, const RegularExpression& expression);
QList<TextRange> ranges(const QString& text, const QString& pattern, CompareOptions options, QString* error = nullptr);
TextRange range(const QString& text);

// Replacing; each answers the new text.
QString findReplace(const QString& text, const FindParameters& parameters,
    const std::function<QString(const QString&)>& replace);
QString findAndTransformRanges(const QString& text, const FindParameters& parameters,
    const std::function<QString(TextRange, const QString&)>& transformRange);
QString stringByReplacingOccurrences(const QString& text, const QString& pattern,
    const QString& replacementTemplate, bool caseInsensitive);
QString stringByReplacingOccurrences(const QString& text, const QString& pattern,
    const QString& replacementTemplate, CompareOptions options);

} // namespace String
