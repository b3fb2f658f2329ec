// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// A half-open range of characters (grapheme clusters): lower ..< upper.
struct CharacterRange {
    qsizetype lower = 0;
    qsizetype upper = 0;
    qsizetype length() const { return upper - lower; }
    friend bool operator==(const CharacterRange&, const CharacterRange&) = default;
};

// A half-open range of UTF-16 positions of one particular text.
struct TextRange {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype length() const { return end - start; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The one conversion between character offsets (what users and rules count)
// and the UTF-16 positions that ICU and QString work in. Built once per text.
class TextOffsets {
public:
    explicit TextOffsets(const QString& text);

    qsizetype characterCount() const { return m_unitPerCharacter ? m_text.size() : m_boundaries.size() - 1; }

    // The UTF-16 position of a character offset, clamped to 0 ... characterCount().
    qsizetype utf16Position(qsizetype characterOffset) const;
    TextRange utf16Range(CharacterRange range) const;

    // The character offset of a UTF-16 position; none inside a character.
    std::optional<qsizetype> characterOffset(qsizetype utf16Position) const;
    std::optional<CharacterRange> characterRange(TextRange range) const;

    // The characters of the text, each as its own text.
    QStringList characters() const;
    // One character, as a view into the text this object keeps.
    QStringView character(qsizetype characterOffset) const
    {
        const TextRange range = utf16Range({ characterOffset, characterOffset + 1 });
        return QStringView(m_text).sliced(range.start, range.length());
    }

private:
    QString m_text;
    // Most texts have one code unit a character: their offsets need no table.
    bool m_unitPerCharacter = false;
    QList<qsizetype> m_boundaries; // otherwise: UTF-16 positions, first 0, last the length
};
