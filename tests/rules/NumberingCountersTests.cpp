// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/FileIndex+counters.h"
#include "rules/UniqueRandomNumberGenerator.h"
#include "tokens/DecodingError.h"

#include <QJsonDocument>
#include <QSet>

#include <limits>

TEST(FileIndexTest, CountersStartAtZeroAndSaturate)
{
    FileIndex fileIndex;
    EXPECT_EQ(FileIndexCounters::value(fileIndex, "r"), 0);
    FileIndexCounters::increment(fileIndex, "r");
    EXPECT_EQ(FileIndexCounters::value(fileIndex, "r"), 1);
    EXPECT_EQ(FileIndexCounters::value(fileIndex, "other"), 0);
    FileIndexCounters::reset(fileIndex, "r");
    EXPECT_FALSE(fileIndex.index.contains("r"));

    FileIndexCounters::setValue(fileIndex, "r", std::numeric_limits<qint64>::max());
    FileIndexCounters::increment(fileIndex, "r");
    EXPECT_EQ(FileIndexCounters::value(fileIndex, "r"), std::numeric_limits<qint64>::max());
}

TEST(FileIndexTest, AChangeOfFolderIsSeenPerRule)
{
    FileIndex fileIndex;
    const File first = makeFile("/data/a/1.jpg");
    EXPECT_TRUE(FileIndexCounters::isDifferentDirectory(fileIndex, first, "r"));
    EXPECT_FALSE(FileIndexCounters::isDifferentDirectory(fileIndex, makeFile("/data/a/2.jpg"), "r"));
    EXPECT_TRUE(FileIndexCounters::isDifferentDirectory(fileIndex, first, "s"));
    EXPECT_TRUE(FileIndexCounters::isDifferentDirectory(fileIndex, makeFile("/data/b/3.jpg"), "r"));
    EXPECT_TRUE(FileIndexCounters::isDifferentDirectory(fileIndex, first, "r"));
}

TEST(FileIndexTest, UpdateIndexesKeepsTheContinuedNumberings)
{
    const Transformer continued = makeRule(TransformerType::numbering, [](auto& p) { p.numberUpdateStart = true; });
    const Transformer random = makeRule(TransformerType::numbering, [](auto& p) {
        p.numberUpdateStart = true;
        p.numberRandom = true;
    });
    const Transformer plain = makeRule(TransformerType::numbering);
    FileIndex fileIndex;
    for (const Transformer& rule : { continued, random, plain })
        FileIndexCounters::setValue(fileIndex, rule.id, 5);
    fileIndex.directoryHash.insert(plain.id, 9);
    FileIndexCounters::updateIndexes(fileIndex, { continued, random, plain });
    EXPECT_EQ(fileIndex.index.keys(), QList<QString> { continued.id });
    EXPECT_EQ(fileIndex.directoryHash.value(plain.id), 9);
}

TEST(FileIndexTest, StoredFormNeedsBothCounterObjects)
{
    FileIndex fileIndex;
    FileIndexCounters::setValue(fileIndex, "r", 3);
    fileIndex.directoryHash.insert("r", -12345678901234);
    const QJsonObject json = FileIndexCounters::toJson(fileIndex);
    EXPECT_EQ(FileIndexCounters::fromJson(json), fileIndex);
    EXPECT_EQ(FileIndexCounters::fromJson(QJsonDocument::fromJson(R"({"index":{},"directoryHash":{}})").object()),
        FileIndex());
    for (const char* text : { R"({"index":{}})", R"({"directoryHash":{}})", R"({"index":{"r":"3"},"directoryHash":{}})",
             R"({"index":[],"directoryHash":{}})" })
        EXPECT_THROW(FileIndexCounters::fromJson(QJsonDocument::fromJson(text).object()), DecodingError) << text;
}

TEST(UniqueRandomNumberGeneratorTest, TheRangeFitsTheDigitsAndTheNumberOfFiles)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    struct Case {
        qint64 digits, base, min, expected;
    };
    const Case cases[] = {
        { 2, 10, 150, 999 },
        { 1, 16, 1, 15 },
        { 3, 10, 5, 999 },
        { 0, 10, 1, 9 },
        { -4, 10, 1, 9 },
        { 2, 10, 100, 999 },
        { 2, 10, 99, 99 },
        { 18, 10, 1, 999999999999999999 },
        { 19, 10, 1, kMax },
        { 1000, 10, 1, kMax },
        { 1, 10, kMax, kMax },
        { 2, 1, 1, 3 },
        { 2, 0, 1, 3 },
        { 2, -7, 1, 3 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(UniqueRandomNumberGenerator::maxValue(c.digits, c.base, c.min), c.expected)
            << c.digits << " " << c.base << " " << c.min;
}

TEST(UniqueRandomNumberGeneratorTest, EveryFileKeepsItsOwnNumber)
{
    UniqueRandomNumberGenerator generator(150);
    QList<QUuid> ids;
    QSet<qint64> drawn;
    for (int i = 0; i < 150; ++i) {
        ids << QUuid::createUuid();
        const qint64 n = generator.number(ids.last(), 2, 10);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 999);
        drawn.insert(n);
    }
    EXPECT_EQ(drawn.size(), 150);
    const qint64 first = generator.numbers.value(ids.first());
    EXPECT_EQ(generator.number(ids.first(), 2, 10), first);
    EXPECT_EQ(generator.numbers.size(), 150);

    UniqueRandomNumberGenerator hexadecimal;
    EXPECT_EQ(hexadecimal.minimumCount, 1);
    QSet<qint64> small;
    for (int i = 0; i < 15; ++i) {
        const qint64 n = hexadecimal.number(QUuid::createUuid(), 1, 16);
        EXPECT_LE(n, 15);
        small.insert(n);
    }
    EXPECT_EQ(small.size(), 15);
}

TEST(UniqueRandomNumberGeneratorTest, HugeCountsStayWithinRange)
{
    UniqueRandomNumberGenerator generator(std::numeric_limits<qint64>::max());
    const qint64 n = generator.number(QUuid::createUuid(), 2, 10);
    EXPECT_GE(n, 0);
    EXPECT_EQ(generator.uniqueNumbers.size(), 1);
}
