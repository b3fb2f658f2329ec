// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Dictionary+caseInsensitive.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVariant>

#include <optional>
#include <variant>

// The value of one attribute of a file: a text, a number or a date.
class AttributeValue {
public:
    enum class Case { string, number, date };

    static AttributeValue string(QString text) { return AttributeValue(Payload(std::in_place_index<0>, std::move(text))); }
    // `number` holds a qint64, a quint64 or a double.
    static AttributeValue number(QVariant number) { return AttributeValue(Payload(std::in_place_index<1>, std::move(number))); }
    static AttributeValue date(QDateTime date) { return AttributeValue(Payload(std::in_place_index<2>, std::move(date))); }

    AttributeValue() = default;

    Case kind() const { return static_cast<Case>(m_payload.index()); }
    std::optional<QString> stringValue() const;
    std::optional<QVariant> numberValue() const;
    std::optional<QDateTime> dateValue() const;

    bool operator==(const AttributeValue&) const = default;

private:
    using Payload = std::variant<QString, QVariant, QDateTime>;
    explicit AttributeValue(Payload payload)
        : m_payload(std::move(payload))
    {
    }
    Payload m_payload;
};

inline std::optional<QString> AttributeValue::stringValue() const
{
    if (const auto* text = std::get_if<0>(&m_payload))
        return *text;
    return std::nullopt;
}

inline std::optional<QVariant> AttributeValue::numberValue() const
{
    if (const auto* number = std::get_if<1>(&m_payload))
        return *number;
    return std::nullopt;
}

inline std::optional<QDateTime> AttributeValue::dateValue() const
{
    if (const auto* date = std::get_if<2>(&m_payload))
        return *date;
    return std::nullopt;
}

// One attribute of a file, stored under its id.
struct FileAttribute {
    QString id;
    QString label;
    AttributeValue attributeValue;

    bool operator==(const FileAttribute&) const = default;
};

// The attributes of one file by attribute id.
using FileAttributeDictionary = QMap<QString, FileAttribute>;

// The value under the first key, in iteration order, that equals `key` when case
// is ignored; none when no key matches.
inline std::optional<FileAttribute> caseInsensitiveValue(const FileAttributeDictionary& dictionary, const QString& key)
{
    return Dictionary::value(dictionary, key);
}

// The loaded attributes of one file. A file whose attributes were not loaded yet
// carries none of these at all; an empty dictionary means "loaded, nothing found".
struct FileAttributes {
    FileAttributeDictionary attributes;

    std::optional<FileAttribute> operator[](const QString& id) const { return caseInsensitiveValue(attributes, id); }
    bool operator==(const FileAttributes&) const = default;
};
