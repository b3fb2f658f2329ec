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
bool isSimpleText(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x300)
            return false;
    }
    return true;
}
} // namespace

TextOffsets::TextOffsets(const QString& text)
    : m_text(text)
{
    m_boundaries.reserve(text.size() + 1);
    m_boundaries.append(0);
    if (text.isEmpty())
        return;
    icu::BreakIterator* breaks = isSimpleText(text) ? nullptr : characterBreaks();
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
