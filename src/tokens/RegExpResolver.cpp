// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpResolver.h"

#include "core/String+find.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"
#include "tokens/TokenItem.h"
#include "tokens/TokenString.h"

#include <QStringList>

namespace RegExpResolver {

namespace {
bool isSet(const std::optional<bool>& flag)
{
    return flag.value_or(false);
}

// The pattern and label of one builder token while they are built.
struct RegExpPattern {
    QString pattern;
    QString label;

    bool addCharacterGroup(const RegExpToken& token)
    {
        QStringList alternatives;
        if (isSet(token.alphabetic)) {
            alternatives << QStringLiteral("\\p{L}\\p{M}*");
            label += QStringLiteral("letters ");
        }
        if (isSet(token.numeric)) {
            alternatives << QStringLiteral("\\d");
            label += QStringLiteral("numbers ");
        }
        if (isSet(token.punctuation)) {
            alternatives << QStringLiteral("\\p{P}") << QStringLiteral("\\p{S}");
            label += QStringLiteral("punctuations ");
        }
        if (isSet(token.whitespace)) {
            alternatives << QStringLiteral("\\s");
            label += QStringLiteral("whitespace ");
        }
        if (isSet(token.diacritics)) {
            alternatives << QStringLiteral("\\p{M}");
            label += QStringLiteral("diacritics ");
        }
        if (token.custom && !token.custom->isEmpty()) {
            for (const QString& character : TextOffsets(*token.custom).characters()) {
                // A plain character must not match the same letter carrying a mark.
                if (!String::hasDiacritics(character))
                    alternatives << String::regexLiteral(character) + QStringLiteral("(?!\\p{M})");
                else
                    alternatives << character;
            }
            label += *token.custom + QLatin1Char(' ');
        }
        if (token.phrases) {
            for (const QString& phrase : token.phrases->phrases) {
                if (token.phrases->diacriticInsensitive && !String::hasDiacritics(phrase)) {
                    QString loose;
                    for (const QString& character : TextOffsets(phrase).characters())
                        loose += character + QStringLiteral("\\p{M}*");
                    alternatives << loose;
                } else {
                    alternatives << phrase;
                }
            }
        }
        if (alternatives.isEmpty())
            return false;
        pattern = alternatives.join(QLatin1Char('|'));
        if (token.phrases && !token.phrases->phrases.isEmpty())
            label += token.phrases->description() + QLatin1Char(' ');
        if (token.containing == true)
            pattern = QStringLiteral("(?:") + pattern + QLatin1Char(')');
        else
            pattern = QStringLiteral("(?!") + pattern + QStringLiteral(")\\P{M}\\p{M}*");
        return true;
    }

    void addCount(const RegExpToken& token)
    {
        const QString quantifier = token.count ? token.count->pattern() : QString();
        const QString words = token.count ? token.count->description() : QString();
        if (token.containing != true)
            pattern = QStringLiteral("(?:") + pattern + QLatin1Char(')');
        pattern += quantifier;
        if (token.containing == false)
            label = QStringLiteral("except ") + label;
        label = words + QLatin1Char(' ') + label;
    }

    void addAnchor(const RegExpToken& token)
    {
        switch (token.anchor.value_or(RegExpAnchor::none)) {
        case RegExpAnchor::none:
            pattern = QLatin1Char('(') + pattern + QLatin1Char(')');
            break;
        case RegExpAnchor::start:
            pattern = QStringLiteral("^(") + pattern + QLatin1Char(')');
            label = QStringLiteral("From Start: ") + label;
            break;
        case RegExpAnchor::end:
            pattern = QLatin1Char('(') + pattern + QStringLiteral(")$");
            label = QStringLiteral("From End: ") + label;
            break;
        case RegExpAnchor::startEnd:
            pattern = QStringLiteral("^(") + pattern + QStringLiteral(")$");
            label = QStringLiteral("From Start to End: ") + label;
            break;
        }
    }
};
} // namespace

Result resolveRegExp(const TokenItem& item)
{
    if (item.type != TokenType::REGEX)
        return { item.value, QString() };
    RegExpPattern builder;
    if (!builder.addCharacterGroup(item.regexp))
        return { QString(), QStringLiteral("please select") };
    builder.addCount(item.regexp);
    builder.addAnchor(item.regexp);
    return { builder.pattern, builder.label };
}

Result resolveRegExp(const TokenString& tokenString)
{
    Result result;
    for (const TokenItem& item : tokenString.items()) {
        const Result part = resolveRegExp(item);
        result.pattern += part.pattern;
        result.label += part.label;
    }
    return result;
}

} // namespace RegExpResolver
