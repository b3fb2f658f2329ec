// SPDX-License-Identifier: GPL-3.0-or-later
#include "PropertiesFixtures.h"
#include "rules/Recipe.h"

#include "tokens/DecodingError.h"

#include <QFile>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#ifndef BF_GOLDEN_DIR
#error "BF_GOLDEN_DIR names the folder of the golden recipes"
#endif

namespace {

QString goldenPath(const QString& name)
{
    return QStringLiteral(BF_GOLDEN_DIR "/") + name;
}

Recipe readGolden(const QString& name)
{
    return Recipe::fromURL(QUrl::fromLocalFile(goldenPath(name)));
}

const Transformer& ruleAt(const Recipe& recipe, qsizetype index)
{
    return recipe.transformers->at(index);
}

// Every field of every kind holds a value the stored form keeps; each rule
// keeps its own kind's part when saved.
TransformerProperties everyField()
{
    TokenItem date = TokenItem::attribute(QStringLiteral("date-modified"));
    date.dateFormat = QStringLiteral("yyyy/MM/dd");
    date.timeZone = QStringLiteral("Europe/Berlin");
    date.prefix = QStringLiteral("(");
    date.suffix = QStringLiteral(")");
    TransformerProperties p = everyPropertySet(TokenString::string(QStringLiteral("x/y ")) + date);
    // Values that test the writer: a number beyond a double's integers, a
    // negative one, texts with an accent and a slash.
    p.numberFormat = "hexadecimal";
    p.numberStart = 9007199254740993LL;
    p.numberSkip = -2;
    p.conversionLookup = QList<QStringList> { { "a", "b" }, { QString::fromUtf8("é"), "/" } };
    p.trimPosition = "aroundeach";
    p.trimMatch = "keepanyof";
    return p;
}

// A recipe as saving makes it: one rule of each kind, each scope in turn.
Recipe allKinds()
{
    const TransformScope scopes[] = { TransformScope::filename, TransformScope::path, TransformScope::ext,
        TransformScope::fullPath };
    QList<Transformer> rules;
    int n = 0;
    for (TransformerType type : allTransformerTypes()) {
        Transformer rule;
        rule.id = QStringLiteral("transformer_") + QStringLiteral("190000000%1").arg(n, 2, 16, QLatin1Char('0')).toUpper();
        rule.type = type;
        rule.transformScope = scopes[n % 4];
        rule.disabled = n % 3 == 1;
        if (n % 2 == 0)
            rule.description = QStringLiteral("rule %1: \"%2\"").arg(n).arg(rawValue(type));
        rule.properties = everyField().copy(type);
        rules << rule;
        ++n;
    }
    Recipe recipe;
    recipe.recipeFormatVersion = QStringLiteral("9.1");
    recipe.transformers = rules;
    recipe.sortOrder = FileSortOrder::byNumericTransformedNameDescending;
    return recipe;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

TEST(Recipe, AnEmptyObjectIsARecipeWithNothingSet)
{
    const Recipe recipe = Recipe::fromData("{}");
    EXPECT_FALSE(recipe.recipeFormatVersion.has_value());
    EXPECT_FALSE(recipe.transformers.has_value());
    EXPECT_FALSE(recipe.sortOrder.has_value());
    EXPECT_TRUE(recipe.isSupportedFormat());
    EXPECT_EQ(Recipe().getData(), QByteArray("{}"));
}

TEST(Recipe, TheFormatCheckRefusesOnlyNewerVersions)
{
    for (const char* version : { "9.1", "9.0", "8.0", "9.1.0", "9.01", "abc", "" }) {
        Recipe recipe;
        recipe.recipeFormatVersion = QString::fromLatin1(version);
        EXPECT_TRUE(recipe.isSupportedFormat()) << version;
    }
    for (const char* version : { "9.1.1", "9.10", "9.2", "10.0", "10" }) {
        Recipe recipe;
        recipe.recipeFormatVersion = QString::fromLatin1(version);
        EXPECT_FALSE(recipe.isSupportedFormat()) << version;
    }
}

TEST(Recipe, AnythingMalformedFailsTheWholeRecipe)
{
    const char* cases[] = {
        "",
        "not json",
        "[]",
        R"({"recipe_format_version": 9.1})",
        R"({"sortOrder": "bySize"})",
        R"({"transformers": {}})",
        R"({"transformers": [1]})",
        R"({"transformers": [{"type": "simple"}]})",
        R"({"transformers": [{"properties": {}}]})",
        R"({"transformers": [{"type": "rename", "properties": {}}]})",
        R"({"transformers": [{"type": "simple", "transformScope": "name", "properties": {}}]})",
        R"({"transformers": [{"type": "conversion", "properties": {"conversionType": "shout"}}]})",
        R"({"transformers": [{"type": "simple", "properties": {}}, {"type": "numbering", "properties": {"numberLocationOffset": "2"}}]})",
        R"({"transformers": [{"type": "numbering", "properties": {"numberDigitText": 3}}]})",
        R"({"transformers": [{"type": "numbering", "properties": {"numberResetEvery": "1", "numberResetEveryText": "2"}}]})",
        R"({"transformers": [{"type": "insert", "properties": {"insertMatch": 5}}]})",
    };
    for (const char* json : cases) {
        SCOPED_TRACE(json);
        try {
            Recipe::fromData(QByteArray(json));
            ADD_FAILURE() << "read without an error";
        } catch (const DecodingError& error) {
            EXPECT_TRUE(error.message().startsWith(
                QStringLiteral("The data couldn’t be read because it isn’t in the correct format.")))
                << error.message().toStdString();
        }
    }
}

TEST(Recipe, AnUnreadableTokenTextRefusesTheRecipeNamingTheRuleAndKey)
{
    struct Case {
        const char* type;
        const char* key;
    };
    const Case cases[] = {
        { "simple", "simpleReplaceText" },
        { "regularexpression", "regexFindText" },
        { "regularexpression", "regexReplaceText" },
        { "insert", "insertText" },
        { "prefix", "prefixText" },
        { "suffix", "suffixText" },
        { "set", "setText" },
    };
    const QStringList values {
        R"([{"type": "future-kind", "value": "x"}])",
        R"([{"string": "a"}, 5])",
        R"({"properties": [{"type": "future-kind", "value": "x"}]})",
        "7",
    };
    for (const Case& c : cases) {
        for (const QString& value : values) {
            const QString json = QStringLiteral(
                R"({"transformers": [{"type": "trim", "properties": {}}, {"type": "%1", "properties": {"%2": %3}}]})")
                                     .arg(c.type, c.key, value);
            SCOPED_TRACE(json.toStdString());
            try {
                Recipe::fromData(json.toUtf8());
                ADD_FAILURE() << "read without an error";
            } catch (const DecodingError& error) {
                EXPECT_TRUE(error.message().contains(QStringLiteral("Rule 2 (%1): ").arg(c.type)))
                    << error.message().toStdString();
                EXPECT_TRUE(error.message().contains(QStringLiteral("for key \"%1\"").arg(c.key)))
                    << error.message().toStdString();
            }
        }
    }
}

TEST(Recipe, TextTheEncodingCannotCarryFails)
{
    EXPECT_THROW(Recipe::fromText(QString::fromUtf8("{\"sortOrder\": \"é\"}"), QStringConverter::Latin1), DecodingError);
    EXPECT_THROW(Recipe::fromText(QString::fromUtf8("{\"x\": \"€\"}"), QStringConverter::Latin1), DecodingError);
    EXPECT_EQ(Recipe::fromText(QStringLiteral("{\"sortOrder\": \"none\"}")).sortOrder, FileSortOrder::none);
}

TEST(Recipe, AMissingOrUnreadableFileFailsWithItsReason)
{
    try {
        Recipe::fromURL(QUrl::fromLocalFile(goldenPath(QStringLiteral("absent.recipe"))));
        ADD_FAILURE() << "read without an error";
    } catch (const DecodingError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("absent.recipe"))) << error.message().toStdString();
    }
}

// Version 8.0 kept the conversion in "caseType", finds in "caseMatch" or
// "conversionMatch", positions in "…Location" and the old trim match names.
TEST(Recipe, A80RecipeReadsToTheCurrentFields)
{
    const Recipe recipe = readGolden(QStringLiteral("format-8.0.recipe"));
    EXPECT_EQ(recipe.recipeFormatVersion, QStringLiteral("8.0"));
    EXPECT_TRUE(recipe.isSupportedFormat());
    EXPECT_EQ(recipe.sortOrder, FileSortOrder::byNameAscending);
    ASSERT_TRUE(recipe.transformers);
    ASSERT_EQ(recipe.transformers->size(), 8);

    const auto& caseMatch = ruleAt(recipe, 0);
    EXPECT_EQ(caseMatch.id, "transformer_18A0000000A");
    EXPECT_EQ(caseMatch.type, TransformerType::conversion);
    EXPECT_EQ(caseMatch.properties.conversionType, ConversionType::uppercase);
    EXPECT_EQ(caseMatch.properties.conversionFindText, "abc");

    const auto& conversionMatch = ruleAt(recipe, 1);
    EXPECT_EQ(conversionMatch.properties.conversionType, ConversionType::lowercase);
    EXPECT_EQ(conversionMatch.properties.conversionFindText, "x*");

    const auto& trimLocation = ruleAt(recipe, 2);
    EXPECT_EQ(trimLocation.transformScope, TransformScope::ext);
    EXPECT_EQ(trimLocation.properties.trimPosition, "end");
    EXPECT_EQ(trimLocation.properties.trimMatch, "trimanyof");
    EXPECT_EQ(trimLocation.properties.trimCharacters, "-_");

    const auto& trimPosition = ruleAt(recipe, 3);
    EXPECT_EQ(trimPosition.properties.trimPosition, "around");
    EXPECT_EQ(trimPosition.properties.trimMatch, "keepany");

    const auto& numberLocation = ruleAt(recipe, 4);
    EXPECT_TRUE(numberLocation.disabled);
    EXPECT_EQ(numberLocation.description, "old numbers");
    EXPECT_EQ(numberLocation.properties.numberPosition, "start");
    EXPECT_EQ(numberLocation.properties.numberPositionOffset, 2);
    EXPECT_EQ(numberLocation.properties.numberDigits, 3);

    EXPECT_EQ(ruleAt(recipe, 5).properties.numberPosition, "beginning");

    const auto& insertMatch = ruleAt(recipe, 6).properties;
    EXPECT_EQ(ruleAt(recipe, 6).transformScope, TransformScope::path);
    EXPECT_EQ(insertMatch.insertFindText, "[0-9]+");
    EXPECT_EQ(insertMatch.insertFindRegex, true);
    EXPECT_EQ(insertMatch.insertFindWildcards, false);
    EXPECT_EQ(insertMatch.insertFindCaseInsensitive, false);
    EXPECT_EQ(insertMatch.insertFindFirst, true);
    EXPECT_EQ(insertMatch.insertPosition, "start");
    EXPECT_EQ(insertMatch.insertText, TokenString::string("n"));

    const auto& emptyInsertMatch = ruleAt(recipe, 7).properties;
    EXPECT_FALSE(emptyInsertMatch.insertFindText.has_value());
    EXPECT_EQ(emptyInsertMatch.insertFindWildcards, true);
    EXPECT_EQ(emptyInsertMatch.insertFindRegex, false);
}

// Version 9.0 kept numbering counts as texts; they win over the current keys.
TEST(Recipe, A90RecipeReadsToTheCurrentFields)
{
    const Recipe recipe = readGolden(QStringLiteral("format-9.0.recipe"));
    EXPECT_EQ(recipe.recipeFormatVersion, QStringLiteral("9.0"));
    EXPECT_EQ(recipe.sortOrder, FileSortOrder::none);
    ASSERT_TRUE(recipe.transformers);
    ASSERT_EQ(recipe.transformers->size(), 3);

    const auto& texts = ruleAt(recipe, 0).properties;
    EXPECT_EQ(texts.numberDigits, 3);
    EXPECT_EQ(texts.numberStart, 1);
    EXPECT_EQ(texts.numberSkip, 1);
    EXPECT_EQ(texts.numberResetCount, 0);
    EXPECT_EQ(texts.numberPosition, "end");
    EXPECT_EQ(texts.numberFormat, "decimal");

    const auto& signs = ruleAt(recipe, 1).properties;
    EXPECT_EQ(signs.numberStart, -20);
    EXPECT_EQ(signs.numberSkip, 4);
    EXPECT_EQ(signs.numberResetCount, 9);
    EXPECT_FALSE(signs.numberDigits.has_value());

    const auto& resetEvery = ruleAt(recipe, 2).properties;
    EXPECT_EQ(resetEvery.numberResetCount, 12);
    EXPECT_EQ(resetEvery.numberDigits, 1);
}

// The legacy keys are converted whatever version the recipe names.
TEST(Recipe, A91RecipeWithLegacyKeysReadsToTheCurrentFields)
{
    const Recipe recipe = readGolden(QStringLiteral("format-9.1-legacy.recipe"));
    EXPECT_EQ(recipe.sortOrder, FileSortOrder::byDateModifiedDescending);
    ASSERT_TRUE(recipe.transformers);
    ASSERT_EQ(recipe.transformers->size(), 4);

    const auto& both = ruleAt(recipe, 0);
    EXPECT_EQ(both.transformScope, TransformScope::fullPath);
    EXPECT_EQ(both.properties.conversionType, ConversionType::capitalizeall);
    EXPECT_EQ(both.properties.conversionFindText, "*.jpg");
    EXPECT_EQ(both.properties.conversionFindWildcards, true);
    EXPECT_EQ(ruleAt(recipe, 1).properties.conversionType, ConversionType::removediacritics);
    EXPECT_EQ(ruleAt(recipe, 2).properties.simpleFindText, "a/b");
    EXPECT_EQ(ruleAt(recipe, 2).properties.simpleReplaceText, TokenString::string("c"));
    const auto& trim = ruleAt(recipe, 3).properties;
    EXPECT_EQ(trim.trimMatch, "trimanyexcept");
    EXPECT_EQ(trim.trimPosition, "around");
    EXPECT_EQ(trim.trimCount, 2);
}

// Written again, an old recipe holds only current keys.
TEST(Recipe, OldKeysAreNeverWritten)
{
    for (const char* name : { "format-8.0.recipe", "format-9.0.recipe", "format-9.1-legacy.recipe" }) {
        SCOPED_TRACE(name);
        Recipe recipe = readGolden(QString::fromLatin1(name));
        recipe.recipeFormatVersion = Recipe::RECIPE_FORMAT_VERSION.description();
        const QByteArray data = recipe.getData();
        for (const QString& legacy : TransformerProperties::legacyKeys())
            EXPECT_FALSE(data.contains("\"" + legacy.toUtf8() + "\"")) << legacy.toStdString();
        // What was converted is kept under the current keys.
        const Recipe reread = Recipe::fromData(data);
        ASSERT_EQ(reread.transformers->size(), recipe.transformers->size());
        for (qsizetype i = 0; i < reread.transformers->size(); ++i) {
            const Transformer& rule = recipe.transformers->at(i);
            EXPECT_EQ(reread.transformers->at(i).properties.toJson(), rule.properties.toJson()) << i;
        }
        EXPECT_EQ(reread.sortOrder, recipe.sortOrder);
        EXPECT_EQ(reread.getData(), data);
    }
}

// One rule of every kind with every field of its kind: the bytes are the
// golden file's (sorted keys, compact, escaped slashes), and they read back
// to the same rules. BF_UPDATE_GOLDEN=1 rewrites the file.
TEST(Recipe, AllTenKindsWriteStableBytesAndReadBackEqual)
{
    const Recipe recipe = allKinds();
    const QByteArray data = recipe.getData();
    const QString path = goldenPath(QStringLiteral("all-kinds.recipe"));
    if (qEnvironmentVariableIsSet("BF_UPDATE_GOLDEN")) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    const QByteArray golden = readBytes(path);
    EXPECT_EQ(data.toStdString(), golden.toStdString());

    // Compact: the text is what a compact writer gives, no whitespace between tokens.
    EXPECT_EQ(QJsonDocument::fromJson(data).toJson(QJsonDocument::Compact).replace("/", "\\/"), data);
    EXPECT_FALSE(data.contains('\n'));
    EXPECT_TRUE(data.contains("x\\/y"));
    EXPECT_FALSE(data.contains("x/y"));

    const Recipe reread = Recipe::fromData(golden);
    ASSERT_TRUE(reread.transformers);
    ASSERT_EQ(reread.transformers->size(), 10);
    EXPECT_EQ(reread.recipeFormatVersion, "9.1");
    EXPECT_EQ(reread.sortOrder, FileSortOrder::byNumericTransformedNameDescending);
    for (qsizetype i = 0; i < 10; ++i) {
        const Transformer& expected = recipe.transformers->at(i);
        const Transformer& read = reread.transformers->at(i);
        SCOPED_TRACE(rawValue(expected.type).toStdString());
        EXPECT_TRUE(read == expected);
        // Every kind read from a recipe can run.
        const auto kind = read.transformer();
        ASSERT_NE(kind, nullptr);
        EXPECT_EQ(kind->type(), read.type);
        EXPECT_EQ(read.properties.copy(read.type), expected.properties);
    }
    EXPECT_EQ(reread.getData(), golden);
    // The big start number stays exact: it is beyond a double's integers.
    EXPECT_TRUE(golden.contains("\"numberStart\":9007199254740993"));
}

struct IntegerField {
    const char* name;
    TransformerType type;
    std::optional<qint64> TransformerProperties::*member;
};

template <typename Storage, typename Member>
void addIfInteger(std::vector<IntegerField>& fields, const char* name, TransformerType type, Member member)
{
    if constexpr (std::is_same_v<Storage, PropertyField::Int> || std::is_same_v<Storage, PropertyField::LenientInt>)
        fields.push_back({ name, type, member });
}

// Every integer field keeps any 64-bit value through a saved recipe's bytes,
// also those a double cannot hold.
TEST(Recipe, EveryIntegerFieldReadsBackExactlyAtItsLimits)
{
    std::vector<IntegerField> fields;
#define BF_ADD_INTEGER_FIELD(kind, storage, name) \
    addIfInteger<PropertyField::storage>(fields, #name, TransformerType::kind, &TransformerProperties::name);
    BF_TRANSFORMER_PROPERTIES(BF_ADD_INTEGER_FIELD)
#undef BF_ADD_INTEGER_FIELD
    ASSERT_FALSE(fields.empty());

    const qint64 values[] = { std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::min() + 1,
        std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max() - 1, 0, -1,
        (Q_INT64_C(1) << 53) + 1, -(Q_INT64_C(1) << 53) - 1 };
    for (const IntegerField& field : fields) {
        for (const qint64 value : values) {
            SCOPED_TRACE(std::string(field.name) + " = " + std::to_string(value));
            Transformer rule = Transformer::newTransformer();
            rule.type = field.type;
            rule.properties.*field.member = value;
            Recipe recipe;
            recipe.recipeFormatVersion = Recipe::RECIPE_FORMAT_VERSION.description();
            recipe.transformers = QList<Transformer> { rule };
            const QByteArray data = recipe.getData();
            EXPECT_TRUE(data.contains("\"" + QByteArray(field.name) + "\":" + QByteArray::number(value)));

            const Recipe reread = Recipe::fromData(data);
            ASSERT_TRUE(reread.transformers);
            ASSERT_EQ(reread.transformers->size(), 1);
            EXPECT_EQ(reread.transformers->at(0).properties.*field.member, value);
            EXPECT_EQ(reread.getData(), data);
        }
    }
}

// Keys come sorted at every level, whatever order the reader met them in.
TEST(Recipe, KeysAreSortedAtEveryLevel)
{
    const QByteArray data = allKinds().getData();
    const QJsonDocument document = QJsonDocument::fromJson(data);
    ASSERT_TRUE(document.isObject());
    std::function<void(const QJsonValue&)> check = [&](const QJsonValue& value) {
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            QStringList keys = object.keys();
            QStringList sorted = keys;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(keys, sorted);
            for (const QString& key : keys)
                check(object.value(key));
        } else if (value.isArray()) {
            for (const QJsonValue& item : value.toArray())
                check(item);
        }
    };
    check(document.object());
    // And in the bytes: the top-level keys in this order.
    const qsizetype version = data.indexOf("\"recipe_format_version\"");
    const qsizetype sort = data.indexOf("\"sortOrder\"");
    const qsizetype rules = data.indexOf("\"transformers\"");
    EXPECT_TRUE(version >= 0 && version < sort && sort < rules);
    const QByteArray rule = data.mid(data.indexOf("[{") + 1, 400);
    EXPECT_TRUE(rule.indexOf("\"description\"") < rule.indexOf("\"id\""));
    EXPECT_TRUE(rule.indexOf("\"id\"") < rule.indexOf("\"properties\""));
    EXPECT_TRUE(rule.indexOf("\"properties\"") < rule.indexOf("\"transformScope\""));
}
