#include "rules/TextReplacement.h"

#include "core/String+utilities.h"
#include "core/TextOffsets.h"

#include <QStringList>

namespace TextReplacement {

QString replaceOccurrences(const QString& source, const QString& find, const QString& replace, bool caseInsensitive,
    bool diacriticInsensitive, Anchor anchor)
{
    const QStringList characters = TextOffsets(source).characters();
    const QStringList findCharacters = TextOffsets(find).characters();
    const qsizetype count = findCharacters.size();
    if (count == 0 || count > characters.size())
        return source;
    const auto same = [&](const QString& character, const QString& findCharacter) {
        const QString compared = diacriticInsensitive ? String::withoutDiacritics(character) : character;
        return QString::compare(compared, findCharacter, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive)
            == 0;
    };
    const auto foundAt = [&](qsizetype i) {
        if (i < 0 || i + count > characters.size())
            return false;
        for (qsizetype j = 0; j < count; ++j) {
            if (!same(characters[i + j], findCharacters[j]))
                return false;
        }
        return true;
    };
    const auto joined = [&](qsizetype from, qsizetype to) {
        QString text;
        for (qsizetype i = from; i < to; ++i)
            text += characters[i];
        return text;
    };
    if (anchor == Anchor::start)
        return foundAt(0) ? replace + joined(count, characters.size()) : source;
    if (anchor == Anchor::end) {
        const qsizetype at = characters.size() - count;
        return foundAt(at) ? joined(0, at) + replace : source;
    }
    QString result;
    qsizetype i = 0;
    while (i < characters.size()) {
        if (foundAt(i)) {
            result += replace;
            i += count;
        } else {
            result += characters[i];
            ++i;
        }
    }
    return result;
}

} // namespace TextReplacement
