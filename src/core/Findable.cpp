// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Findable.h"

#include "core/String+find.h"

namespace Findable {

std::optional<QList<CharacterRange>> findRanges(const QString& text, const FindParameters& parameters,
    QString* error)
{
    if (parameters.findText.isEmpty())
        return QList<CharacterRange> { { 0, TextOffsets(text).characterCount() } };
    const RegexOptions options = parameters.caseInsensitive ? RegexOptions(RegexOption::caseInsensitive) : RegexOptions();
    QList<CharacterRange> found = String::matches(text, parameters.pattern(), options, error);
    if (found.isEmpty())
        return std::nullopt;
    if (parameters.findFirst)
        found.resize(1);
    return found;
}

std::optional<QList<TextRange>> findIndexRanges(const QString& text, const FindParameters& parameters,
    QString* error)
{
    if (parameters.findText.isEmpty())
        return QList<TextRange> { String::range(text) };
    CompareOptions options = CompareOption::regularExpression | CompareOption::diacriticInsensitive;
    if (parameters.caseInsensitive)
        options |= CompareOption::caseInsensitive;
    QList<TextRange> found = String::ranges(text, parameters.pattern(), options, error);
    if (found.isEmpty())
        return std::nullopt;
    if (parameters.findFirst)
        found.resize(1);
    return found;
}

} // namespace Findable
