// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/RegularExpression.h"
#include "rules/Transformable.h"

// Replaces the first match, or every match, of a regular expression built
// from builder tokens by a template whose "$1", "$2" ... name its groups.
class RegularExpressionTransformer : public TransformableKind<RegularExpressionTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::regex;
    static inline const QString BUTTON_LABEL = QStringLiteral("RegEx");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Regular Expression");
    static inline const QString kPropertyFind = QStringLiteral("regexFindText");
    static inline const QString kPropertyReplace = QStringLiteral("regexReplaceText");
    static inline const QString kPropertyCaseInsensitive = QStringLiteral("regexCaseInsensitive");

    explicit RegularExpressionTransformer(const QString& transformerId = {}) { }

    QString helpText() const override;

    // Both search the decomposed text and answer it composed. They throw
    // TransformError for a pattern that does not compile or takes too long,
    // and for a template that names a group the pattern lacks.
    static QString replaceAll(const QString& find, const QString& replacementTemplate, const QString& text,
        bool caseInsensitive);
    // The first match alone, replaced as the expression matches within it;
    // without a match the text comes back as it was given.
    static QString replaceFirst(const QString& find, const QString& replacementTemplate, const QString& text,
        bool caseInsensitive);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;

private:
    static RegularExpression compiled(const QString& find, const QString& replacementTemplate, bool caseInsensitive);
};
