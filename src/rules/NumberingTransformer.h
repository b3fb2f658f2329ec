// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Transformable.h"

#include <optional>

// Inserts a number (decimal, hexadecimal, alphabetical or roman) at the start
// or end of each match. Sequential numbers run across the files of one run on
// this rule's counter; random numbers come from the rule's generator.
class NumberingTransformer : public TransformableKind<NumberingTransformer> {
public:
    static constexpr TransformerType TYPE = TransformerType::numbering;
    static inline const QString BUTTON_LABEL = QStringLiteral("Number");
    static inline const QString SELECTOR_LABEL = QStringLiteral("Numbering");

    static inline const QString kNumberPositionStart = QStringLiteral("start");
    static inline const QString kNumberPositionEnd = QStringLiteral("end");
    static inline const QString kNumberFormatDecimal = QStringLiteral("decimal");
    static inline const QString kNumberFormatHexadecimal = QStringLiteral("hexadecimal");
    static inline const QString kNumberFormatAlphabetical = QStringLiteral("alphabetical");
    static inline const QString kNumberFormatRoman = QStringLiteral("roman");
    static inline const QString kCurrentNumber = QStringLiteral("currentNumber");

    explicit NumberingTransformer(const QString& transformerId = {})
        : m_transformerId(transformerId)
    {
    }

    QString helpText() const override;

    // start + skip × c, where c is `count` divided by the repeat count (when
    // above 1) and then taken modulo the reset count (when 1 or more). None
    // when the number does not fit in 64 bits.
    static std::optional<qint64> sequentialNumber(const TransformerProperties& properties, qint64 count);
    // The number the next file of this rule gets.
    std::optional<qint64> nextSequentialNumber(const TransformerProperties& properties,
        const FileIndex& fileIndex) const;
    static QString formatNumber(qint64 number, const TransformerProperties& properties);

protected:
    void run(TransformMode mode, TransformScope transformScope, const TransformerProperties& properties, File& file,
        FileIndex& fileIndex, TransformerState& state) override;

private:
    QString m_transformerId;
};
