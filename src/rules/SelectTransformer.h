// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Decides which files the rules after it work on: all of them, or those whose
// scope text does (or does not) match a regular expression.
class SelectTransformer : public TransformableKind<SelectTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::select;
    static inline const QString BUTTON_LABEL = QStringLiteral("Select");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Select");
    static inline const QString kTypeSelectAll = QStringLiteral("all");
    static inline const QString kTypeSelectMatching = QStringLiteral("matching");
    static inline const QString kTypeSelectNotMatching = QStringLiteral("notmatching");
    static inline const QString kPropertyType = QStringLiteral("selectType");
    static inline const QString kPropertyMatch = QStringLiteral("selectMatch");

    explicit SelectTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;
    static void select(TransformScope transformScope, const TransformerProperties& properties, File& file);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
