// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/JsonRead.h"

#include "tokens/DecodingError.h"

#include <QStringEncoder>

namespace JsonRead {

namespace {
QJsonValue member(const QJsonObject& object, const QString& key)
{
    return object.value(key);
}

[[noreturn]] void mismatch(const QString& key, const char* expected)
{
    throw DecodingError(QStringLiteral("Expected %1 for key \"%2\"").arg(QLatin1String(expected), key));
}
} // namespace

bool isAbsent(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = member(object, key);
    return value.isUndefined() || value.isNull();
}

std::optional<bool> optionalBool(const QJsonObject& object, const QString& key)
{
    if (isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = member(object, key);
    if (!value.isBool())
        mismatch(key, "a Boolean");
    return value.toBool();
}

std::optional<QString> optionalString(const QJsonObject& object, const QString& key)
{
    if (isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = member(object, key);
    if (!value.isString())
        mismatch(key, "a string");
    return value.toString();
}

std::optional<qint64> integer(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    // Read without passing through a double, which cannot hold every 64-bit
    // integer; only a value that is no whole 64-bit number answers each default.
    const qint64 number = value.toInteger(0);
    if (number != value.toInteger(1))
        return std::nullopt;
    return number;
}

std::optional<qint64> optionalInteger(const QJsonObject& object, const QString& key)
{
    if (isAbsent(object, key))
        return std::nullopt;
    const auto number = integer(member(object, key));
    if (!number)
        mismatch(key, "an integer");
    return number;
}

std::optional<QJsonObject> optionalObject(const QJsonObject& object, const QString& key)
{
    if (isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = member(object, key);
    if (!value.isObject())
        mismatch(key, "an object");
    return value.toObject();
}

std::optional<QJsonArray> optionalArray(const QJsonObject& object, const QString& key)
{
    if (isAbsent(object, key))
        return std::nullopt;
    const QJsonValue value = member(object, key);
    if (!value.isArray())
        mismatch(key, "an array");
    return value.toArray();
}

std::optional<qint64> decimalInteger(const QString& text)
{
    qsizetype i = 0;
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')))
        i = 1;
    if (i >= text.size())
        return std::nullopt;
    for (qsizetype j = i; j < text.size(); ++j) {
        if (text[j] < QLatin1Char('0') || text[j] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QByteArray utf8ForDecoding(const QString& json, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    const QByteArray encoded = encoder.encode(json);
    if (encoder.hasError())
        throw DecodingError(QStringLiteral("The operation couldn’t be completed. (JSONDecoding error 0.)"));
    return encoding == QStringConverter::Utf8 ? encoded : json.toUtf8();
}

} // namespace JsonRead
