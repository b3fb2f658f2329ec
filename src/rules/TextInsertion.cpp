// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TextInsertion.h"

#include "core/Findable.h"
#include "rules/Transformable.h"

#include <algorithm>
#include <limits>

namespace TextInsertion {

QString insert(const QString& text, const QList<CharacterRange>& ranges, const QString& insertion,
    const std::function<qint64(const CharacterRange&)>& point)
{
    QString result = text;
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
        const TextOffsets offsets(result);
        const qint64 at = std::clamp<qint64>(point(*it), 0, offsets.characterCount());
        result.insert(offsets.utf16Position(at), insertion);
    }
    return result;
}

QString insertAtMatches(const QString& text, const FindParameters& parameters, const QString& insertion,
    const std::function<qint64(const CharacterRange&)>& point)
{
    QString error;
    const auto ranges = Findable::findRanges(text, parameters, &error);
    if (!error.isEmpty())
        throw Transformable::regularExpressionError(error);
    if (!ranges)
        return text;
    return insert(text, *ranges, insertion, point);
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

} // namespace TextInsertion
