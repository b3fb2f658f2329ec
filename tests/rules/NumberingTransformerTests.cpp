// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"

#include "rules/FileIndex+counters.h"
#include "rules/NumberingTransformer.h"

#include <QSet>

#include <limits>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

// New names of the files after one preview of the rules.
QStringList preview(QList<Transformer> rules, QList<File>& files)
{
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    QStringList names;
    for (const File& file : files)
        names << newName(file);
    return names;
}

QList<File> filesNamed(const QStringList& names, const QString& folder = QStringLiteral("/data"))
{
    QList<File> files;
    for (const QString& name : names)
        files << makeFile(folder + "/" + name + ".txt");
    return files;
}

} // namespace

TEST_F(RulesTest, NumberingFormatsTheSequenceOfTheFilesInListOrder)
{
    struct Case {
        const char* label;
        std::optional<QString> format;
        std::optional<qint64> digits, start, skip, repeat, reset;
        QStringList expected; // the numbers of six files
    };
    const Case cases[] = {
        { "defaults", {}, {}, {}, {}, {}, {}, { "1", "2", "3", "4", "5", "6" } },
        { "decimal width 3", "decimal", 3, {}, {}, {}, {}, { "001", "002", "003", "004", "005", "006" } },
        { "unknown format", "octal", 2, 8, {}, {}, {}, { "08", "09", "10", "11", "12", "13" } },
        { "hexadecimal width 3", "hexadecimal", 3, 254, {}, {}, {}, { "0FE", "0FF", "100", "101", "102", "103" } },
        { "alphabetical", "alphabetical", {}, 25, {}, {}, {}, { "y", "z", "aa", "ab", "ac", "ad" } },
        { "alphabetical width 3", "alphabetical", 3, 1, 27, {}, {}, { "  a", " ab", " bc", " cd", " de", " ef" } },
        { "roman", "roman", {}, 1994, {}, {}, {}, { "MCMXCIV", "MCMXCV", "MCMXCVI", "MCMXCVII", "MCMXCVIII", "MCMXCIX" } },
        { "roman from 0", "roman", {}, 0, {}, {}, {}, { "N", "I", "II", "III", "IV", "V" } },
        { "alphabetical from 0", "alphabetical", {}, 0, {}, {}, {}, { "-a", "a", "b", "c", "d", "e" } },
        { "step 2 repeat 2 reset 3", {}, {}, 1, 2, 2, 3, { "1", "1", "3", "3", "5", "5" } },
        { "repeat 3", {}, {}, 10, 10, 3, {}, { "10", "10", "10", "20", "20", "20" } },
        { "reset 4", {}, {}, {}, {}, {}, 4, { "1", "2", "3", "4", "1", "2" } },
        { "repeat 0 and reset 0 are off", {}, {}, {}, {}, 0, 0, { "1", "2", "3", "4", "5", "6" } },
        { "counting down", {}, 2, 2, -1, {}, {}, { "02", "01", "00", "-01", "-02", "-03" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QList<File> files = filesNamed({ "f", "f", "f", "f", "f", "f" });
        const Transformer rule = makeRule(TransformerType::numbering, [&](TransformerProperties& p) {
            p.numberFormat = c.format;
            p.numberDigits = c.digits;
            p.numberStart = c.start;
            p.numberSkip = c.skip;
            p.numberRepeatCount = c.repeat;
            p.numberResetCount = c.reset;
        });
        QStringList expected;
        for (const QString& number : c.expected)
            expected << "f" + number;
        EXPECT_EQ(preview({ rule }, files), expected);
    }
}

TEST_F(RulesTest, NumberingRestartsInEachFolderByTheFoldersOnDisk)
{
    QList<File> files;
    for (const char* path : { "/a/x.txt", "/a/y.txt", "/b/x.txt", "/b/y.txt", "/b/z.txt", "/a/z.txt" })
        files << makeFile(path);
    // A path rule earlier in the list does not change which folder a file counts in.
    const Transformer movePath = makeRule(TransformerType::simple, [](auto& p) {
        p.simpleFindText = "b";
        p.simpleReplaceText = TokenString::string("a");
    }, TransformScope::path);
    const auto numbering = [](bool reset) {
        return makeRule(TransformerType::numbering, [=](auto& p) {
            p.numberResetEveryDirectoryChange = reset;
            p.numberRepeatCount = 2;
        });
    };
    QList<File> copy = files;
    EXPECT_EQ(preview({ movePath, numbering(true) }, copy), QStringList({ "x1", "y1", "x1", "y1", "z2", "z1" }));
    copy = files;
    EXPECT_EQ(preview({ movePath, numbering(false) }, copy), QStringList({ "x1", "y1", "x2", "y2", "z3", "z3" }));
}

TEST_F(RulesTest, NumberingInsertsAtEachMatchOfItsFind)
{
    struct Case {
        QString find;
        bool regex;
        bool findFirst;
        std::optional<QString> position;
        std::optional<qint64> offset;
        QString separator;
        QStringList names;
        QStringList expected;
    };
    const Case cases[] = {
        { "", false, false, "start", {}, "-", { "a", "b" }, { "1-a", "2-b" } },
        { "", false, false, "end", {}, "-", { "a", "b" }, { "a-1", "b-2" } },
        { "", false, false, "start", 1, "", { "😀x", "ab" }, { "😀1x", "a2b" } },
        { "", false, false, "end", -1, "", { "ab", "e\u0301c" }, { "a1b", "e\u03012c" } },
        { "", false, false, "end", kMax, "", { "ab" }, { "ab1" } },
        // The same number at every match; a file without a match uses none up.
        { "a", false, false, "end", {}, "", { "banana", "xyz", "cat" }, { "ba1na1na1", "xyz", "ca2t" } },
        { "a", false, true, "start", {}, "_", { "banana", "xyz", "cat" }, { "b1_anana", "xyz", "c2_at" } },
        { "[0-9]+", true, false, "end", {}, "#", { "a12b3" }, { "a12#1b3#1" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + " in " + c.names.join(",")).toStdString());
        QList<File> files = filesNamed(c.names);
        const Transformer rule = makeRule(TransformerType::numbering, [&](TransformerProperties& p) {
            p.numberFindText = c.find;
            p.numberFindRegex = c.regex;
            p.numberFindFirst = c.findFirst;
            p.numberPosition = c.position;
            p.numberPositionOffset = c.offset;
            p.numberSeparatorText = c.separator;
        });
        EXPECT_EQ(preview({ rule }, files), c.expected);
    }
}

TEST_F(RulesTest, RandomNumbersDifferAndStayWithTheirFiles)
{
    QStringList names;
    for (int i = 0; i < 150; ++i)
        names << QStringLiteral("f");
    QList<File> files = filesNamed(names);
    QList<Transformer> rules { makeRule(TransformerType::numbering, [](auto& p) {
        p.numberRandom = true;
        p.numberDigits = 2;
        p.numberSeparatorText = "_";
    }) };
    rules[0].state.randomNumberGenerator = UniqueRandomNumberGenerator(150);
    FileIndex fileIndex;
    previewRules(rules, files, fileIndex);
    QSet<qint64> numbers;
    QStringList first;
    for (const File& file : files) {
        const qint64 n = newName(file).mid(2).toLongLong();
        EXPECT_TRUE(n >= 0 && n <= 999) << n;
        numbers << n;
        first << newName(file);
    }
    EXPECT_EQ(numbers.size(), 150);
    // The counter advances for random numbers too.
    EXPECT_EQ(FileIndexCounters::value(fileIndex, rules[0].id), 150);
    FileIndex again;
    previewRules(rules, files, again);
    QStringList second;
    for (const File& file : files)
        second << newName(file);
    EXPECT_EQ(second, first);
}

// Letters and roman numerals have no zero: random numbers in those formats start at 1.
TEST_F(RulesTest, RandomLettersAndRomanNumeralsNeverShowZero)
{
    for (const char* format : { "alphabetical", "roman" }) {
        SCOPED_TRACE(format);
        QList<File> files = filesNamed({ "f", "f", "f", "f", "f", "f", "f", "f", "f", "f" });
        QList<Transformer> rules { makeRule(TransformerType::numbering, [&](auto& p) {
            p.numberRandom = true;
            p.numberFormat = QString::fromLatin1(format);
        }) };
        rules[0].state.randomNumberGenerator = UniqueRandomNumberGenerator(10);
        FileIndex fileIndex;
        previewRules(rules, files, fileIndex);
        for (const File& file : files) {
            EXPECT_FALSE(newName(file).contains('-')) << newName(file).toStdString();
            EXPECT_FALSE(newName(file).contains('N')) << newName(file).toStdString();
            EXPECT_GT(newName(file).size(), 1);
        }
    }
}

// Numbers beyond 64 bits are an error on the file, never a wrapped number.
TEST_F(RulesTest, NumbersThatDoNotFitAreAnErrorOnTheFile)
{
    struct Case {
        qint64 start;
        qint64 skip;
        QStringList expected;
    };
    const Case cases[] = {
        { kMax - 1, 1, { "f9223372036854775806", "f9223372036854775807", "f" } },
        { 0, kMax / 2 + 1, { "f0", "f4611686018427387904", "f" } },
        { std::numeric_limits<qint64>::min(), -1, { "f-9223372036854775808", "f", "f" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        QList<File> files = filesNamed({ "f", "f", "f" });
        const Transformer rule = makeRule(TransformerType::numbering, [&](auto& p) {
            p.numberStart = c.start;
            p.numberSkip = c.skip;
        });
        EXPECT_EQ(preview({ rule }, files), c.expected);
        const File& last = files.last();
        ASSERT_EQ(last.validation.errors.size(), 1);
        EXPECT_TRUE(last.validation.errors.values().first().startsWith("Number out of range: "));
        EXPECT_TRUE(files.first().validation.errors.isEmpty());
    }
    Transformer rule = makeRule(TransformerType::numbering, [](auto& p) { p.numberStart = kMax; p.numberSkip = 1; });
    File file = makeFile("/data/f.txt");
    FileIndex fileIndex;
    FileIndexCounters::setValue(fileIndex, rule.id, 1);
    EXPECT_THROW(rule.transform(file, fileIndex), TransformError);
}

TEST(NumberingStartTest, TheStartGoesOnFromTheNextSequentialNumber)
{
    struct Case {
        const char* label;
        PropertiesSetter set;
        qint64 counter;
        std::optional<qint64> expected;
    };
    const Case cases[] = {
        { "carried on", [](auto& p) { p.numberUpdateStart = true; }, 3, 4 },
        { "step and repeat", [](auto& p) {
              p.numberUpdateStart = true;
              p.numberStart = 10;
              p.numberSkip = 5;
              p.numberRepeatCount = 2;
          }, 5, 20 },
        { "update start off", [](auto&) { }, 3, std::nullopt },
        { "random", [](auto& p) { p.numberUpdateStart = true; p.numberRandom = true; }, 3, std::nullopt },
        { "beyond 64 bits", [](auto& p) { p.numberUpdateStart = true; p.numberStart = kMax; }, 1, kMax },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Transformer rule = makeRule(TransformerType::numbering, c.set);
        const std::optional<qint64> before = rule.properties.numberStart;
        FileIndex fileIndex;
        FileIndexCounters::setValue(fileIndex, rule.id, c.counter);
        rule.updateNumberingStartToNextSequentialNumber(fileIndex);
        EXPECT_EQ(rule.properties.numberStart, c.expected ? c.expected : before);
    }
}
