// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/Recipe.h"
#include "tokens/DecodingError.h"
#include "tokens/TransformError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <limits>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// A name on which "(a+)+$" backtracks for ever without a time limit.
const QString kExplosive = QString(40, QLatin1Char('a')) + QLatin1Char('b');

QByteArray recipeOf(const QString& type, const QJsonObject& properties)
{
    const QJsonObject rule { { "id", "transformer_1" }, { "type", type }, { "properties", properties } };
    return QJsonDocument(QJsonObject { { "transformers", QJsonArray { rule } } }).toJson(QJsonDocument::Compact);
}

QJsonArray textOf(const QString& text)
{
    return QJsonArray { QJsonObject { { "string", text } } };
}

QJsonArray lookupRows(qsizetype count)
{
    QJsonArray rows;
    for (qsizetype i = 0; i < count; ++i)
        rows.append(QJsonArray { QStringLiteral("r%1").arg(i), QStringLiteral("x%1").arg(i) });
    return rows;
}

struct Outcome {
    QStringList names;
    QStringList errors;
};

// The preview of every file, then the full run, which ends at the first error.
std::pair<Outcome, Outcome> run(QList<Transformer> rules, const QStringList& names)
{
    Outcome preview;
    QList<File> files;
    for (const QString& name : names)
        files << makeFile("/data/" + name + ".txt");
    for (Transformer& rule : rules)
        rule.state.randomNumberGenerator = UniqueRandomNumberGenerator(files.size());
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    for (const File& file : files) {
        preview.names << newName(file);
        preview.errors << file.validation.errors.values().join(';');
    }
    Outcome full;
    FileIndex fullIndex;
    for (File& file : files) {
        file.resetTransformations();
        try {
            for (Transformer& rule : rules)
                rule.transform(file, fullIndex);
            full.names << newName(file);
        } catch (const TransformError& error) {
            full.errors << error.messageText() + ": " + error.informativeText();
            break;
        }
    }
    return { preview, full };
}

} // namespace

// Each recipe is refused whole with a message naming the fault, or its rule
// renames as it says: a pattern that backtracks for ever fails on that file
// with a time-out, whatever the rule searches for, the other files are
// renamed, and the full run stops at the failing file.
TEST_F(RulesTest, HostileRecipesAreRefusedOrRenameAsTheirRulesSay)
{
    const QString timedOut = "Regular expression error: The regular expression '(a+)+$' took too long to match";
    struct Case {
        const char* name;
        QByteArray recipe;
        QStringList files;
        QString loadError; // the recipe is refused with this in its message
        QStringList names; // in the preview
        QStringList errors; // of each file in the preview
        QString fullError; // the full run stops with it
    };
    const QString pad = QString(254, QLatin1Char('0'));
    const Case cases[] = {
        { "regular expression rule",
            recipeOf("regularexpression", { { "regexFindText", textOf("(a+)+$") }, { "regexReplaceText", textOf("x") } }),
            { "aa", kExplosive }, {}, { "x", kExplosive }, { "", timedOut }, timedOut },
        { "conversion find",
            recipeOf("conversion",
                { { "conversionType", "uppercase" }, { "conversionFindText", "(a+)+$" }, { "conversionFindRegex", true } }),
            { "aa", kExplosive }, {}, { "AA", kExplosive }, { "", timedOut }, timedOut },
        { "trim find", recipeOf("trim", { { "trimFindText", "(a+)+$" }, { "trimFindRegex", true } }), { kExplosive },
            {}, { kExplosive }, { timedOut }, timedOut },
        { "numbering find", recipeOf("numbering", { { "numberFindText", "(a+)+$" }, { "numberFindRegex", true } }),
            { kExplosive, "aa" }, {}, { kExplosive, "aa2" }, { timedOut, "" }, timedOut },
        { "insert find",
            recipeOf("insert", { { "insertFindText", "(a+)+$" }, { "insertFindRegex", true }, { "insertText", textOf("-") } }),
            { kExplosive, "aa" }, {}, { kExplosive, "aa-" }, { timedOut, "" }, timedOut },
        { "select match", recipeOf("select", { { "selectType", "matching" }, { "selectMatch", "(a+)+$" } }),
            { kExplosive }, {}, { kExplosive }, { timedOut }, timedOut },
        { "largest lookup table",
            recipeOf("conversion",
                { { "conversionType", "lookup" },
                    { "conversionLookup", lookupRows(TransformerProperties::MAX_LOOKUP_ROWS) } }),
            { "r5", "r99999" }, {}, { "x5", "x99999" }, { "", "" }, {} },
        { "lookup table over the limit",
            recipeOf("conversion",
                { { "conversionType", "lookup" },
                    { "conversionLookup", lookupRows(TransformerProperties::MAX_LOOKUP_ROWS + 1) } }),
            {}, "Rule 1 (conversion): The lookup table has 100001 rows, more than the 100000 a table may hold", {}, {},
            {} },
        { "repeat and reset below zero", recipeOf("numbering", { { "numberRepeatCount", kMin }, { "numberResetCount", kMin } }),
            { "f", "f", "f" }, {}, { "f1", "f2", "f3" }, { "", "", "" }, {} },
        { "repeat, reset and step at the top",
            recipeOf("numbering", { { "numberRepeatCount", kMax }, { "numberResetCount", kMax }, { "numberSkip", kMax } }),
            { "f", "f", "f" }, {}, { "f1", "f1", "f1" }, { "", "", "" }, {} },
        { "widest number", recipeOf("numbering", { { "numberDigits", kMax } }), { "f" }, {}, { "f" + pad + "1" }, { "" },
            {} },
        { "offset before the start", recipeOf("numbering", { { "numberPositionOffset", kMin } }), { "f" }, {}, { "1f" },
            { "" }, {} },
        { "offset after the end",
            recipeOf("numbering", { { "numberPositionOffset", kMax }, { "numberPosition", "start" } }), { "f" }, {},
            { "f1" }, { "" }, {} },
        { "start at the top", recipeOf("numbering", { { "numberStart", kMax } }), { "f", "f" }, {},
            { "f9223372036854775807", "f" }, { "", "Number out of range: " }, "Number out of range: " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<Recipe> recipe;
        try {
            recipe = Recipe::fromData(c.recipe);
            EXPECT_TRUE(c.loadError.isEmpty()) << "loaded";
        } catch (const DecodingError& error) {
            EXPECT_TRUE(!c.loadError.isEmpty() && error.message().contains(c.loadError)) << error.message().toStdString();
        }
        if (!recipe)
            continue;
        const auto [preview, full] = run(*recipe->transformers, c.files);
        EXPECT_EQ(preview.names, c.names);
        ASSERT_EQ(preview.errors.size(), c.errors.size());
        for (qsizetype i = 0; i < c.errors.size(); ++i) {
            if (c.errors[i].isEmpty())
                EXPECT_TRUE(preview.errors[i].isEmpty()) << preview.errors[i].toStdString();
            else
                EXPECT_TRUE(preview.errors[i].startsWith(c.errors[i])) << preview.errors[i].toStdString();
        }
        if (c.fullError.isEmpty()) {
            EXPECT_TRUE(full.errors.isEmpty()) << full.errors.join(';').toStdString();
            EXPECT_EQ(full.names, preview.names);
        } else {
            ASSERT_EQ(full.errors.size(), 1);
            EXPECT_TRUE(full.errors.first().startsWith(c.fullError)) << full.errors.first().toStdString();
        }
    }
}

// Random numbers in every format and at any width: no two files share a name,
// letters and numerals never show zero, and the width stays bounded.
TEST_F(RulesTest, RandomNumbersInEveryFormatGiveEveryFileItsOwnName)
{
    struct Case {
        const char* format;
        qint64 digits;
    };
    const Case cases[] = {
        { "roman", 9 }, { "roman", 5 }, { "roman", kMax }, { "alphabetical", kMax }, { "alphabetical", 1 },
        { "hexadecimal", kMax }, { "hexadecimal", 1 }, { "octal", kMin }, { "decimal", 19 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + std::to_string(c.digits));
        const Recipe recipe = Recipe::fromData(recipeOf("numbering",
            { { "numberRandom", true }, { "numberFormat", c.format }, { "numberDigits", c.digits },
                { "numberPosition", "start" } }));
        const auto [preview, full] = run(*recipe.transformers, QStringList(1000, "f"));
        EXPECT_EQ(QSet<QString>(preview.names.cbegin(), preview.names.cend()).size(), 1000);
        EXPECT_EQ(full.names, preview.names) << "each file keeps its number";
        for (const QString& name : preview.names) {
            const QString number = name.chopped(1).trimmed();
            ASSERT_FALSE(number.isEmpty());
            EXPECT_LE(name.size(), 1 + 255) << name.toStdString();
            if (QLatin1String(c.format) == QLatin1String("roman") || QLatin1String(c.format) == QLatin1String("alphabetical"))
                EXPECT_FALSE(number == "N" || number.startsWith('-')) << name.toStdString();
        }
    }
}
