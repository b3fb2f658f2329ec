// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenCategory.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

struct TokenItem;

// One entry of the token catalog. Shared by the catalog's lists and
// dictionaries; never changed after loading.
class TokenDetails {
public:
    TokenDetails(const QJsonObject& dictionary, TokenCategory category);

    QUuid id() const { return m_id; }
    QString tokenId() const { return m_tokenId; }
    QString type() const { return m_type; }
    QString key() const { return m_key; }
    std::optional<QString> subKey() const { return m_subKey; }
    TokenCategory category() const { return m_category; }
    // A line feed followed by the description.
    QString tokenDescription() const { return m_tokenDescription; }

    // The attribute token item the entry stands for, with default settings.
    TokenItem tokenItem() const;

    // Equal when token id, key and sub-key are equal.
    bool operator==(const TokenDetails& other) const;

private:
    QUuid m_id = QUuid::createUuid();
    QString m_tokenId;
    QString m_type;
    QString m_key;
    std::optional<QString> m_subKey;
    TokenCategory m_category;
    QString m_tokenDescription;
};

using TokenDetailsRef = std::shared_ptr<const TokenDetails>;

size_t qHash(const TokenDetails& details, size_t seed = 0);
