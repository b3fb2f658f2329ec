// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/ConversionType.h"
#include "rules/TransformerType.h"
#include "tokens/TokenString.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How each field of the rule settings is kept, read and written. The stored
// form is sparse (only meaningful values) and read leniently in a few places.
namespace PropertyField {

// A plain text; written when not empty.
struct Text {
    using Type = std::optional<QString>;
    static Type initial() { return std::nullopt; }
};
// A token text; a malformed stored value fails the decode.
struct Token {
    using Type = std::optional<TokenString>;
    static Type initial() { return std::nullopt; }
};
// A token text that may also be stored as a plain text.
struct LenientToken {
    using Type = std::optional<TokenString>;
    static Type initial() { return std::nullopt; }
};
// A flag, false until set; written when true.
struct Flag {
    using Type = std::optional<bool>;
    static Type initial() { return false; }
};
// A find option: as Flag, but written only together with its find text.
struct FindFlag {
    using Type = std::optional<bool>;
    static Type initial() { return false; }
};
// A flag that stays unset until stored; written when true.
struct OptionalFlag {
    using Type = std::optional<bool>;
    static Type initial() { return std::nullopt; }
};
// Unset when fresh, false once decoded; written when true.
struct DecodedFlag {
    using Type = std::optional<bool>;
    static Type initial() { return std::nullopt; }
};
// Lookup options: written only for the lookup conversion.
struct LookupFlag {
    using Type = std::optional<bool>;
    static Type initial() { return false; }
};
struct LookupOptionalFlag {
    using Type = std::optional<bool>;
    static Type initial() { return std::nullopt; }
};
// An integer; written whenever set.
struct Int {
    using Type = std::optional<qint64>;
    static Type initial() { return std::nullopt; }
};
// An integer that may also be stored as decimal text.
struct LenientInt {
    using Type = std::optional<qint64>;
    static Type initial() { return std::nullopt; }
};
// Always written, as null when unset.
struct Conversion {
    using Type = std::optional<ConversionType>;
    static Type initial() { return std::nullopt; }
};
// Rows of texts; written only for the lookup conversion.
struct LookupTable {
    using Type = std::optional<QList<QStringList>>;
    static Type initial() { return std::nullopt; }
};

} // namespace PropertyField

// The fields of every rule kind in declaration order: kind, storage, name.
#define BF_TRANSFORMER_PROPERTIES(X) \
    X(simple, Text, simpleFindText) \
    X(simple, LenientToken, simpleReplaceText) \
    X(simple, Flag, simpleCaseInsensitive) \
    X(simple, Flag, simpleWildcards) \
    X(simple, Flag, simpleFindFirst) \
    X(regex, LenientToken, regexFindText) \
    X(regex, LenientToken, regexReplaceText) \
    X(regex, Flag, regexCaseInsensitive) \
    X(regex, Flag, regexFindFirst) \
    X(insert, Text, insertFindText) \
    X(insert, FindFlag, insertFindWildcards) \
    X(insert, FindFlag, insertFindRegex) \
    X(insert, FindFlag, insertFindCaseInsensitive) \
    X(insert, FindFlag, insertFindFirst) \
    X(insert, Token, insertText) \
    X(insert, Text, insertPosition) \
    X(insert, Int, insertOffset) \
    X(numbering, Text, numberFindText) \
    X(numbering, FindFlag, numberFindWildcards) \
    X(numbering, FindFlag, numberFindRegex) \
    X(numbering, FindFlag, numberFindCaseInsensitive) \
    X(numbering, FindFlag, numberFindFirst) \
    X(numbering, Text, numberPosition) \
    X(numbering, Int, numberPositionOffset) \
    X(numbering, Text, numberSeparatorText) \
    X(numbering, Text, numberFormat) \
    X(numbering, Int, numberDigits) \
    X(numbering, Int, numberStart) \
    X(numbering, Int, numberSkip) \
    X(numbering, Int, numberRepeatCount) \
    X(numbering, Int, numberResetCount) \
    X(numbering, OptionalFlag, numberResetEveryDirectoryChange) \
    X(numbering, OptionalFlag, numberRandom) \
    X(numbering, OptionalFlag, numberUpdateStart) \
    X(conversion, Text, conversionFindText) \
    X(conversion, FindFlag, conversionFindWildcards) \
    X(conversion, FindFlag, conversionFindRegex) \
    X(conversion, FindFlag, conversionFindCaseInsensitive) \
    X(conversion, FindFlag, conversionFindFirst) \
    X(conversion, Conversion, conversionType) \
    X(conversion, LookupTable, conversionLookup) \
    X(conversion, LookupOptionalFlag, conversionLookupCaseInsensitive) \
    X(conversion, LookupFlag, conversionLookupAnchorStart) \
    X(conversion, LookupFlag, conversionLookupAnchorEnd) \
    X(trim, Text, trimFindText) \
    X(trim, FindFlag, trimFindWildcards) \
    X(trim, FindFlag, trimFindRegex) \
    X(trim, FindFlag, trimFindCaseInsensitive) \
    X(trim, FindFlag, trimFindFirst) \
    X(trim, Text, trimPosition) \
    X(trim, Int, trimOffset) \
    X(trim, LenientInt, trimCount) \
    X(trim, Text, trimMatch) \
    X(trim, Text, trimCharacters) \
    X(trim, DecodedFlag, trimLeadingTrailingSpaces) \
    X(select, Text, selectType) \
    X(select, Text, selectMatch) \
    X(prefix, Text, prefixFindText) \
    X(prefix, FindFlag, prefixFindWildcards) \
    X(prefix, FindFlag, prefixFindRegex) \
    X(prefix, FindFlag, prefixFindCaseInsensitive) \
    X(prefix, FindFlag, prefixFindFirst) \
    X(prefix, Token, prefixText) \
    X(suffix, Text, suffixFindText) \
    X(suffix, FindFlag, suffixFindWildcards) \
    X(suffix, FindFlag, suffixFindRegex) \
    X(suffix, FindFlag, suffixFindCaseInsensitive) \
    X(suffix, FindFlag, suffixFindFirst) \
    X(suffix, Token, suffixText) \
    X(set, Text, setFindText) \
    X(set, FindFlag, setFindWildcards) \
    X(set, FindFlag, setFindRegex) \
    X(set, FindFlag, setFindCaseInsensitive) \
    X(set, Token, setText)

// The settings of a rule: the fields of all kinds side by side; each kind reads
// only its own group. Every field is optional.
struct TransformerProperties {
#define BF_DECLARE_FIELD(kind, storage, name) PropertyField::storage::Type name = PropertyField::storage::initial();
    BF_TRANSFORMER_PROPERTIES(BF_DECLARE_FIELD)
#undef BF_DECLARE_FIELD

    // The most rows a lookup table holds: every row is tried on every file, so
    // the preview's time grows with the table times the list. A stored table
    // beyond it is refused whole.
    static constexpr qsizetype MAX_LOOKUP_ROWS = 100000;

    // The keys of older recipe formats: read, never written.
    static const QStringList& legacyKeys();
    // Every key the stored form knows: the fields in order, then the legacy keys.
    static const QStringList& codingKeys();

    // Throws DecodingError when a value has a type its field does not accept;
    // missing and unknown keys never fail.
    static TransformerProperties fromJson(const QJsonObject& object);
    QJsonObject toJson() const;

    // Bring the settings stored under older keys into the current fields.
    void applyLegacyConversion_8_0(const QJsonObject& object);
    void applyLegacyConversion_9_0(const QJsonObject& object);

    // The fields of one kind; every other field at its default.
    TransformerProperties copy(TransformerType type) const;

    bool operator==(const TransformerProperties&) const = default;
};

size_t qHash(const TransformerProperties& properties, size_t seed = 0);
