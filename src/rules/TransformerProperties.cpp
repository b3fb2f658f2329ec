// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/TransformerProperties.h"

#include <QHashFunctions>

namespace {

template <typename T>
size_t hashField(size_t seed, const std::optional<T>& value)
{
    seed = qHashMulti(seed, value.has_value());
    if (value)
        seed = qHashMulti(seed, *value);
    return seed;
}

size_t hashField(size_t seed, const std::optional<ConversionType>& value)
{
    seed = qHashMulti(seed, value.has_value());
    if (value)
        seed = qHashMulti(seed, static_cast<int>(*value));
    return seed;
}

size_t hashField(size_t seed, const std::optional<QList<QStringList>>& table)
{
    seed = qHashMulti(seed, table.has_value());
    if (!table)
        return seed;
    seed = qHashMulti(seed, table->size());
    for (const QStringList& row : *table) {
        seed = qHashMulti(seed, row.size());
        for (const QString& text : row)
            seed = qHashMulti(seed, text);
    }
    return seed;
}

} // namespace

const QStringList& TransformerProperties::legacyKeys()
{
    static const QStringList keys { QStringLiteral("caseScope"), QStringLiteral("caseType"),
        QStringLiteral("caseMatch"), QStringLiteral("numberLocation"), QStringLiteral("numberLocationOffset"),
        QStringLiteral("insertMatch"), QStringLiteral("insertLocation"), QStringLiteral("conversionMatch"),
        QStringLiteral("trimLocation"), QStringLiteral("numberDigitText"), QStringLiteral("numberStartText"),
        QStringLiteral("numberSkipText"), QStringLiteral("numberResetEvery"), QStringLiteral("numberResetEveryText") };
    return keys;
}

const QStringList& TransformerProperties::codingKeys()
{
    static const QStringList keys = [] {
        QStringList all {
#define BF_FIELD_KEY(kind, storage, name) QStringLiteral(#name),
            BF_TRANSFORMER_PROPERTIES(BF_FIELD_KEY)
#undef BF_FIELD_KEY
        };
        return all + legacyKeys();
    }();
    return keys;
}

TransformerProperties TransformerProperties::copy(TransformerType type) const
{
    TransformerProperties result;
#define BF_COPY_FIELD(kind, storage, name) \
    if (type == TransformerType::kind)     \
        result.name = name;
    BF_TRANSFORMER_PROPERTIES(BF_COPY_FIELD)
#undef BF_COPY_FIELD
    return result;
}

size_t qHash(const TransformerProperties& properties, size_t seed)
{
#define BF_HASH_FIELD(kind, storage, name) seed = hashField(seed, properties.name);
    BF_TRANSFORMER_PROPERTIES(BF_HASH_FIELD)
#undef BF_HASH_FIELD
    return seed;
}
