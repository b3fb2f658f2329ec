// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Finds a text in the scope and replaces it; "*" and "#" may act as wildcards
// whose captures the replace text names as "$1", "$2", ...
class SimpleTransformer : public TransformableKind<SimpleTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::simple;
    static inline const QString BUTTON_LABEL = QStringLiteral("Replace");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Replace");

    explicit SimpleTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;

    // The find and replace of one text with the resolved replace text, a
    // template in pattern mode. Throws TransformError for a replace text that
    // names a capture group the find text lacks.
    static QString replaceText(const QString& replace, const QString& text, const TransformerProperties& properties);
    // Wildcards in the find text, or find first: the replace text is a template.
    static bool usesPattern(const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
