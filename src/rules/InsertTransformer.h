// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Inserts a text before or after each match of its find, moved by an offset.
class InsertTransformer : public TransformableKind<InsertTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::insert;
    static inline const QString BUTTON_LABEL = QStringLiteral("Insert");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Insert");
    static inline const QString kLocationStart = QStringLiteral("start");
    static inline const QString kLocationEnd = QStringLiteral("end");

    explicit InsertTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;
    static QString insertText(const QString& insertion, const QString& text, const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
