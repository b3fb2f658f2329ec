// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

// Removes characters at the start, the end or both ends of the scope's text
// (or of each match of its find, or of each piece between "/" and "."), or
// keeps only those.
class TrimTransformer : public TransformableKind<TrimTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::trim;
    static inline const QString BUTTON_LABEL = QStringLiteral("Trim");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Trim");

    // Positions (`trimPosition`).
    static inline const QString kTrimStart = QStringLiteral("start");
    static inline const QString kTrimEnd = QStringLiteral("end");
    static inline const QString kTrimAround = QStringLiteral("around");
    static inline const QString kTrimStartEach = QStringLiteral("starteach");
    static inline const QString kTrimEndEach = QStringLiteral("endeach");
    static inline const QString kTrimAroundEach = QStringLiteral("aroundeach");
    // What happens to the segment (`trimMatch`).
    static inline const QString kTrimAny = QStringLiteral("trimany");
    static inline const QString kTrimAnyOf = QStringLiteral("trimanyof");
    static inline const QString kTrimAnyExcept = QStringLiteral("trimanyexcept");
    static inline const QString kKeepAny = QStringLiteral("keepany");
    static inline const QString kKeepAnyOf = QStringLiteral("keepanyof");
    static inline const QString kKeepAnyExcept = QStringLiteral("keepanyexcept");

    explicit TrimTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;

    // The trimmed text. Throws TransformError for a find text that is no
    // valid pattern; a find without a match leaves the text as it is.
    static QString trimText(const QString& text, const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;
};
