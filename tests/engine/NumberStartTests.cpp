// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "engine/NumberStart.h"
#include "rules/FileIndex+counters.h"

#include <limits>

namespace {

Transformer numberingRule(std::optional<qint64> start, std::optional<qint64> skip, std::optional<qint64> repeat,
    std::optional<qint64> reset, std::optional<bool> updateStart = true, std::optional<bool> random = std::nullopt)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::numbering;
    rule.properties.numberStart = start;
    rule.properties.numberSkip = skip;
    rule.properties.numberRepeatCount = repeat;
    rule.properties.numberResetCount = reset;
    rule.properties.numberUpdateStart = updateStart;
    rule.properties.numberRandom = random;
    return rule;
}

} // namespace

// The start of the next run: start + skip × ((counter / repeat) mod reset).
TEST(NumberStartTest, TheNextStartGoesOnFromWhereTheNumberingEnded)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    struct Case {
        std::optional<qint64> start, skip, repeat, reset;
        qint64 counter;
        std::optional<qint64> expected;
    };
    const Case cases[] = {
        { 1, 1, std::nullopt, std::nullopt, 10, 11 },
        { std::nullopt, std::nullopt, std::nullopt, std::nullopt, 10, 11 }, // absent settings: 1, 1, 1, 0
        { 1, 1, 2, std::nullopt, 10, 6 },
        { 1, 1, std::nullopt, 4, 10, 3 },
        { 1, 1, 2, 4, 10, 2 },   // divided first, then the remainder
        { 5, 3, 1, 0, 10, 35 },  // repeat 1 and reset 0 change nothing
        { 100, -2, std::nullopt, std::nullopt, 10, 80 },
        { 1, 1, std::nullopt, std::nullopt, 0, 1 },
        { max, 1, std::nullopt, std::nullopt, 1, std::nullopt }, // does not fit
        { 0, max, std::nullopt, std::nullopt, 2, std::nullopt },
    };
    for (const Case& c : cases) {
        TransformerProperties properties;
        properties.numberStart = c.start;
        properties.numberSkip = c.skip;
        properties.numberRepeatCount = c.repeat;
        properties.numberResetCount = c.reset;
        EXPECT_EQ(NumberStart::advanced(properties, c.counter), c.expected)
            << "start " << c.start.value_or(-1) << " skip " << c.skip.value_or(-1) << " counter " << c.counter;
    }
}

TEST(NumberStartTest, OnlyRulesThatCarryTheirStartOnWithACounterAreUpdated)
{
    const Transformer carried = numberingRule(1, 1, std::nullopt, std::nullopt);
    const Transformer random = numberingRule(1, 1, std::nullopt, std::nullopt, true, true);
    const Transformer notCarried = numberingRule(1, 1, std::nullopt, std::nullopt, false);
    const Transformer unset = numberingRule(1, 1, std::nullopt, std::nullopt, std::nullopt);
    const Transformer withoutCounter = numberingRule(1, 1, std::nullopt, std::nullopt);
    const Transformer overflowing = numberingRule(std::numeric_limits<qint64>::max(), 1, std::nullopt, std::nullopt);
    FileIndex fileIndex;
    for (const Transformer& rule : { carried, random, notCarried, unset, overflowing })
        FileIndexCounters::setValue(fileIndex, rule.id, 10);

    const QList<NumberStartUpdate> updates = NumberStart::updatesAfterRun(
        { carried, random, notCarried, unset, withoutCounter, overflowing }, fileIndex);
    EXPECT_EQ(updates, QList<NumberStartUpdate>({ { carried.id, 1, 11 } }));
}

TEST(NumberStartTest, AStartChangedSinceTheRunReadItIsKept)
{
    Transformers transformers;
    Transformer kept = numberingRule(1, 1, std::nullopt, std::nullopt);
    Transformer edited = numberingRule(1, 1, std::nullopt, std::nullopt);
    transformers.replaceTransformers({ kept, edited });
    edited.properties.numberStart = 50; // the user's edit while the run went on
    transformers.updateTransformers({ edited });

    NumberStart::apply(transformers, { { kept.id, 1, 11 }, { edited.id, 1, 11 }, { QStringLiteral("gone"), 1, 11 } });
    EXPECT_EQ(transformers.transformer(kept.id)->properties.numberStart, 11);
    EXPECT_EQ(transformers.transformer(edited.id)->properties.numberStart, 50);
    EXPECT_EQ(transformers.count(), 2);
}
