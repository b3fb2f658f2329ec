// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringConverter>

#include <optional>

// Strict reads of optional JSON members: a missing member and null are absent;
// a member of another type throws DecodingError.
namespace JsonRead {

bool isAbsent(const QJsonObject& object, const QString& key);
std::optional<bool> optionalBool(const QJsonObject& object, const QString& key);
std::optional<QString> optionalString(const QJsonObject& object, const QString& key);
// A JSON number that is a whole number within 64 bits.
std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key);
std::optional<QJsonObject> optionalObject(const QJsonObject& object, const QString& key);
std::optional<QJsonArray> optionalArray(const QJsonObject& object, const QString& key);

// A whole number from a JSON value; none when it is not one.
std::optional<qint64> integer(const QJsonValue& value);
// A decimal integer text: an optional sign and digits, within 64 bits.
std::optional<qint64> decimalInteger(const QString& text);

// JSON text as the UTF-8 the reader takes; the encoding only decides which
// texts are accepted. Throws DecodingError ("JSONDecoding" 0) for text it cannot carry.
QByteArray utf8ForDecoding(const QString& json, QStringConverter::Encoding encoding);

} // namespace JsonRead
