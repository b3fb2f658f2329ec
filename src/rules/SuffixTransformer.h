// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Puts a text after each match of its find (after the whole text without one).
class SuffixTransformer : public TransformableKind<SuffixTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::suffix;
    static inline const QString BUTTON_LABEL = QStringLiteral("Suffix");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Suffix");

    explicit SuffixTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;
    static QString insertSuffixText(const QString& insertion, const QString& text,
        const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
