// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TrimTransformer.h"

#include "core/CanonicalText.h"
#include "core/Findable.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"

#include <QSet>

#include <algorithm>
#include <limits>

namespace {

using Characters = QStringList;

// A count or offset as a length: its magnitude, the most negative number included.
qsizetype magnitude(qint64 value)
{
    const quint64 m = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    return qsizetype(std::min<quint64>(m, quint64(std::numeric_limits<qsizetype>::max())));
}

QString joined(const Characters& characters, qsizetype from, qsizetype to)
{
    QString text;
    for (qsizetype i = std::max<qsizetype>(from, 0); i < std::min(to, characters.size()); ++i)
        text += characters[i];
    return text;
}

struct Settings {
    qsizetype count = 0;
    qint64 offset = 0;
    QString match;
    QSet<QString> listed; // the characters of trimCharacters, composed

    explicit Settings(const TransformerProperties& properties)
        : count(magnitude(properties.trimCount.value_or(0)))
        , offset(properties.trimOffset.value_or(0))
        , match(properties.trimMatch.value_or(TrimTransformer::kTrimAny))
    {
        for (const QString& character : TextOffsets(properties.trimCharacters.value_or(QString())).characters())
            listed.insert(CanonicalText::nfc(character));
    }

    // The segment's characters that are (or are not) listed.
    QString filtered(const Characters& characters, qsizetype from, qsizetype to, bool keepListed) const
    {
        QString text;
        for (qsizetype i = from; i < to; ++i) {
            if (listed.contains(CanonicalText::nfc(characters[i])) == keepListed)
                text += characters[i];
        }
        return text;
    }

    // The result of the match keys for a segment between `before` and `after`.
    QString apply(const Characters& characters, qsizetype from, qsizetype to, const QString& before,
        const QString& after) const
    {
        if (match == TrimTransformer::kTrimAny)
            return before + after;
        if (match == TrimTransformer::kTrimAnyOf)
            return before + filtered(characters, from, to, false) + after;
        if (match == TrimTransformer::kTrimAnyExcept)
            return before + filtered(characters, from, to, true) + after;
        if (match == TrimTransformer::kKeepAnyOf)
            return filtered(characters, from, to, true);
        if (match == TrimTransformer::kKeepAnyExcept)
            return filtered(characters, from, to, false);
        return joined(characters, from, to); // "keepany" and unknown keys
    }

    bool keeps() const
    {
        return match == TrimTransformer::kKeepAny || match == TrimTransformer::kKeepAnyOf
            || match == TrimTransformer::kKeepAnyExcept;
    }
};

QString trimStart(const QString& text, const Settings& settings)
{
    const Characters characters = TextOffsets(text).characters();
    const qsizetype length = characters.size();
    const qsizetype head = std::min(settings.offset > 0 ? magnitude(settings.offset) : 0, length);
    const qsizetype end = head + std::min(settings.count, length - head);
    return settings.apply(characters, head, end, joined(characters, 0, head), joined(characters, end, length));
}

QString trimEnd(const QString& text, const Settings& settings)
{
    const Characters characters = TextOffsets(text).characters();
    const qsizetype length = characters.size();
    const qsizetype kept = std::min(settings.offset < 0 ? magnitude(settings.offset) : 0, length);
    const qsizetype end = length - kept;
    const qsizetype start = end - std::min(settings.count, end);
    return settings.apply(characters, start, end, joined(characters, 0, start), joined(characters, end, length));
}

QString trimAround(const QString& text, const Settings& settings)
{
    if (!settings.keeps())
        return trimEnd(trimStart(text, settings), settings);
    const qsizetype count = settings.count;
    const qsizetype offset = magnitude(settings.offset);
    const qsizetype beyondOffset = count > offset ? count - offset : 0;
    const qsizetype length = TextOffsets(text).characterCount();
    // count + beyondOffset, held within the text's reach
    if (count <= length && beyondOffset <= length - count)
        return trimStart(text, settings) + trimEnd(text, settings);
    const Characters characters = TextOffsets(text).characters();
    const qsizetype half = length - length / 2;
    return trimStart(joined(characters, 0, half), settings) + trimEnd(joined(characters, half, length), settings);
}

QString trimPiece(const QString& piece, const QString& position, const Settings& settings)
{
    if (position == TrimTransformer::kTrimStart || position == TrimTransformer::kTrimStartEach)
        return trimStart(piece, settings);
    if (position == TrimTransformer::kTrimEnd || position == TrimTransformer::kTrimEndEach)
        return trimEnd(piece, settings);
    return trimAround(piece, settings);
}

} // namespace

QString TrimTransformer::helpText() const
{
    return QStringLiteral("This Rename-Action can be used to remove some text from a Filename, Path or Extension.");
}

void TrimTransformer::run(TransformMode, TransformScope transformScope, const TransformerProperties& properties,
    File& file, FileIndex&, TransformerState&)
{
    const QString text = file.transformed.getTransformedText(transformScope);
    file.transformed.setTransformedText(trimText(text, properties), transformScope);
}

QString TrimTransformer::trimText(const QString& text, const TransformerProperties& properties)
{
    const QString position = properties.trimPosition.value_or(kTrimStart);
    const bool each = properties.trimPosition && properties.trimPosition->contains(QLatin1String("each"));
    const bool stripSpaces = properties.trimLeadingTrailingSpaces.value_or(false);
    const Settings settings(properties);
    const auto trimMatch = [&](const QString& matched) {
        const QStringList pieces = each ? String::splitIncludingSeparator(matched, QStringLiteral("/."))
                                        : QStringList { matched };
        QString result;
        for (const QString& piece : pieces) {
            if (piece.isEmpty())
                continue;
            if (piece == QLatin1String("/") || piece == QLatin1String(".") || piece == QLatin1String("/.")) {
                result += piece;
                continue;
            }
            const QString trimmed = trimPiece(piece, position, settings);
            result += stripSpaces ? trimmed.trimmed() : trimmed;
        }
        return result;
    };

    const FindParameters parameters(properties.trimFindText, properties.trimFindWildcards, properties.trimFindRegex,
        properties.trimFindCaseInsensitive, properties.trimFindFirst);
    QString error;
    const auto ranges = Findable::findIndexRanges(text, parameters, &error);
    if (!error.isEmpty())
        throw regularExpressionError(error);
    // No match leaves the text alone, with find first as without.
    if (!ranges)
        return text;
    QString result = text;
    for (auto it = ranges->crbegin(); it != ranges->crend(); ++it)
        result.replace(it->start, it->length(), trimMatch(result.mid(it->start, it->length())));
    return result;
}
