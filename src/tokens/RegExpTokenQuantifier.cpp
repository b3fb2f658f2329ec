// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpTokenQuantifier.h"

#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"

#include <QHashFunctions>

QString RegExpTokenQuantifier::pattern() const
{
    if (!min && !max)
        return QStringLiteral("*");
    if (min == 0 && max == 1)
        return QStringLiteral("?");
    if (min == 1 && !max)
        return QStringLiteral("+");
    if (!min || !max)
        return {};
    if (*min == *max && *min != 1)
        return QStringLiteral("{%1}").arg(*min);
    if (*min < *max)
        return QStringLiteral("{%1,%2}").arg(*min).arg(*max);
    if (*min > 0 && *max == 0)
        return QStringLiteral("{%1,}").arg(*min);
    return {};
}

QString RegExpTokenQuantifier::description() const
{
    if (!min && !max)
        return QStringLiteral("Zero or more");
    if (min == 0 && max == 1)
        return QStringLiteral("Zero or one");
    if (min == 1 && !max)
        return QStringLiteral("One or more");
    if (!min || !max)
        return {};
    if (*min == 0 && *max == 0)
        return QStringLiteral("No");
    if (*min == 1 && *max == 1)
        return QStringLiteral("Exactly one");
    if (*min >= 2 && *min == *max)
        return QString::number(*min);
    if (*min != *max && *max == 0)
        return QStringLiteral("At least %1").arg(*min);
    if (*min == 0 && *max >= 1)
        return QStringLiteral("Up to %1").arg(*max);
    if (*min == *max)
        return {};
    return QStringLiteral("Between %1 and %2").arg(*min).arg(*max);
}

QJsonObject RegExpTokenQuantifier::toJson() const
{
    QJsonObject object;
    if (min)
        object.insert(QStringLiteral("min"), *min);
    if (max)
        object.insert(QStringLiteral("max"), *max);
    return object;
}

RegExpTokenQuantifier RegExpTokenQuantifier::fromJson(const QJsonObject& object)
{
    RegExpTokenQuantifier quantifier;
    quantifier.min = JsonRead::optionalInteger(object, QStringLiteral("min"));
    quantifier.max = JsonRead::optionalInteger(object, QStringLiteral("max"));
    return quantifier;
}

size_t qHash(const RegExpTokenQuantifier& quantifier, size_t seed)
{
    return qHashMulti(seed, quantifier.min.has_value(), quantifier.min.value_or(0),
        quantifier.max.has_value(), quantifier.max.value_or(0));
}
