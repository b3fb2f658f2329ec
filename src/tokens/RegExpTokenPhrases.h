// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QStringList>

#include <initializer_list>
#include <optional>

// Whole phrases a builder token matches, as alternatives.
struct RegExpTokenPhrases {
    QStringList phrases;
    bool diacriticInsensitive = false;

    RegExpTokenPhrases() = default;
    // Looks at the first three texts only and keeps those present and not empty.
    RegExpTokenPhrases(bool diacriticInsensitive, std::initializer_list<std::optional<QString>> texts);

    std::optional<QString> operator[](qsizetype position) const;
    QString description() const { return phrases.join(QLatin1Char('|')); }

    QJsonObject toJson() const;
    // Both members are required.
    static RegExpTokenPhrases fromJson(const QJsonObject& object);

    bool operator==(const RegExpTokenPhrases&) const = default;
};

size_t qHash(const RegExpTokenPhrases& phrases, size_t seed = 0);
