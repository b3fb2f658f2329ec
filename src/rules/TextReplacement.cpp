// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TextReplacement.h"

#include "core/String+utilities.h"
#include "core/TextOffsets.h"


namespace TextReplacement {

QString replaceOccurrences(const QString& source, const QString& find, const QString& replace, bool caseInsensitive,
    bool diacriticInsensitive, Anchor anchor)
{
    const TextOffsets characters(source);
    const TextOffsets findCharacters(find);
    const qsizetype count = findCharacters.characterCount();
    const qsizetype characterCount = characters.characterCount();
    if (count == 0 || count > characterCount)
        return source;
    const Qt::CaseSensitivity sensitivity = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const auto same = [&](QStringView character, QStringView findCharacter) {
        // An ASCII character has no marks to drop.
        if (!diacriticInsensitive || (character.size() == 1 && character.front().unicode() < 0x80))
            return character.compare(findCharacter, sensitivity) == 0;
        return QStringView(String::withoutDiacritics(character.toString())).compare(findCharacter, sensitivity) == 0;
    };
    const auto foundAt = [&](qsizetype i) {
        if (i < 0 || i + count > characterCount)
            return false;
        for (qsizetype j = 0; j < count; ++j) {
            if (!same(characters.character(i + j), findCharacters.character(j)))
                return false;
        }
        return true;
    };
    const auto joined = [&](qsizetype from, qsizetype to) {
        const TextRange range = characters.utf16Range({ from, to });
        return source.mid(range.start, range.length());
    };
    if (anchor == Anchor::start)
        return foundAt(0) ? replace + joined(count, characterCount) : source;
    if (anchor == Anchor::end) {
        const qsizetype at = characterCount - count;
        return foundAt(at) ? joined(0, at) + replace : source;
    }
    // Most searches find nothing: the text is rebuilt only from the first match on.
    qsizetype i = 0;
    while (i + count <= characterCount && !foundAt(i))
        ++i;
    if (i + count > characterCount)
        return source;
    QString result;
    result.reserve(source.size());
    result += joined(0, i);
    while (i < characterCount) {
        if (foundAt(i)) {
            result += replace;
            i += count;
        } else {
            result += characters.character(i);
            ++i;
        }
    }
    return result;
}

} // namespace TextReplacement
