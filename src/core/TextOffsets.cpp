#include "core/TextOffsets.h"

#include "core/IcuString.h"

#include <unicode/brkiter.h>

#include <algorithm>
#include <memory>

TextOffsets::TextOffsets(const QString& text)
    : m_text(text)
{
    m_boundaries.append(0);
    if (text.isEmpty())
        return;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> breaks(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !breaks) {
        // Without break data every code unit counts as a character.
        for (qsizetype i = 1; i <= text.size(); ++i)
            m_boundaries.append(i);
        return;
    }
    const icu::UnicodeString icuText = IcuString::toIcu(text);
    breaks->setText(icuText);
    breaks->first();
    for (int32_t p = breaks->next(); p != icu::BreakIterator::DONE; p = breaks->next())
        m_boundaries.append(p);
    if (m_boundaries.last() != text.size())
        m_boundaries.append(text.size());
}

qsizetype TextOffsets::utf16Position(qsizetype characterOffset) const
{
    return m_boundaries.at(std::clamp<qsizetype>(characterOffset, 0, characterCount()));
}

TextRange TextOffsets::utf16Range(CharacterRange range) const
{
    return { utf16Position(range.lower), utf16Position(range.upper) };
}

std::optional<qsizetype> TextOffsets::characterOffset(qsizetype utf16Position) const
{
    const auto it = std::lower_bound(m_boundaries.cbegin(), m_boundaries.cend(), utf16Position);
    if (it == m_boundaries.cend() || *it != utf16Position)
        return std::nullopt;
    return it - m_boundaries.cbegin();
}

std::optional<CharacterRange> TextOffsets::characterRange(TextRange range) const
{
    const auto lower = characterOffset(range.start);
    const auto upper = characterOffset(range.end);
    if (!lower || !upper)
        return std::nullopt;
    return CharacterRange { *lower, *upper };
}

QStringList TextOffsets::characters() const
{
    QStringList result;
    result.reserve(characterCount());
    for (qsizetype i = 0; i + 1 < m_boundaries.size(); ++i)
        result.append(m_text.mid(m_boundaries[i], m_boundaries[i + 1] - m_boundaries[i]));
    return result;
}
