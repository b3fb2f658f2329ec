// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Replaces the whole text of the scope when the file's path on disk matches.
class SetTransformer : public TransformableKind<SetTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::set;
    static inline const QString BUTTON_LABEL = QStringLiteral("Set");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Set");

    explicit SetTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
