// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Puts a text before each match of its find (before the whole text without one).
class PrefixTransformer : public TransformableKind<PrefixTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::prefix;
    static inline const QString BUTTON_LABEL = QStringLiteral("Prefix");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Prefix");

    explicit PrefixTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;
    static QString insertPrefixText(const QString& insertion, const QString& text,
        const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
