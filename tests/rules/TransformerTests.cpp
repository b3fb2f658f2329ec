// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/InsertTransformer.h"
#include "rules/PrefixTransformer.h"
#include "rules/SelectTransformer.h"
#include "rules/SetTransformer.h"
#include "rules/SimpleTransformer.h"
#include "rules/SuffixTransformer.h"
#include "rules/TransformScope+description.h"
#include "tokens/DecodingError.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSet>

#include <functional>
#include <vector>

TEST(TransformerTest, KindsAndScopesKeepTheirStoredNames)
{
    const QStringList typeNames { "simple", "insert", "prefix", "suffix", "set", "trim", "numbering", "conversion",
        "regularexpression", "select" };
    ASSERT_EQ(allTransformerTypes().size(), typeNames.size());
    for (qsizetype i = 0; i < typeNames.size(); ++i) {
        EXPECT_EQ(rawValue(allTransformerTypes()[i]), typeNames[i]);
        EXPECT_EQ(transformerTypeFromRawValue(typeNames[i]), allTransformerTypes()[i]);
    }
    EXPECT_EQ(transformerTypeFromRawValue("regex"), std::nullopt);
    EXPECT_EQ(transformerTypeFromRawValue("Simple"), std::nullopt);

    const QStringList scopeNames { "filename", "path", "extension", "fullpath" };
    const QStringList descriptions { "Filenames", "Paths", "Extensions", "Full Paths" };
    for (qsizetype i = 0; i < scopeNames.size(); ++i) {
        EXPECT_EQ(rawValue(allTransformScopes()[i]), scopeNames[i]);
        EXPECT_EQ(description(allTransformScopes()[i]), descriptions[i]);
    }
}

TEST(TransformerTest, EveryKindHasItsLabelsAndHelpText)
{
    struct Case {
        TransformerType type;
        const char* label;
        const char* help;
        const char* selector = nullptr; // the button label when the same
    };
    const Case cases[] = {
        { TransformerType::simple, "Replace",
            "This Rename-Action can be used to find some text and replace it with some other text.\n\nWhen using "
            "wildcards (*), the captured wildcard text can be used in Replace using $1, $2 etc. for each matched "
            "wildcard." },
        { TransformerType::insert, "Insert",
            "This Rename-Action can be used to insert some text in a Filename, Path or Extension." },
        { TransformerType::prefix, "Prefix",
            "This Rename-Action can be used to prefix some text to the beginning of a Filename, Path or Extension." },
        { TransformerType::suffix, "Suffix",
            "This Rename-Action can be used to append some text to the end of a Filename, Path or Extension." },
        { TransformerType::set, "Set", "This Rename-Action can be used to set the text of a Filename, Path or Extension." },
        { TransformerType::trim, "Trim",
            "This Rename-Action can be used to remove some text from a Filename, Path or Extension." },
        { TransformerType::numbering, "Number",
            "This Rename-Action can be used to add numbering to a Filename, Path or Extension.", "Numbering" },
        { TransformerType::conversion, "Convert",
            "This Rename-Action can be used to apply character conversions to a Filename, Path or Extension.",
            "Conversion" },
        { TransformerType::regex, "RegEx",
            "This Rename-Action can be used to find and replace text using Regular Expressions.\n\nCapture groups "
            "can be used in Replace as $1, $2 etc...",
            "Regular Expression" },
        { TransformerType::select, "Select",
            "This Rename-Action can be used to make a sub selection of files to which the Rename-Actions that follow "
            "will operate on." },
    };
    ASSERT_EQ(std::size(cases), allTransformerTypes().size());
    for (const Case& c : cases) {
        const Transformer rule = makeRule(c.type);
        const auto kind = rule.transformer();
        ASSERT_TRUE(kind) << c.label;
        EXPECT_EQ(kind->type(), c.type);
        EXPECT_EQ(kind->buttonLabel(), c.label);
        EXPECT_EQ(kind->selectorLabel(), c.selector ? c.selector : c.label);
        EXPECT_EQ(kind->helpText(), c.help);
        EXPECT_EQ(rule.buttonLabel(), c.label);
    }
    EXPECT_EQ(InsertTransformer::kLocationStart, "start");
    EXPECT_EQ(InsertTransformer::kLocationEnd, "end");
    EXPECT_EQ(SelectTransformer::kTypeSelectNotMatching, "notmatching");
}

TEST(TransformerTest, ANewRuleIsADefaultReplaceRule)
{
    const Transformer rule = Transformer::newTransformer();
    EXPECT_TRUE(rule.id.startsWith("transformer_"));
    EXPECT_EQ(rule.type, TransformerType::simple);
    EXPECT_EQ(rule.transformScope, TransformScope::filename);
    EXPECT_FALSE(rule.disabled);
    EXPECT_EQ(rule.description, std::nullopt);
    EXPECT_TRUE(rule.needsInitialSave);
    EXPECT_TRUE(rule.properties == TransformerProperties());
    EXPECT_EQ(rule.state.randomNumberGenerator.minimumCount, 1);
}

TEST(TransformerTest, IdsAreHexadecimalMillisecondsAndNeverRepeat)
{
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const QString first = Transformer::newId();
    const QString hex = first.mid(QStringLiteral("transformer_").size());
    EXPECT_EQ(hex, hex.toUpper());
    bool ok = false;
    EXPECT_GE(hex.toLongLong(&ok, 16), before);
    EXPECT_TRUE(ok);

    // Far more ids than milliseconds pass while they are made.
    QSet<QString> ids { first };
    for (int i = 0; i < 5000; ++i)
        ids.insert(Transformer::newTransformer().id);
    EXPECT_EQ(ids.size(), 5001);

    // Rules decoded without ids get new ones too.
    for (int i = 0; i < 100; ++i)
        ids.insert(Transformer::fromJson(R"({"type":"set","properties":{}})").id);
    EXPECT_EQ(ids.size(), 5101);
}

// No stored id, however crafted, is handed out again or stops new ids from
// being unique and following the clock.
TEST(TransformerTest, NewIdsStayClearOfDecodedIds)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QStringList stored = { "transformer_7FFFFFFFFFFFFFFF", "transformer_7FFFFFFFFFFFFFFE",
        "transformer_8000000000000000", "transformer_-1", "transformer_-8000000000000000",
        "transformer_FFFFFFFFFFFFFFFFFFFF", "transformer_99999999999999999999", "transformer_7fffffffffffffff",
        "transformer_XYZ", "transformer_", "transformer_0", "rule_1", "" };
    // The ids the clock is about to give, some read twice.
    for (qint64 ms = now; ms < now + 2000; ++ms)
        stored << "transformer_" + QString::number(ms, 16).toUpper();
    stored << stored.mid(0, 20);
    for (const QString& id : std::as_const(stored)) {
        const QString json = QStringLiteral(R"({"id":"%1","type":"set","properties":{}})").arg(id);
        EXPECT_EQ(Transformer::fromJson(json).id, id);
    }

    const QSet<QString> storedSet(stored.cbegin(), stored.cend());
    QSet<QString> made;
    for (int i = 0; i < 3000; ++i) {
        const QString id = Transformer::newId();
        EXPECT_FALSE(storedSet.contains(id)) << id.toStdString();
        made.insert(id);
    }
    EXPECT_EQ(made.size(), 3000);
    for (const QString& id : std::as_const(made)) {
        bool ok = false;
        EXPECT_GE(id.mid(12).toLongLong(&ok, 16), now) << id.toStdString();
        EXPECT_TRUE(ok) << id.toStdString();
    }
}

TEST(TransformerTest, DecodingFillsTheOptionalKeys)
{
    const Transformer rule = Transformer::fromJson(R"({"type":"set","properties":{}})");
    EXPECT_TRUE(rule.id.startsWith("transformer_"));
    EXPECT_EQ(rule.type, TransformerType::set);
    EXPECT_EQ(rule.transformScope, TransformScope::filename);
    EXPECT_FALSE(rule.disabled);
    EXPECT_EQ(rule.description, std::nullopt);
    EXPECT_TRUE(rule.needsInitialSave);

    const Transformer full = Transformer::fromJson(
        R"({"id":"transformer_1","type":"regularexpression","transformScope":"extension","disabled":true,)"
        R"("description":"note","properties":{"regexFindFirst":true}})");
    EXPECT_EQ(full.id, "transformer_1");
    EXPECT_EQ(full.type, TransformerType::regex);
    EXPECT_EQ(full.transformScope, TransformScope::ext);
    EXPECT_TRUE(full.disabled);
    EXPECT_EQ(full.description, "note");
    EXPECT_EQ(full.properties.regexFindFirst, true);
}

TEST(TransformerTest, MalformedRulesFailToDecode)
{
    const char* cases[] = {
        R"({"properties":{}})",
        R"({"type":"set"})",
        R"({"type":"rename","properties":{}})",
        R"({"type":"set","transformScope":"name","properties":{}})",
        R"({"type":"set","properties":[]})",
        R"({"type":"set","disabled":"yes","properties":{}})",
        R"({"type":"set","properties":{"insertText":5}})",
        R"(["type"])",
        R"({"type":)",
    };
    for (const char* json : cases)
        EXPECT_THROW(Transformer::fromJson(QString::fromUtf8(json)), DecodingError) << json;
}

TEST(TransformerTest, TextTheEncodingCannotCarryFailsWithTheJsonDecodingError)
{
    const QString loneSurrogate = QStringLiteral(R"({"type":"set","properties":{},"description":")") + QChar(0xD800)
        + QStringLiteral("\"}");
    try {
        Transformer::fromJson(loneSurrogate);
        FAIL() << "no error";
    } catch (const DecodingError& error) {
        EXPECT_TRUE(error.message().contains("JSONDecoding error 0"));
    }
    EXPECT_THROW(Transformer::fromJson(QStringLiteral(R"({"type":"set","properties":{},"description":"Ω"})"),
                     QStringConverter::Latin1),
        DecodingError);
    EXPECT_EQ(Transformer::fromJson(QStringLiteral(R"({"type":"set","properties":{},"description":"é"})"),
                  QStringConverter::Latin1)
                  .description,
        "é");
}

TEST(TransformerTest, EncodingLeavesOutDefaultsAndReadsBackEqual)
{
    Transformer rule = makeRule(TransformerType::prefix, [](auto& p) { p.prefixText = TokenString::string("new_"); });
    rule.description = "";
    QJsonObject json = rule.toJson();
    EXPECT_FALSE(json.contains("disabled"));
    EXPECT_FALSE(json.contains("description"));
    EXPECT_EQ(json.value("type"), "prefix");
    EXPECT_EQ(json.value("transformScope"), "filename");
    EXPECT_EQ(json.value("id"), rule.id);

    rule.disabled = true;
    rule.description = "why";
    rule.transformScope = TransformScope::fullPath;
    json = rule.toJson();
    EXPECT_EQ(json.value("disabled"), true);
    EXPECT_EQ(json.value("description"), "why");
    const Transformer decoded = Transformer::fromJsonData(QJsonDocument(json).toJson());
    EXPECT_TRUE(decoded == rule);
    EXPECT_EQ(qHash(decoded), qHash(rule));
}

TEST(TransformerTest, EqualityIgnoresOtherKindsFieldsAndRunState)
{
    Transformer a = makeRule(TransformerType::set, [](auto& p) { p.setText = TokenString::string("x"); });
    Transformer b = a;
    b.properties.simpleFindText = "left over";
    b.state.randomNumberGenerator = UniqueRandomNumberGenerator(42);
    b.needsInitialSave = false;
    EXPECT_TRUE(a == b);
    EXPECT_EQ(qHash(a), qHash(b));

    b = a;
    b.properties.setFindText = "x";
    EXPECT_FALSE(a == b);
    b = a;
    b.description = "";
    EXPECT_FALSE(a == b);
    b = a;
    b.id = Transformer::newId();
    EXPECT_FALSE(a == b);
    b = a;
    b.type = TransformerType::simple;
    EXPECT_FALSE(a == b);
}

TEST(TransformerTest, UsesFileAttributesLooksOnlyAtTheKindsInsertedText)
{
    const TokenString attribute = TokenString::attribute("date-modified");
    struct Case {
        TransformerType type;
        PropertiesSetter set;
        bool expected;
    };
    const Case cases[] = {
        { TransformerType::simple, [&](auto& p) { p.simpleReplaceText = attribute; }, true },
        { TransformerType::insert, [&](auto& p) { p.insertText = attribute; }, true },
        { TransformerType::prefix, [&](auto& p) { p.prefixText = attribute; }, true },
        { TransformerType::suffix, [&](auto& p) { p.suffixText = attribute; }, true },
        { TransformerType::set, [&](auto& p) { p.setText = attribute; }, true },
        { TransformerType::regex, [&](auto& p) { p.regexReplaceText = attribute; }, true },
        { TransformerType::regex, [&](auto& p) { p.regexFindText = attribute; }, false },
        { TransformerType::prefix, [&](auto& p) { p.suffixText = attribute; }, false },
        { TransformerType::prefix, [](auto& p) { p.prefixText = TokenString::string("date-modified"); }, false },
        { TransformerType::set, {}, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(makeRule(c.type, c.set).usesFileAttributes(), c.expected) << rawValue(c.type).toStdString();
}

TEST(TransformerTest, NumberingWithContinuedStart)
{
    EXPECT_FALSE(makeRule(TransformerType::numbering).isNumberingWithContinuedStart());
    EXPECT_TRUE(makeRule(TransformerType::numbering, [](auto& p) { p.numberUpdateStart = true; })
                    .isNumberingWithContinuedStart());
    EXPECT_FALSE(makeRule(TransformerType::numbering, [](auto& p) {
        p.numberUpdateStart = true;
        p.numberRandom = true;
    }).isNumberingWithContinuedStart());
    EXPECT_FALSE(makeRule(TransformerType::prefix, [](auto& p) { p.numberUpdateStart = true; })
                     .isNumberingWithContinuedStart());
}

// Which rules may run on many files at once: those whose result for a file
// comes from that file alone.
TEST(TransformerTest, OnlyRulesThatCarryNothingFromFileToFileDependOnTheirFileAlone)
{
    const TokenString plain = TokenString::string(QStringLiteral("x"));
    const TokenString withAttribute = plain + TokenItem::attribute(QStringLiteral("date-modified"));
    struct Case {
        const char* name;
        std::function<void(Transformer&)> make;
        bool alone;
    };
    const std::vector<Case> cases {
        { "plain prefix", [&](Transformer& r) { r.type = TransformerType::prefix; r.properties.prefixText = plain; }, true },
        { "prefix with an attribute", [&](Transformer& r) { r.type = TransformerType::prefix; r.properties.prefixText = withAttribute; }, false },
        { "set with an attribute", [&](Transformer& r) { r.type = TransformerType::set; r.properties.setText = withAttribute; }, false },
        { "attribute in a find text", [&](Transformer& r) { r.type = TransformerType::regex; r.properties.regexFindText = withAttribute; }, false },
        { "numbering", [](Transformer& r) { r.type = TransformerType::numbering; }, false },
        { "disabled numbering", [](Transformer& r) { r.type = TransformerType::numbering; r.disabled = true; }, true },
        { "conversion", [](Transformer& r) { r.type = TransformerType::conversion; }, true },
    };
    for (const Case& c : cases) {
        Transformer rule = Transformer::newTransformer();
        c.make(rule);
        EXPECT_EQ(rule.dependsOnItsFileAlone(), c.alone) << c.name;
    }
}
