// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// How many times a builder token matches. A max of 0 with a min above 0 means
// "no upper limit".
struct RegExpTokenQuantifier {
    std::optional<qint64> min;
    std::optional<qint64> max;

    static RegExpTokenQuantifier zeroOrOne() { return { 0, 1 }; }
    static RegExpTokenQuantifier zeroOrMore() { return {}; }
    static RegExpTokenQuantifier oneOrMore() { return { 1, std::nullopt }; }
    static RegExpTokenQuantifier exactly(qint64 n) { return { n, n }; }
    static RegExpTokenQuantifier between(qint64 min, qint64 max) { return { min, max }; }

    bool isZeroOrOne() const { return min == 0 && max == 1; }
    bool isZeroOrMore() const { return !min && !max; }
    bool isOneOrMore() const { return min == 1 && !max; }
    bool isExactly() const { return min && max && *min == *max; }
    bool isBetween() const { return min && max && *min != *max; }

    QString pattern() const;
    QString description() const;

    QJsonObject toJson() const;
    // Throws DecodingError when "min" or "max" is not an integer.
    static RegExpTokenQuantifier fromJson(const QJsonObject& object);

    bool operator==(const RegExpTokenQuantifier&) const = default;
};

size_t qHash(const RegExpTokenQuantifier& quantifier, size_t seed = 0);
