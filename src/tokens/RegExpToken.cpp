// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpToken.h"

#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"

#include <QHashFunctions>
#include <QStringList>

RegExpToken RegExpToken::initial()
{
    RegExpToken token;
    token.containing = true;
    token.alphabetic = false;
    token.numeric = false;
    token.punctuation = false;
    token.whitespace = false;
    token.diacritics = false;
    token.custom = QString();
    token.phrases = RegExpTokenPhrases();
    token.count = RegExpTokenQuantifier::exactly(1);
    token.anchor = RegExpAnchor::none;
    return token;
}

namespace {
struct Flag {
    const char* key;
    std::optional<bool> RegExpToken::* member;
};
const Flag FLAGS[] = {
    { "containing", &RegExpToken::containing },
    { "alphabetic", &RegExpToken::alphabetic },
    { "numeric", &RegExpToken::numeric },
    { "punctuation", &RegExpToken::punctuation },
    { "whitespace", &RegExpToken::whitespace },
    { "diacritics", &RegExpToken::diacritics },
};
} // namespace

QJsonObject RegExpToken::toJson() const
{
    QJsonObject object;
    for (const Flag& flag : FLAGS) {
        if ((this->*flag.member))
            object.insert(QLatin1String(flag.key), *(this->*flag.member));
    }
    if (custom)
        object.insert(QStringLiteral("custom"), *custom);
    if (phrases)
        object.insert(QStringLiteral("phrases"), phrases->toJson());
    if (count)
        object.insert(QStringLiteral("count"), count->toJson());
    if (anchor)
        object.insert(QStringLiteral("anchor"), RegExpAnchors::rawValue(*anchor));
    return object;
}

RegExpToken RegExpToken::fromJson(const QJsonObject& object)
{
    RegExpToken token;
    for (const Flag& flag : FLAGS)
        token.*flag.member = JsonRead::optionalBool(object, QLatin1String(flag.key));
    token.custom = JsonRead::optionalString(object, QStringLiteral("custom"));
    if (const auto phrases = JsonRead::optionalObject(object, QStringLiteral("phrases")))
        token.phrases = RegExpTokenPhrases::fromJson(*phrases);
    if (const auto anchor = JsonRead::optionalString(object, QStringLiteral("anchor"))) {
        token.anchor = RegExpAnchors::fromRawValue(*anchor);
        if (!token.anchor)
            throw DecodingError(QStringLiteral("Unknown anchor \"%1\"").arg(*anchor));
    }
    if (!JsonRead::isAbsent(object, QStringLiteral("count"))) {
        const QJsonValue count = object.value(QStringLiteral("count"));
        if (count.isObject()) {
            token.count = RegExpTokenQuantifier::fromJson(count.toObject());
        } else if (const auto n = JsonRead::integer(count)) {
            // The older form: one number, 0 meaning "zero or more".
            token.count = *n == 0 ? RegExpTokenQuantifier::zeroOrMore() : RegExpTokenQuantifier::exactly(*n);
        } else {
            throw DecodingError(QStringLiteral("Expected an object for key \"count\""));
        }
    }
    return token;
}

size_t qHash(const RegExpToken& token, size_t seed)
{
    QtPrivate::QHashCombine combine;
    for (const Flag& flag : FLAGS) {
        const auto& value = token.*flag.member;
        seed = combine(seed, value.has_value());
        seed = combine(seed, value.value_or(false));
    }
    seed = combine(seed, token.custom.has_value());
    seed = combine(seed, token.custom.value_or(QString()));
    seed = combine(seed, token.phrases.has_value());
    seed = combine(seed, token.phrases ? qHash(*token.phrases) : 0);
    seed = combine(seed, token.count.has_value());
    seed = combine(seed, token.count ? qHash(*token.count) : 0);
    seed = combine(seed, token.anchor.has_value());
    seed = combine(seed, int(token.anchor.value_or(RegExpAnchor::none)));
    return seed;
}

QString debugText(const RegExpToken& token)
{
    auto flag = [](const std::optional<bool>& value) {
        return value ? (*value ? QStringLiteral("true") : QStringLiteral("false")) : QStringLiteral("nil");
    };
    QStringList parts;
    for (const Flag& f : FLAGS)
        parts << QStringLiteral("%1: %2").arg(QLatin1String(f.key), flag(token.*f.member));
    parts << QStringLiteral("custom: %1").arg(token.custom ? *token.custom : QStringLiteral("nil"));
    parts << QStringLiteral("phrases: %1").arg(token.phrases ? token.phrases->description() : QStringLiteral("nil"));
    parts << QStringLiteral("count: %1").arg(token.count ? token.count->description() : QStringLiteral("nil"));
    parts << QStringLiteral("anchor: %1").arg(token.anchor ? RegExpAnchors::rawValue(*token.anchor) : QStringLiteral("nil"));
    return QStringLiteral("RegExpToken(%1)").arg(parts.join(QStringLiteral(", ")));
}
