// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/RegExpAnchor.h"
#include "tokens/RegExpTokenPhrases.h"
#include "tokens/RegExpTokenQuantifier.h"

#include <QFlags>
#include <QJsonObject>
#include <QString>

#include <optional>

// The six character groups of a builder token.
enum class RegExpTokenOption {
    containing = 1,
    alphabetic = 2,
    numeric = 4,
    punctuation = 8,
    whitespace = 16,
    diacritics = 32,
};
Q_DECLARE_FLAGS(RegExpTokenOptions, RegExpTokenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(RegExpTokenOptions)

// The settings of a regular-expression builder token. Every field may be
// absent; an absent value equals only an absent value.
struct RegExpToken {
    std::optional<bool> containing;
    std::optional<bool> alphabetic;
    std::optional<bool> numeric;
    std::optional<bool> punctuation;
    std::optional<bool> whitespace;
    std::optional<bool> diacritics;
    std::optional<QString> custom;
    std::optional<RegExpTokenPhrases> phrases;
    std::optional<RegExpTokenQuantifier> count;
    std::optional<RegExpAnchor> anchor;

    // The settings of a new builder token.
    static RegExpToken initial();

    // Writes only the fields that are present.
    QJsonObject toJson() const;
    // Throws DecodingError; "count" also reads the older integer form.
    static RegExpToken fromJson(const QJsonObject& object);

    bool operator==(const RegExpToken&) const = default;
};

size_t qHash(const RegExpToken& token, size_t seed = 0);
QString debugText(const RegExpToken& token);
