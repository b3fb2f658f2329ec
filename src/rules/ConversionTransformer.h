// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/ConversionType.h"
#include "rules/Transformable.h"

// Converts each match of its find (the whole text without one): letter case,
// title case, diacritics, a name other systems accept, or the replacements of
// a lookup table.
class ConversionTransformer : public TransformableKind<ConversionTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::conversion;
    static inline const QString BUTTON_LABEL = QStringLiteral("Convert");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Conversion");

    explicit ConversionTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;

    // The converted text. Throws TransformError for a find text that is no
    // valid pattern.
    static QString convertText(const QString& text, const TransformerProperties& properties);
    // One matched text converted.
    static QString convert(const QString& text, ConversionType type, const TransformerProperties& properties);

    static QString capitalizedFirstWord(const QString& text);
    static QString windowsCompatible(const QString& text);
    static QString lookedUp(const QString& text, const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
