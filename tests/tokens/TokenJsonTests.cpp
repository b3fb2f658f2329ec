// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include "tokens/DecodingError.h"
#include "tokens/JsonRead.h"
#include "tokens/TokenString.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>

namespace {

QJsonValue parse(const char* json)
{
    const QByteArray text = QByteArray("[") + json + "]";
    return QJsonDocument::fromJson(text).array().at(0);
}

TokenItem attribute(const QString& key, std::function<void(TokenItem&)> change = {})
{
    TokenItem item = TokenItem::attribute(key);
    if (change)
        change(item);
    return item;
}

struct ReadCase {
    const char* name;
    const char* json;
    // None: reading must fail.
    std::optional<QList<TokenItem>> expected;
};

// Every accepted and rejected form a recipe may hold, as a token string.
TEST(TokenJson, ReadsCurrentAndOlderFormsAndRejectsTheRest)
{
    TokenItem regexItem(TokenType::REGEX, QStringLiteral("regex"));
    TokenItem regexCount3 = regexItem;
    regexCount3.regexp = RegExpToken();
    regexCount3.regexp.count = RegExpTokenQuantifier::exactly(3);
    TokenItem regexCount0 = regexItem;
    regexCount0.regexp = RegExpToken();
    regexCount0.regexp.count = RegExpTokenQuantifier::zeroOrMore();
    TokenItem regexAllAbsent = regexItem;
    regexAllAbsent.regexp = RegExpToken();

    const ReadCase cases[] = {
        { "empty array", "[]", QList<TokenItem> {} },
        { "older empty", R"({"properties": []})", QList<TokenItem> {} },
        { "older one item", R"({"properties": [{"string": "a"}]})", QList<TokenItem> { TokenItem::string("a") } },
        { "empty object", "{}", std::nullopt },
        { "plain text", R"("abc")", std::nullopt },
        { "string and attribute", R"([{"string": "a"}, {"attribute": "b"}])",
            QList<TokenItem> { TokenItem::string("a"), TokenItem::attribute("b") } },
        { "string wins over attribute", R"([{"string": "a", "attribute": "b"}])", QList<TokenItem> { TokenItem::string("a") } },
        { "prefix and suffix", R"([{"attribute": "kind", "prefix": "[", "suffix": "]"}])",
            QList<TokenItem> { attribute("kind", [](TokenItem& i) { i.prefix = "["; i.suffix = "]"; }) } },
        { "older iTunes key", R"([{"type": "attribute", "value": "iTunes-disk"}])", QList<TokenItem> { TokenItem::attribute("AV-disk") } },
        { "older disk key", R"([{"type": "attribute", "value": "id3-disk"}])", QList<TokenItem> { TokenItem::attribute("id3-disc") } },
        { "older string keeps disk", R"([{"type": "string", "value": "disk"}])", QList<TokenItem> { TokenItem::string("disk") } },
        { "older form with texts for numbers",
            R"([{"type": "attribute", "value": "x", "gpsFormat": "1", "numberDigits": "3", "prefix": "", "suffix": ""}])",
            QList<TokenItem> { attribute("x", [](TokenItem& i) { i.gpsFormat = 1; i.numberDigits = 3; }) } },
        { "older regex ignores builder members", R"([{"type": "regex", "value": "regex", "containing": "false"}])",
            QList<TokenItem> { regexItem } },
        { "older kinds", R"([{"type": "date-now", "value": "x"}, {"type": "parent-directory", "value": "y"}])",
            QList<TokenItem> { TokenItem(TokenType::DATE_NOW, QStringLiteral("x")), TokenItem(TokenType::PARENT_DIRECTORY, QStringLiteral("y")) } },
        { "digits as text", R"([{"attribute": "x", "numberDigits": "04"}])",
            QList<TokenItem> { attribute("x", [](TokenItem& i) { i.numberDigits = 4; }) } },
        { "digits unreadable text", R"([{"attribute": "x", "numberDigits": "four"}])", QList<TokenItem> { TokenItem::attribute("x") } },
        { "digits null", R"([{"attribute": "x", "numberDigits": null}])", QList<TokenItem> { TokenItem::attribute("x") } },
        { "digits Boolean", R"([{"attribute": "x", "numberDigits": true}])", std::nullopt },
        { "digits fraction", R"([{"attribute": "x", "numberDigits": 2.5}])", std::nullopt },
        { "date format and zone", R"([{"attribute": "date-modified", "dateFormat": "yyyy", "timeZone": "Asia/Tokyo"}])",
            QList<TokenItem> { attribute("date-modified", [](TokenItem& i) { i.dateFormat = "yyyy"; i.timeZone = "Asia/Tokyo"; }) } },
        { "unknown time zone", R"([{"attribute": "x", "timeZone": "Mars/Olympus"}])", QList<TokenItem> { TokenItem::attribute("x") } },
        { "regexp count as number", R"([{"regexp": {"count": 3}}])", QList<TokenItem> { regexCount3 } },
        { "regexp count zero", R"([{"regexp": {"count": 0}}])", QList<TokenItem> { regexCount0 } },
        { "regexp without keys", R"([{"regexp": {}}])", QList<TokenItem> { regexAllAbsent } },
        { "regexp count as text", R"([{"regexp": {"count": "3"}}])", std::nullopt },
        { "regexp unknown anchor", R"([{"regexp": {"anchor": "middle"}}])", std::nullopt },
        { "regexp phrases incomplete", R"([{"regexp": {"phrases": {"phrases": []}}}])", std::nullopt },
        { "older form without type", R"([{"value": "x"}])", std::nullopt },
        { "older form without value", R"([{"type": "attribute"}])", std::nullopt },
        { "unknown type fails the whole string", R"([{"string": "a"}, {"type": "bogus", "value": "x"}])", std::nullopt },
        { "string of wrong type", R"([{"string": 5}])", std::nullopt },
        { "item not an object", R"([5])", std::nullopt },
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.expected) {
            EXPECT_THROW(TokenString::fromJson(parse(c.json)), DecodingError);
            continue;
        }
        const TokenString read = TokenString::fromJson(parse(c.json));
        EXPECT_EQ(read, TokenString(*c.expected)) << qPrintable(read.debugDescription());
    }
}

TEST(TokenJson, FailedItemIsLoggedInTransformers)
{
    LogCapture log;
    EXPECT_THROW(TokenItem::fromJson(QJsonObject()), DecodingError);
    EXPECT_TRUE(log.lines().join('\n').contains("TokenItem decoding failed: "));
    log.clear();
    EXPECT_FALSE(TokenItem::fromJsonData("{\"attribute\": 3}").has_value());
    EXPECT_TRUE(log.lines().join('\n').contains("Decoding TokenItem from data"));
}

QJsonObject encoded(const TokenItem& item)
{
    return item.toJson();
}

TEST(TokenJson, WritesOnlyTheMembersOfTheKind)
{
    TokenItem date = TokenItem::attribute("date-modified");
    date.prefix = "(";
    date.timeZone = "Europe/Berlin";
    EXPECT_EQ(encoded(date), QJsonDocument::fromJson(R"({"attribute": "date-modified", "dateFormat": "yyyy-MM-dd HH:mm",
        "timeZone": "Europe/Berlin", "prefix": "("})").object());

    TokenItem gps = TokenItem::attribute("{GPS}.Latitude");
    gps.gpsFormat = 1;
    EXPECT_EQ(encoded(gps), QJsonDocument::fromJson(R"({"attribute": "{GPS}.Latitude", "gpsFormat": 1})").object());

    TokenItem number = TokenItem::attribute("media-sequence");
    number.numberDigits = 4;
    EXPECT_EQ(encoded(number), QJsonDocument::fromJson(R"({"attribute": "media-sequence", "numberDigits": 4})").object());

    // Without a catalog entry nothing tells which setting matters.
    TokenItem unknown = TokenItem::attribute("not-in-catalog");
    unknown.numberDigits = 5;
    unknown.dateFormat = "yy";
    EXPECT_EQ(encoded(unknown), QJsonDocument::fromJson(R"({"attribute": "not-in-catalog"})").object());
    EXPECT_EQ(TokenItem::fromJson(encoded(unknown)), TokenItem::attribute("not-in-catalog"));

    TokenItem string = TokenItem::string("abc");
    string.prefix = "x";
    EXPECT_EQ(encoded(string), QJsonDocument::fromJson(R"({"string": "abc"})").object());

    TokenItem regex(TokenType::REGEX, QStringLiteral("regex"));
    regex.prefix = "x";
    EXPECT_EQ(encoded(regex).keys(), QStringList { "regexp" });
    EXPECT_EQ(regex.properties().value("prefix").toString(), "x");
}

// Items read from older data, or made with non-default settings, come back equal.
TEST(TokenJson, EveryKindReadsBackEqual)
{
    TokenItem dateNow = TokenItem::attribute("date-now");
    dateNow.dateFormat = "HH:mm";
    dateNow.timeZone = "America/New_York";
    TokenItem olderDate(TokenType::DATE_NOW, QStringLiteral("2020"), QStringLiteral("yyyy"));
    olderDate.timeZone = "Asia/Tokyo";
    olderDate.prefix = "[";
    TokenItem olderParent(TokenType::PARENT_DIRECTORY, QStringLiteral("Photos"));
    TokenItem olderName(TokenType::ORIGINAL_FILENAME, QStringLiteral("IMG_1"));
    olderName.suffix = "]";
    TokenItem track = TokenItem::attribute("id3-track");
    track.numberDigits = 3;
    TokenItem longitude = TokenItem::attribute("{GPS}.Longitude");
    longitude.gpsFormat = 1;
    TokenItem regex(TokenType::REGEX, QStringLiteral("regex"));
    regex.regexp.alphabetic = true;
    regex.regexp.phrases = RegExpTokenPhrases(true, { QString("a"), QString("b") });
    regex.regexp.anchor = RegExpAnchor::startEnd;

    const TokenString original(QList<TokenItem> { TokenItem::string("x"), dateNow, olderDate, olderParent, olderName,
        track, longitude, regex });
    const QByteArray saved = QJsonDocument(original.toJson().toArray()).toJson(QJsonDocument::Compact);
    const TokenString read = TokenString::fromJson(QJsonDocument::fromJson(saved).array());
    EXPECT_EQ(read, original) << saved.constData();
    EXPECT_TRUE(saved.startsWith('[')) << "never the older object form";
}

TEST(TokenJson, RegExpTokenInitialWritesAllTenKeys)
{
    const QJsonObject json = RegExpToken::initial().toJson();
    EXPECT_EQ(json, QJsonDocument::fromJson(R"({"containing": true, "alphabetic": false, "numeric": false,
        "punctuation": false, "whitespace": false, "diacritics": false, "custom": "",
        "phrases": {"phrases": [], "diacriticInsensitive": false}, "count": {"min": 1, "max": 1},
        "anchor": "none"})").object());
    EXPECT_EQ(RegExpToken::fromJson(json), RegExpToken::initial());
}

} // namespace

namespace {

// Integers are read from the text as written, not through a double (which
// holds every integer only up to 2^53).
TEST(JsonReadInteger, WholeNumbersWithin64BitsReadExactlyAndNothingElse)
{
    struct Case {
        const char* json;
        std::optional<qint64> expected;
    };
    const Case cases[] = {
        { "9223372036854775807", std::numeric_limits<qint64>::max() },
        { "9223372036854775806", std::numeric_limits<qint64>::max() - 1 },
        { "9223372036854775295", Q_INT64_C(9223372036854775295) },
        { "-9223372036854775808", std::numeric_limits<qint64>::min() },
        { "-9223372036854775807", std::numeric_limits<qint64>::min() + 1 },
        { "9007199254740993", Q_INT64_C(9007199254740993) },
        { "-9007199254740993", Q_INT64_C(-9007199254740993) },
        { "0", 0 },
        { "-1", -1 },
        { "1.0", 1 },
        { "1e3", 1000 },
        { "9223372036854775808", std::nullopt },
        { "18446744073709551616", std::nullopt },
        { "1e19", std::nullopt },
        { "-1e19", std::nullopt },
        { "1.5", std::nullopt },
        { "\"5\"", std::nullopt },
        { "true", std::nullopt },
        { "null", std::nullopt },
        { "[1]", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(JsonRead::integer(parse(c.json)), c.expected);
        const QJsonObject object = QJsonDocument::fromJson(QByteArray("{\"n\":") + c.json + "}").object();
        if (c.expected) {
            EXPECT_EQ(JsonRead::optionalInteger(object, QStringLiteral("n")), c.expected);
        } else if (QByteArray(c.json) != "null") {
            EXPECT_THROW(JsonRead::optionalInteger(object, QStringLiteral("n")), DecodingError);
        }
    }
}

} // namespace
