// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TextOffsets.h"

#include "core/IcuString.h"

#include <unicode/brkiter.h>

#include <algorithm>
#include <memory>

namespace {
// Building a break iterator costs far more than using one: one per thread.
icu::BreakIterator* characterBreaks()
{
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_FAILURE(status) ? nullptr : std::move(made);
    }();
    return iterator.get();
}

// Below U+0300 (where the combining marks begin) every code unit is a character of
// its own, except that CR LF is one.
enum class Shape { unitPerCharacter, belowMarksWithCrLf, other };

Shape shapeOf(const QString& text)
{
    const QChar* const data = text.constData();
    bool crLf = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (data[i].unicode() >= 0x300)
            return Shape::other;
        crLf = crLf || (i > 0 && data[i] == QLatin1Char('\n') && data[i - 1] == QLatin1Char('\r'));
    }
    return crLf ? Shape::belowMarksWithCrLf : Shape::unitPerCharacter;
}
} // namespace

TextOffsets::TextOffsets(const QString& text)
    : m_text(text)
{
    const Shape shape = shapeOf(text);
    if (shape == Shape::unitPerCharacter) {
        m_unitPerCharacter = true;
        return;
    }
    m_boundaries.reserve(text.size() + 1);
    m_boundaries.append(0);
    if (text.isEmpty())
        return;
    icu::BreakIterator* breaks = shape == Shape::belowMarksWithCrLf ? nullptr : characterBreaks();
    if (!breaks) {
        for (qsizetype i = 1; i <= text.size(); ++i) {
            if (i < text.size() && text.at(i - 1) == QLatin1Char('\r') && text.at(i) == QLatin1Char('\n'))
                continue;
            m_boundaries.append(i);
        }
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
    const qsizetype clamped = std::clamp<qsizetype>(characterOffset, 0, characterCount());
    return m_unitPerCharacter ? clamped : m_boundaries.at(clamped);
}

TextRange TextOffsets::utf16Range(CharacterRange range) const
{
    return { utf16Position(range.lower), utf16Position(range.upper) };
}

std::optional<qsizetype> TextOffsets::characterOffset(qsizetype utf16Position) const
{
    if (m_unitPerCharacter) {
        if (utf16Position < 0 || utf16Position > m_text.size())
            return std::nullopt;
        return utf16Position;
    }
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
    for (qsizetype i = 0; i < characterCount(); ++i)
        result.append(character(i).toString());
    return result;
}
