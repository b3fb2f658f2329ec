// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenDetails.h"

#include "tokens/TokenItem.h"

#include <QHashFunctions>

namespace {
QString text(const QJsonObject& dictionary, const char* key, const QString& fallback)
{
    const QJsonValue value = dictionary.value(QLatin1String(key));
    return value.isString() ? value.toString() : fallback;
}
} // namespace

TokenDetails::TokenDetails(const QJsonObject& dictionary, TokenCategory category)
    : m_tokenId(text(dictionary, "tokenId", QStringLiteral("UNDEFINED_TOKENID")))
    , m_type(text(dictionary, "type", QStringLiteral("UNDEFINED_TYPE")))
    , m_key(text(dictionary, "key", QStringLiteral("UNDEFINED")))
    , m_category(category)
    , m_tokenDescription(QLatin1Char('\n') + text(dictionary, "description", QStringLiteral("UNDEFINED")))
{
    const QJsonValue subKey = dictionary.value(QStringLiteral("subkey"));
    if (subKey.isString())
        m_subKey = subKey.toString();
}

TokenItem TokenDetails::tokenItem() const
{
    return TokenItem::attribute(m_tokenId);
}

bool TokenDetails::operator==(const TokenDetails& other) const
{
    return m_tokenId == other.m_tokenId && m_key == other.m_key && m_subKey == other.m_subKey;
}

size_t qHash(const TokenDetails& details, size_t seed)
{
    return qHashMulti(seed, details.tokenId(), details.key(), details.subKey().has_value(),
        details.subKey().value_or(QString()));
}
