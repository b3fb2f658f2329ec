// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/RegExpResolver.h"
#include "tokens/TokenString.h"

#include <gtest/gtest.h>

namespace {

struct QuantifierCase {
    std::optional<qint64> min;
    std::optional<qint64> max;
    const char* pattern;
    const char* description;
};

TEST(RegExpTokenQuantifier, PatternAndDescriptionTable)
{
    const QuantifierCase cases[] = {
        { std::nullopt, std::nullopt, "*", "Zero or more" },
        { 0, 1, "?", "Zero or one" },
        { 1, std::nullopt, "+", "One or more" },
        { std::nullopt, 4, "", "" },
        { 3, std::nullopt, "", "" },
        { 0, 0, "{0}", "No" },
        { 1, 1, "", "Exactly one" },
        { 4, 4, "{4}", "4" },
        { 2, 0, "{2,}", "At least 2" },
        { 0, 7, "{0,7}", "Up to 7" },
        { 2, 1000, "{2,1000}", "Between 2 and 1000" },
        { 5, 2, "", "Between 5 and 2" },
    };
    for (const QuantifierCase& c : cases) {
        const RegExpTokenQuantifier quantifier { c.min, c.max };
        EXPECT_EQ(quantifier.pattern(), QString::fromUtf8(c.pattern)) << c.description;
        EXPECT_EQ(quantifier.description(), QString::fromUtf8(c.description)) << c.pattern;
    }
    EXPECT_TRUE(RegExpTokenQuantifier::exactly(2).isExactly());
    EXPECT_TRUE(RegExpTokenQuantifier::between(2, 3).isBetween());
    EXPECT_TRUE(RegExpTokenQuantifier::oneOrMore().isOneOrMore());
}

TEST(RegExpToken, PhrasesAndEquality)
{
    const RegExpTokenPhrases phrases(false, { QString("a"), std::nullopt, QString() });
    EXPECT_EQ(phrases.phrases, QStringList { "a" });
    EXPECT_FALSE(phrases[1].has_value());
    EXPECT_EQ(RegExpTokenPhrases(false, { QString("1"), QString("2"), QString("3"), QString("4") }).phrases,
        (QStringList { "1", "2", "3" }));

    RegExpToken a = RegExpToken::initial();
    RegExpToken b = a;
    b.diacritics = true;
    EXPECT_NE(a, b);
    EXPECT_EQ(RegExpToken(), RegExpToken::fromJson(QJsonObject()));
    EXPECT_NE(RegExpToken(), a);
    EXPECT_EQ(RegExpAnchors::fromAny(QVariant(5)), RegExpAnchor::none);
    EXPECT_EQ(RegExpAnchors::fromAny(QVariant()), RegExpAnchor::none);
    EXPECT_FALSE(RegExpAnchors::fromAny(QVariant(QStringLiteral("middle"))).has_value());
}

TokenItem builder(std::function<void(RegExpToken&)> settings)
{
    TokenItem item(TokenType::REGEX, QStringLiteral("regex"));
    item.regexp = RegExpToken();
    settings(item.regexp);
    return item;
}

struct ResolveCase {
    const char* name;
    TokenItem item;
    const char* pattern;
    const char* label;
};

TEST(RegExpResolver, BuildsPatternsAndLabels)
{
    const ResolveCase cases[] = {
        { "letters and numbers from start", builder([](RegExpToken& t) {
              t.alphabetic = true; t.numeric = true; t.containing = true;
              t.count = RegExpTokenQuantifier::oneOrMore(); t.anchor = RegExpAnchor::start; }),
            R"(^((?:\p{L}\p{M}*|\d)+))", "From Start: One or more letters numbers " },
        { "except whitespace", builder([](RegExpToken& t) {
              t.whitespace = true; t.containing = false;
              t.count = RegExpTokenQuantifier::exactly(1); t.anchor = RegExpAnchor::none; }),
            R"(((?:(?!\s)\P{M}\p{M}*)))", "Exactly one except whitespace " },
        { "custom characters", builder([](RegExpToken& t) { t.custom = QString::fromUtf8("a.é"); t.containing = true; }),
            R"(((?:a(?!\p{M})|\.(?!\p{M})|é)))", " a.é " },
        { "loose phrases", builder([](RegExpToken& t) {
              t.phrases = RegExpTokenPhrases(true, { QString("cafe"), QString::fromUtf8("über") });
              t.containing = true; t.count = RegExpTokenQuantifier::exactly(1); t.anchor = RegExpAnchor::end; }),
            R"(((?:c\p{M}*a\p{M}*f\p{M}*e\p{M}*|über))$)", "From End: Exactly one cafe|über " },
        { "punctuation, containing absent", builder([](RegExpToken& t) { t.punctuation = true; t.count = RegExpTokenQuantifier::exactly(1); }),
            R"(((?:(?!\p{P}|\p{S})\P{M}\p{M}*)))", "Exactly one punctuations " },
        { "phrases unescaped, custom escaped", builder([](RegExpToken& t) {
              t.phrases = RegExpTokenPhrases(false, { QString("a+b") }); t.custom = "+"; t.containing = true;
              t.count = RegExpTokenQuantifier::zeroOrMore(); t.anchor = RegExpAnchor::startEnd; }),
            R"(^((?:\+(?!\p{M})|a+b)*)$)", "From Start to End: Zero or more + a+b " },
        { "nothing selected", TokenItem(TokenType::REGEX, QStringLiteral("regex")), "", "please select" },
        { "literal text", TokenItem::string("a.b"), "a.b", "" },
    };
    for (const ResolveCase& c : cases) {
        const auto result = RegExpResolver::resolveRegExp(c.item);
        EXPECT_EQ(result.pattern, QString::fromUtf8(c.pattern)) << c.name;
        EXPECT_EQ(result.label, QString::fromUtf8(c.label)) << c.name;
    }
}

TEST(RegExpResolver, TokenStringRunsPiecesTogether)
{
    const TokenItem digits = builder([](RegExpToken& t) { t.numeric = true; t.containing = true; t.count = RegExpTokenQuantifier::oneOrMore(); });
    const TokenString text(QList<TokenItem> { TokenItem::string("IMG_"), digits, TokenItem::string("\\."), digits });
    const auto result = RegExpResolver::resolveRegExp(text);
    EXPECT_EQ(result.pattern, R"(IMG_((?:\d)+)\.((?:\d)+))");
    EXPECT_EQ(result.label, "One or more numbers One or more numbers ");
    EXPECT_EQ(text.resolvedRegexPattern(), result.pattern);
    EXPECT_EQ(RegExpResolver::resolveRegExp(TokenString()).pattern, "");
}

} // namespace
