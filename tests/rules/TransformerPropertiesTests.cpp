// SPDX-License-Identifier: GPL-3.0-or-later
#include "PropertiesFixtures.h"
#include "rules/TransformerProperties.h"

#include "tokens/DecodingError.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <functional>

namespace {

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

TransformerProperties everyFieldSet()
{
    return everyPropertySet(TokenString::string(QStringLiteral("x")) + TokenItem::attribute(QStringLiteral("kind")));
}

QStringList fieldKeys()
{
    QStringList keys = TransformerProperties::codingKeys();
    for (const QString& legacy : TransformerProperties::legacyKeys())
        keys.removeOne(legacy);
    return keys;
}

} // namespace

TEST(TransformerPropertiesTest, AFreshRecordWritesOnlyAnUnsetConversion)
{
    const QJsonObject json = TransformerProperties().toJson();
    EXPECT_EQ(json.keys(), QStringList { "conversionType" });
    EXPECT_TRUE(json.value("conversionType").isNull());
}

TEST(TransformerPropertiesTest, EveryFieldIsWrittenAndReadBack)
{
    const TransformerProperties original = everyFieldSet();
    const QJsonObject json = original.toJson();
    ASSERT_EQ(fieldKeys().size(), 74);
    for (const QString& key : fieldKeys())
        EXPECT_TRUE(json.contains(key)) << key.toStdString();
    EXPECT_EQ(json.size(), 74);
    const TransformerProperties decoded = TransformerProperties::fromJson(json);
    EXPECT_TRUE(decoded == original);
    EXPECT_EQ(qHash(decoded), qHash(original));
    // Through text as a recipe carries it.
    const QByteArray text = QJsonDocument(json).toJson(QJsonDocument::Compact);
    EXPECT_TRUE(TransformerProperties::fromJson(QJsonDocument::fromJson(text).object()) == original);
}

TEST(TransformerPropertiesTest, LenientAndStrictReads)
{
    using Check = std::function<bool(const TransformerProperties&)>;
    struct Case {
        const char* json;
        bool fails;
        Check check;
    };
    const Case cases[] = {
        { R"({"simpleWildcards": "1"})", false, [](auto& p) { return p.simpleWildcards == true; } },
        { R"({"simpleWildcards": "0"})", false, [](auto& p) { return p.simpleWildcards == false; } },
        { R"({"simpleWildcards": "yes"})", false, [](auto& p) { return p.simpleWildcards == false; } },
        { R"({"simpleWildcards": "true"})", false, [](auto& p) { return p.simpleWildcards == false; } },
        { R"({"simpleWildcards": null})", false, [](auto& p) { return p.simpleWildcards == false; } },
        { R"({"simpleWildcards": 3})", true, {} },
        { R"({"numberRandom": "1"})", false, [](auto& p) { return p.numberRandom == true; } },
        { R"({"regexFindText": 5})", true, {} },
        { R"({"regexFindText": [{"bogus": 1}]})", true, {} },
        { R"({"simpleReplaceText": [{"type": "future-kind", "value": "x"}]})", true, {} },
        { R"({"regexFindText": "a+"})", false, [](auto& p) { return p.regexFindText == TokenString::string("a+"); } },
        { R"({"simpleReplaceText": "old"})", false,
            [](auto& p) { return p.simpleReplaceText == TokenString::string("old"); } },
        { R"({"simpleReplaceText": [{"string": "a"}]})", false,
            [](auto& p) { return p.simpleReplaceText == TokenString::string("a"); } },
        { R"({"insertText": 5})", true, {} },
        { R"({"prefixText": [{"bogus": 1}]})", true, {} },
        { R"({"trimCount": "12"})", false, [](auto& p) { return p.trimCount == 12; } },
        { R"({"trimCount": "-3"})", false, [](auto& p) { return p.trimCount == -3; } },
        { R"({"trimCount": "+4"})", false, [](auto& p) { return p.trimCount == 4; } },
        { R"({"trimCount": ""})", false, [](auto& p) { return !p.trimCount.has_value(); } },
        { R"({"trimCount": "x"})", false, [](auto& p) { return !p.trimCount.has_value(); } },
        { R"({"trimCount": "99999999999999999999"})", false, [](auto& p) { return !p.trimCount.has_value(); } },
        { R"({"trimCount": 7})", false, [](auto& p) { return p.trimCount == 7; } },
        { R"({"trimCount": true})", true, {} },
        { R"({"numberStart": "12"})", true, {} },
        { R"({"numberStart": 1.5})", true, {} },
        { R"({"insertFindText": 1})", true, {} },
        { R"({"conversionType": "bogus"})", true, {} },
        { R"({"caseType": "uppercase"})", false, [](auto& p) { return p.conversionType == ConversionType::uppercase; } },
        { R"({"caseType": "uppercase", "conversionType": "lowercase"})", false,
            [](auto& p) { return p.conversionType == ConversionType::lowercase; } },
        { R"({"conversionLookup": [["a", 1]]})", true, {} },
        { R"({"conversionLookup": [["a", "b"], []]})", false,
            [](auto& p) { return p.conversionLookup == QList<QStringList> { { "a", "b" }, {} }; } },
        { R"({"somethingElse": 1, "caseScope": 3})", false, [](auto& p) { return p.simpleFindText == std::nullopt; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        if (c.fails) {
            EXPECT_THROW(TransformerProperties::fromJson(parse(c.json)), DecodingError);
        } else {
            const TransformerProperties p = TransformerProperties::fromJson(parse(c.json));
            EXPECT_TRUE(c.check(p));
        }
    }
}

TEST(TransformerPropertiesTest, AnEmptyObjectSetsFlagsFalseExceptTheFourUnsetOnes)
{
    const TransformerProperties decoded = TransformerProperties::fromJson(QJsonObject());
    EXPECT_EQ(decoded.simpleCaseInsensitive, false);
    EXPECT_EQ(decoded.setFindRegex, false);
    EXPECT_EQ(decoded.conversionLookupAnchorEnd, false);
    EXPECT_EQ(decoded.trimLeadingTrailingSpaces, false);
    EXPECT_EQ(decoded.numberResetEveryDirectoryChange, std::nullopt);
    EXPECT_EQ(decoded.numberRandom, std::nullopt);
    EXPECT_EQ(decoded.numberUpdateStart, std::nullopt);
    EXPECT_EQ(decoded.conversionLookupCaseInsensitive, std::nullopt);

    TransformerProperties fresh;
    EXPECT_FALSE(decoded == fresh);
    fresh.trimLeadingTrailingSpaces = false;
    EXPECT_TRUE(decoded == fresh);
}

TEST(TransformerPropertiesTest, TheStoredFormIsSparse)
{
    struct Case {
        const char* name;
        std::function<void(TransformerProperties&)> set;
        QStringList written;
        QStringList notWritten;
    };
    const TokenString twoEmpty(QList<TokenItem> { TokenItem::string(""), TokenItem::string("") });
    const Case cases[] = {
        { "find option without find text", [](auto& p) { p.insertFindText = ""; p.insertFindRegex = true; },
            {}, { "insertFindText", "insertFindRegex" } },
        { "find option with find text", [](auto& p) { p.insertFindText = "a"; p.insertFindRegex = true; },
            { "insertFindText", "insertFindRegex" }, {} },
        { "simple options stand alone", [](auto& p) { p.simpleFindText = ""; p.simpleWildcards = true; },
            { "simpleWildcards" }, { "simpleFindText" } },
        { "empty literal items", [&](auto& p) { p.simpleReplaceText = twoEmpty; }, {}, { "simpleReplaceText" } },
        { "no items", [](auto& p) { p.setText = TokenString(); }, {}, { "setText" } },
        { "one attribute token", [](auto& p) { p.simpleReplaceText = TokenString::attribute("kind"); },
            { "simpleReplaceText" }, {} },
        { "zero offset", [](auto& p) { p.insertOffset = 0; }, { "insertOffset" }, {} },
        { "false flag", [](auto& p) { p.numberRandom = false; p.simpleFindFirst = false; }, {},
            { "numberRandom", "simpleFindFirst" } },
        { "lookup options need the lookup conversion",
            [](auto& p) {
                p.conversionType = ConversionType::uppercase;
                p.conversionLookup = QList<QStringList> { { "a", "b" } };
                p.conversionLookupCaseInsensitive = true;
                p.conversionLookupAnchorStart = true;
            },
            { "conversionType" }, { "conversionLookup", "conversionLookupCaseInsensitive", "conversionLookupAnchorStart" } },
        { "lookup conversion",
            [](auto& p) {
                p.conversionType = ConversionType::lookup;
                p.conversionLookup = QList<QStringList> { { "a", "b" } };
                p.conversionLookupCaseInsensitive = true;
                p.conversionLookupAnchorStart = true;
            },
            { "conversionType", "conversionLookup", "conversionLookupCaseInsensitive", "conversionLookupAnchorStart" },
            { "conversionLookupAnchorEnd" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransformerProperties p;
        c.set(p);
        const QJsonObject json = p.toJson();
        for (const QString& key : c.written)
            EXPECT_TRUE(json.contains(key)) << key.toStdString();
        for (const QString& key : c.notWritten)
            EXPECT_FALSE(json.contains(key)) << key.toStdString();
        for (auto it = json.constBegin(); it != json.constEnd(); ++it)
            EXPECT_NE(it.value(), QJsonValue(false)) << it.key().toStdString();
    }
    TransformerProperties zero;
    zero.insertOffset = 0;
    EXPECT_EQ(zero.toJson().value("insertOffset"), QJsonValue(0));
}

TEST(TransformerPropertiesTest, CopyForAKindKeepsOnlyThatKindsFields)
{
    const TransformerProperties full = everyFieldSet();
    const TransformerProperties set = full.copy(TransformerType::set);
    EXPECT_EQ(set.setFindText, full.setFindText);
    EXPECT_EQ(set.setText, full.setText);
    EXPECT_EQ(set.setFindCaseInsensitive, true);
    EXPECT_EQ(set.simpleFindText, std::nullopt);
    EXPECT_EQ(set.simpleWildcards, false);
    EXPECT_EQ(set.conversionType, std::nullopt);

    // Every field belongs to exactly one kind: the kinds' copies written
    // together give back the whole record.
    QJsonObject merged;
    int written = 0;
    for (TransformerType type : allTransformerTypes()) {
        const QJsonObject part = full.copy(type).toJson();
        for (auto it = part.constBegin(); it != part.constEnd(); ++it) {
            if (it.key() == QLatin1String("conversionType") && it.value().isNull())
                continue;
            EXPECT_FALSE(merged.contains(it.key())) << it.key().toStdString();
            merged.insert(it.key(), it.value());
            ++written;
        }
    }
    EXPECT_EQ(written, 74);
    EXPECT_TRUE(TransformerProperties::fromJson(merged) == full);
}

TEST(TransformerPropertiesTest, EqualityTellsUnsetFromFalseEmptyAndZero)
{
    TransformerProperties a;
    TransformerProperties b;
    b.simpleFindText = "";
    EXPECT_FALSE(a == b);
    b = a;
    b.insertOffset = 0;
    EXPECT_FALSE(a == b);
    b = a;
    b.numberRandom = false;
    EXPECT_FALSE(a == b);
    b = a;
    b.prefixText = TokenString::string("x");
    a.prefixText = TokenString::string("x");
    EXPECT_TRUE(a == b);
    EXPECT_EQ(qHash(a), qHash(b));
}
