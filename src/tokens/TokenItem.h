// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/RegExpToken.h"
#include "tokens/TokenType.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUuid>
#include <QVariantMap>

#include <optional>

// One element of a rule text: literal text or a placeholder for a value of the
// file being renamed. Every item carries all fields; those that do not apply to
// its kind keep their defaults.
struct TokenItem {
    static inline const QString DEFAULT_DATEFORMAT = QStringLiteral("yyyy-MM-dd HH:mm");
    static constexpr int DEFAULT_GPSFORMAT = 0;
    static constexpr int DEFAULT_NUMBERDIGITS = 2;

    static inline const QString PROPERTY_TYPE = QStringLiteral("type");
    static inline const QString PROPERTY_VALUE = QStringLiteral("value");
    static inline const QString PROPERTY_DATEFORMAT = QStringLiteral("dateFormat");
    static inline const QString PROPERTY_TIMEZONE = QStringLiteral("timeZone");
    static inline const QString PROPERTY_GPSFORMAT = QStringLiteral("gpsFormat");
    static inline const QString PROPERTY_NUMBERDIGITS = QStringLiteral("numberDigits");
    static inline const QString PROPERTY_PREFIX = QStringLiteral("prefix");
    static inline const QString PROPERTY_SUFFIX = QStringLiteral("suffix");
    static inline const QString PROPERTY_REGEX_CONTAINING = QStringLiteral("containing");
    static inline const QString PROPERTY_REGEX_ALPHABETIC = QStringLiteral("alphabetic");
    static inline const QString PROPERTY_REGEX_NUMERIC = QStringLiteral("numeric");
    static inline const QString PROPERTY_REGEX_PUNCTUATION = QStringLiteral("punctuation");
    static inline const QString PROPERTY_REGEX_WHITESPACE = QStringLiteral("whitespace");
    static inline const QString PROPERTY_REGEX_DIACRITICS = QStringLiteral("diacritics");
    static inline const QString PROPERTY_REGEX_CUSTOM = QStringLiteral("custom");
    static inline const QString PROPERTY_REGEX_PHRASE1 = QStringLiteral("phrase1");
    static inline const QString PROPERTY_REGEX_PHRASE2 = QStringLiteral("phrase2");
    static inline const QString PROPERTY_REGEX_PHRASE3 = QStringLiteral("phrase3");
    static inline const QString PROPERTY_REGEX_PHRASES_DIACRITICS_INSENSITIVE = QStringLiteral("phrases-diacritics-insensitive");
    static inline const QString PROPERTY_REGEX_COUNT_MIN = QStringLiteral("count-min");
    static inline const QString PROPERTY_REGEX_COUNT_MAX = QStringLiteral("count-max");
    static inline const QString PROPERTY_REGEX_ANCHOR = QStringLiteral("anchor");

    QUuid id = QUuid::createUuid();
    TokenType type = TokenType::STRING;
    QString value;
    QString dateFormat = DEFAULT_DATEFORMAT;
    // A time zone identifier of the time zone database.
    QString timeZone = currentTimeZone();
    int gpsFormat = DEFAULT_GPSFORMAT;
    int numberDigits = DEFAULT_NUMBERDIGITS;
    RegExpToken regexp = RegExpToken::initial();
    QString prefix;
    QString suffix;

    TokenItem() = default;
    TokenItem(std::optional<TokenType> type, std::optional<QString> value,
        std::optional<QString> dateFormat = std::nullopt);
    static TokenItem string(const QString& value) { return TokenItem(TokenType::STRING, value); }
    static TokenItem attribute(const QString& value) { return TokenItem(TokenType::ATTRIBUTE, value); }
    static QString currentTimeZone();

    // The property dictionary (pasteboard form); every value a text.
    QVariantMap properties() const;
    static TokenItem fromProperties(const QVariantMap& properties);

    // The JSON form inside recipes. `fromJson` logs and throws DecodingError.
    QJsonObject toJson() const;
    static TokenItem fromJson(const QJsonObject& object);
    QByteArray jsonData() const;
    // Logs and gives none when the data is not a token item.
    static std::optional<TokenItem> fromJsonData(const QByteArray& data);

    QString displayValue() const;
    QString description() const;
    QString debugDescription() const;
    // Editor positions: the characters of a literal text, 1 for every token.
    qsizetype count() const;
    bool isEmpty() const { return type == TokenType::STRING && value.isEmpty(); }

    bool isString() const { return type == TokenType::STRING; }
    bool isAttribute() const { return type == TokenType::ATTRIBUTE; }
    bool isRegularExpression() const { return type == TokenType::REGEX; }
    bool isDateAttribute() const;
    bool isGPSAttribute() const;
    bool isNumberAttribute() const;
    bool isDecimalAttribute() const;
    bool isParentDirectoryIndex() const;
    bool isOriginalFilenameAttribute() const;
    bool isDateNow() const;
    bool isGPSAddress() const;
    int parentDirectoryIndex() const;

    // Equal when every field but `id` is equal.
    bool operator==(const TokenItem& other) const;

private:
    // The catalog type of an attribute item's key; empty when it has none.
    QString catalogType() const;
};

size_t qHash(const TokenItem& item, size_t seed = 0);
