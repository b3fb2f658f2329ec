// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpTokenPhrases.h"

#include "tokens/DecodingError.h"

#include <QHashFunctions>
#include <QJsonArray>

RegExpTokenPhrases::RegExpTokenPhrases(bool diacriticInsensitive, std::initializer_list<std::optional<QString>> texts)
    : diacriticInsensitive(diacriticInsensitive)
{
    int seen = 0;
    for (const auto& text : texts) {
        if (seen++ == 3)
            break;
        if (text && !text->isEmpty())
            phrases << *text;
    }
}

std::optional<QString> RegExpTokenPhrases::operator[](qsizetype position) const
{
    if (position < 0 || position >= phrases.size())
        return std::nullopt;
    return phrases[position];
}

QJsonObject RegExpTokenPhrases::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("phrases"), QJsonArray::fromStringList(phrases));
    object.insert(QStringLiteral("diacriticInsensitive"), diacriticInsensitive);
    return object;
}

RegExpTokenPhrases RegExpTokenPhrases::fromJson(const QJsonObject& object)
{
    const QJsonValue list = object.value(QStringLiteral("phrases"));
    const QJsonValue flag = object.value(QStringLiteral("diacriticInsensitive"));
    if (!list.isArray())
        throw DecodingError(QStringLiteral("Expected an array of strings for key \"phrases\""));
    if (!flag.isBool())
        throw DecodingError(QStringLiteral("Expected a Boolean for key \"diacriticInsensitive\""));
    RegExpTokenPhrases result;
    for (const QJsonValue& phrase : list.toArray()) {
        if (!phrase.isString())
            throw DecodingError(QStringLiteral("Expected an array of strings for key \"phrases\""));
        result.phrases << phrase.toString();
    }
    result.diacriticInsensitive = flag.toBool();
    return result;
}

size_t qHash(const RegExpTokenPhrases& phrases, size_t seed)
{
    return qHashMulti(seed, phrases.phrases, phrases.diacriticInsensitive);
}
