// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokens/TokenString.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(TokenItem, EqualityIgnoresIdAndHashesAlike)
{
    TokenItem a = TokenItem::attribute("date-created");
    TokenItem b = TokenItem::attribute("date-created");
    ASSERT_NE(a.id, b.id);
    EXPECT_EQ(a, b);
    EXPECT_EQ(qHash(a), qHash(b));
    EXPECT_EQ(QSet<TokenItem>({ a, b }).size(), 1);

    // Each compared field makes a difference.
    const std::function<void(TokenItem&)> changes[] = {
        [](TokenItem& i) { i.type = TokenType::STRING; },
        [](TokenItem& i) { i.value = "date-modified"; },
        [](TokenItem& i) { i.prefix = "p"; },
        [](TokenItem& i) { i.suffix = "s"; },
        [](TokenItem& i) { i.dateFormat = "yyyy"; },
        [](TokenItem& i) { i.timeZone = i.timeZone == "Asia/Tokyo" ? "UTC" : "Asia/Tokyo"; },
        [](TokenItem& i) { i.gpsFormat = 1; },
        [](TokenItem& i) { i.numberDigits = 3; },
        [](TokenItem& i) { i.regexp.diacritics = true; },
    };
    for (const auto& change : changes) {
        TokenItem changed = a;
        change(changed);
        EXPECT_NE(changed, a) << qPrintable(changed.debugDescription());
    }
}

TEST(TokenItem, CountsAndEmptiness)
{
    EXPECT_TRUE(TokenItem().isEmpty());
    EXPECT_EQ(TokenItem().count(), 0);
    EXPECT_EQ(TokenItem::string(QString::fromUtf8("e\u0301a👍🏽")).count(), 3);
    EXPECT_EQ(TokenItem::attribute("").count(), 1);
    EXPECT_FALSE(TokenItem::attribute("").isEmpty());
    EXPECT_EQ(TokenItem(TokenType::REGEX, std::nullopt).count(), 1);
}

TEST(TokenItem, LabelsOfChips)
{
    TokenItem latitude = TokenItem::attribute("{GPS}.Latitude");
    latitude.prefix = "at ";
    EXPECT_EQ(latitude.displayValue(), QString::fromUtf8("at⎵ + Latitude ▼"));
    EXPECT_EQ(TokenItem::attribute("media-width").displayValue(), QString::fromUtf8("media-width ▼"));
    TokenItem text = TokenItem::string("abc");
    EXPECT_EQ(text.displayValue(), QString::fromUtf8("abc ▼"));
    EXPECT_EQ(text.description(), "abc");
    text.suffix = " x";
    EXPECT_EQ(text.displayValue(), QString::fromUtf8("abc + ⎵x ▼"));
    EXPECT_EQ(TokenItem(TokenType::REGEX, QStringLiteral("regex")).displayValue(), QString::fromUtf8("please select ▼"));
}

TEST(TokenItem, KindPredicatesFollowTheCatalog)
{
    EXPECT_TRUE(TokenItem::attribute("date-modified").isDateAttribute());
    EXPECT_TRUE(TokenItem::attribute("DATE-MODIFIED").isDateAttribute());
    EXPECT_TRUE(TokenItem::attribute("date-now").isDateAttribute());
    EXPECT_FALSE(TokenItem::string("date-modified").isDateAttribute());
    EXPECT_TRUE(TokenItem::attribute("{GPS}.Longitude").isGPSAttribute());
    EXPECT_TRUE(TokenItem::attribute("media-sequence").isNumberAttribute());
    EXPECT_FALSE(TokenItem::attribute("media-sequence").isDecimalAttribute());
    EXPECT_TRUE(TokenItem::attribute("media-bitrate").isNumberAttribute());
    EXPECT_TRUE(TokenItem::attribute("media-bitrate").isDecimalAttribute());
    const TokenItem unknown = TokenItem::attribute("no-such-token");
    EXPECT_FALSE(unknown.isDateAttribute() || unknown.isGPSAttribute() || unknown.isNumberAttribute());
    EXPECT_TRUE(TokenItem::attribute("gps-addresscity").isGPSAddress());
    EXPECT_FALSE(TokenItem::string("GPS-AddressCity").isGPSAddress());
    EXPECT_TRUE(TokenItem::attribute("original-filename").isOriginalFilenameAttribute());
    EXPECT_FALSE(TokenItem::attribute("Original-Filename").isOriginalFilenameAttribute());
}

TEST(TokenItem, ParentDirectoryIndex)
{
    EXPECT_EQ(TokenItem::attribute("parent-directory").parentDirectoryIndex(), 0);
    EXPECT_EQ(TokenItem::attribute("parent-directory-2").parentDirectoryIndex(), 2);
    EXPECT_EQ(TokenItem::attribute("parent-directory-12").parentDirectoryIndex(), 12);
    EXPECT_EQ(TokenItem::string("parent-directory-3").parentDirectoryIndex(), 0);
    EXPECT_EQ(TokenItem::attribute("parent-directory-99999999999999999999").parentDirectoryIndex(), 0);
}

TEST(TokenItem, PropertyDictionaries)
{
    TokenItem attribute = TokenItem::attribute("kind");
    attribute.timeZone = "Asia/Tokyo";
    attribute.numberDigits = 3;
    const QVariantMap properties = attribute.properties();
    EXPECT_EQ(properties.value("numberDigits"), QVariant(QStringLiteral("3")));
    EXPECT_EQ(properties.value("gpsFormat"), QVariant(QStringLiteral("0")));
    EXPECT_EQ(TokenItem::fromProperties(properties), attribute);

    TokenItem regex(TokenType::REGEX, QStringLiteral("regex"));
    regex.regexp.numeric = true;
    regex.regexp.custom = "x";
    regex.regexp.phrases = RegExpTokenPhrases(true, { QString("p1"), QString("p2") });
    regex.regexp.count = RegExpTokenQuantifier::between(2, 5);
    regex.regexp.anchor = RegExpAnchor::end;
    const QVariantMap regexProperties = regex.properties();
    EXPECT_EQ(regexProperties.value("phrases-diacritics-insensitive"), QVariant(QStringLiteral("true")));
    EXPECT_EQ(regexProperties.value("count-max"), QVariant(QStringLiteral("5")));
    EXPECT_FALSE(regexProperties.contains("phrase3"));
    EXPECT_EQ(TokenItem::fromProperties(regexProperties), regex);

    // A bare regex type: every flag set to false, no phrases, no bounds.
    const TokenItem bare = TokenItem::fromProperties({ { "type", "regex" } });
    EXPECT_EQ(bare.regexp.alphabetic, false);
    EXPECT_EQ(bare.regexp.containing, false);
    EXPECT_EQ(bare.regexp.phrases, RegExpTokenPhrases());
    EXPECT_EQ(bare.regexp.count, RegExpTokenQuantifier());
    EXPECT_EQ(bare.regexp.anchor, RegExpAnchor::none);
    EXPECT_EQ(TokenItem::fromProperties({}), TokenItem());

    // Older stored values: numbers as texts, flags as "1".
    const TokenItem loose = TokenItem::fromProperties({ { "type", "regex" }, { "numeric", "1" }, { "count-min", "" },
        { "numberDigits", "x" }, { "timeZone", "Nowhere/Never" } });
    EXPECT_EQ(loose.regexp.numeric, true);
    EXPECT_EQ(loose.regexp.count->min, 0);
    EXPECT_EQ(loose.numberDigits, 2);
    EXPECT_EQ(loose.timeZone, TokenItem::currentTimeZone());
}

TEST(TokenString, ValuesAndOperators)
{
    const TokenString text(QList<TokenItem> { TokenItem::string("ab"), TokenItem::attribute("kind"), TokenItem::string("c") });
    EXPECT_EQ(text.count(), 4);
    EXPECT_TRUE(text.hasAttributes());
    EXPECT_FALSE(TokenString(TokenItem(TokenType::REGEX, std::nullopt)).hasAttributes());
    EXPECT_TRUE(TokenString(QList<TokenItem> { TokenItem(), TokenItem() }).isEmpty());
    EXPECT_TRUE(TokenString().isEmpty());
    EXPECT_FALSE(TokenString(TokenItem(TokenType::REGEX, std::nullopt)).isEmpty());
    const TokenString empty = TokenString::string("");
    EXPECT_EQ(empty.items().size(), 1);
    EXPECT_TRUE(empty.isEmpty());

    TokenString variable = text;
    const TokenString before = variable;
    variable += QStringLiteral("x");
    EXPECT_EQ(variable.items().size(), 4);
    EXPECT_EQ(variable.items().last(), TokenItem::string("x"));
    EXPECT_EQ(before, text);
    const TokenString sum = text + before;
    EXPECT_EQ(sum.items().size(), 6);
    EXPECT_EQ(text.items().size(), 3);

    EXPECT_EQ(TokenString::attribute("kind"), TokenString(TokenItem::attribute("kind")));
    EXPECT_EQ(qHash(TokenString::attribute("kind")), qHash(TokenString(TokenItem::attribute("kind"))));
    EXPECT_EQ(TokenString::fromProperties(text.properties()), text);

    TokenItem spaced = TokenItem::string("  a b ");
    EXPECT_EQ(TokenString(QList<TokenItem> { spaced, TokenItem::attribute("{Exif}.ISOSpeed") }).description(),
        "a bISOSpeed");
}

} // namespace
