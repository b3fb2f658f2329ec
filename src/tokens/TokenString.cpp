// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenString.h"

#include "files/File.h"
#include "tokens/AttributeResolver.h"
#include "tokens/DecodingError.h"
#include "tokens/TransformError.h"
#include "tokens/RegExpResolver.h"

#include <QHashFunctions>
#include <QJsonArray>
#include <QJsonObject>

namespace {
QList<TokenItem> itemsFromArray(const QJsonValue& value)
{
    if (!value.isArray())
        throw DecodingError(QStringLiteral("Expected an array of token items"));
    QList<TokenItem> items;
    for (const QJsonValue& element : value.toArray()) {
        if (!element.isObject())
            throw DecodingError(QStringLiteral("Expected a token item object"));
        items << TokenItem::fromJson(element.toObject());
    }
    return items;
}
} // namespace

TokenString TokenString::fromProperties(const QVariantList& properties)
{
    QList<TokenItem> items;
    for (const QVariant& dictionary : properties)
        items << TokenItem::fromProperties(dictionary.toMap());
    return TokenString(items);
}

TokenString TokenString::fromJson(const QJsonValue& value)
{
    // The older form wraps the array in an object. An array's own error is kept: it names the item at fault.
    if (value.isArray())
        return TokenString(itemsFromArray(value));
    if (!value.isObject())
        throw DecodingError(QStringLiteral("Expected an object with key \"properties\""));
    return TokenString(itemsFromArray(value.toObject().value(QStringLiteral("properties"))));
}

QJsonValue TokenString::toJson() const
{
    QJsonArray array;
    for (const TokenItem& item : m_items)
        array.append(item.toJson());
    return array;
}

qsizetype TokenString::count() const
{
    qsizetype total = 0;
    for (const TokenItem& item : m_items)
        total += item.count();
    return total;
}

bool TokenString::isEmpty() const
{
    return std::all_of(m_items.cbegin(), m_items.cend(), [](const TokenItem& item) { return item.isEmpty(); });
}

bool TokenString::hasAttributes() const
{
    return std::any_of(m_items.cbegin(), m_items.cend(), [](const TokenItem& item) { return item.isAttribute(); });
}

QVariantList TokenString::properties() const
{
    QVariantList list;
    for (const TokenItem& item : m_items)
        list << item.properties();
    return list;
}

QString TokenString::resolvedRegexPattern() const
{
    return RegExpResolver::resolveRegExp(*this).pattern;
}

QString TokenString::description() const
{
    QString text;
    for (const TokenItem& item : m_items)
        text += item.description();
    return text;
}

QString TokenString::debugDescription() const
{
    QString text = QStringLiteral("TokenString (%1): ").arg(m_items.size());
    for (const TokenItem& item : m_items)
        text += item.debugDescription() + QStringLiteral(", ");
    return text;
}

QString TokenString::resolvedAttributes(File& file) const
{
    return AttributeResolver::resolvedAttributes(*this, file);
}

QString TokenString::resolvedAttributesQuick(File& file) const
{
    try {
        return AttributeResolver::resolvedAttributesQuick(*this, file);
    } catch (const TransformError& error) {
        if (error.kind() != TransformError::Kind::lateUpdateRequired)
            throw;
        file.transformed.lateUpdateRequired = true;
        return {};
    }
}

TokenString TokenString::operator+(const TokenString& other) const
{
    return TokenString(m_items + other.m_items);
}

TokenString TokenString::operator+(const TokenItem& item) const
{
    QList<TokenItem> items = m_items;
    items << item;
    return TokenString(items);
}

TokenString TokenString::operator+(const QString& text) const
{
    return *this + TokenItem::string(text);
}

size_t qHash(const TokenString& tokenString, size_t seed)
{
    return qHashRange(tokenString.items().cbegin(), tokenString.items().cend(), seed);
}
