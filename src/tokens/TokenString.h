// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenItem.h"

struct File;

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVariantList>

// The value of a rule text field: an ordered list of literal texts and tokens.
// Immutable: the operators build new token strings; copies share the items.
class TokenString {
public:
    TokenString() = default;
    explicit TokenString(QList<TokenItem> tokenItems)
        : m_items(std::move(tokenItems))
    {
    }
    explicit TokenString(const TokenItem& tokenItem)
        : m_items { tokenItem }
    {
    }
    static TokenString string(const QString& text) { return TokenString(TokenItem::string(text)); }
    static TokenString attribute(const QString& key) { return TokenString(TokenItem::attribute(key)); }
    // One item per property dictionary, in order.
    static TokenString fromProperties(const QVariantList& properties);

    // The bare array of items; the older {"properties": [...]} form is read too.
    // Throws DecodingError.
    static TokenString fromJson(const QJsonValue& value);
    QJsonValue toJson() const;

    const QList<TokenItem>& items() const { return m_items; }
    qsizetype count() const;
    bool isEmpty() const;
    bool hasAttributes() const;
    QVariantList properties() const;
    QString resolvedRegexPattern() const;
    QString description() const;
    QString debugDescription() const;

    // The text of this token string for one file (AttributeResolver); throws
    // TransformError.
    QString resolvedAttributes(File& file) const;
    // The preview's text: a token that needs data not loaded yet gives "" and
    // flags the file for a later update.
    QString resolvedAttributesQuick(File& file) const;

    TokenString operator+(const TokenString& other) const;
    TokenString operator+(const TokenItem& item) const;
    TokenString operator+(const QString& text) const;
    TokenString& operator+=(const TokenString& other) { return *this = *this + other; }
    TokenString& operator+=(const TokenItem& item) { return *this = *this + item; }
    TokenString& operator+=(const QString& text) { return *this = *this + text; }

    bool operator==(const TokenString& other) const { return m_items == other.m_items; }

private:
    QList<TokenItem> m_items;
};

size_t qHash(const TokenString& tokenString, size_t seed = 0);
