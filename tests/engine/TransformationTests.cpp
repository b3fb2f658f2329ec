// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "engine/TransformationUtil.h"
#include "tokens/TokenString.h"

#include <functional>
#include <thread>

using namespace TransformationUtil;

namespace {

Transformer prefixRule(const QString& text)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::prefix;
    rule.properties.prefixText = TokenString::string(text);
    return rule;
}

// A rule whose pattern does not compile: its full form fails with `fatal`.
Transformer failingRule()
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::conversion;
    rule.properties.conversionFindText = QStringLiteral("(");
    rule.properties.conversionFindRegex = true;
    return rule;
}

// A rule whose pattern backtracks without end on a long run of "a" before a "b".
Transformer explosiveRule()
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::regex;
    rule.properties.regexFindText = TokenString::string(QStringLiteral("(a+)+$"));
    rule.properties.regexReplaceText = TokenString::string(QStringLiteral("x"));
    return rule;
}

} // namespace

class TransformationTest : public EngineTest {
protected:
    QList<File> files(int count)
    {
        QList<File> list;
        for (int i = 0; i < count; ++i)
            list << File(QUrl::fromLocalFile(touch(QStringLiteral("f%1.txt").arg(i))), false);
        return list;
    }
};

TEST_F(TransformationTest, QuickPathTransformsOnlyDirtyFiles)
{
    QList<File> list = files(3);
    list[1].transformed.isDirty = false;
    list[1].transformed.transformedName = QStringLiteral("kept");
    list[1].transformed.lateUpdateRequired = true;
    const TransformResult result = transformFilesQuick(list, { prefixRule(QStringLiteral("new-")) });
    EXPECT_FALSE(result.error);
    EXPECT_EQ(result.files[0].transformed.transformedName.value(), QStringLiteral("new-f0"));
    EXPECT_FALSE(result.files[0].transformed.isDirty);
    EXPECT_EQ(result.files[1].transformed.transformedName.value(), QStringLiteral("kept"));
    EXPECT_EQ(result.files[2].transformed.transformedName.value(), QStringLiteral("new-f2"));
    EXPECT_TRUE(result.lateUpdateRequired) << "a clean file's mark still counts";
    EXPECT_EQ(result.transformers.size(), 1);
}

TEST_F(TransformationTest, QuickPathWithoutRulesResetsToTheNameOnDisk)
{
    QList<File> list = files(1);
    list[0].transformed.transformedName = QStringLiteral("stale");
    const TransformResult result = transformFilesQuick(list, {});
    EXPECT_EQ(result.files[0].transformed.transformedName.value(), QStringLiteral("f0"));
    EXPECT_FALSE(result.files[0].transformed.isDirty);

    const TransformResult empty = transformFilesQuick({}, {});
    EXPECT_TRUE(empty.files.isEmpty());
    EXPECT_FALSE(empty.error);
    EXPECT_FALSE(empty.lateUpdateRequired);
    EXPECT_EQ(empty.fileIndex, FileIndex {});
}

TEST_F(TransformationTest, ACancelledPreviewTransformsNothing)
{
    std::stop_source source;
    source.request_stop();
    LogCapture log;
    const TransformResult result = transformFilesQuick(files(2), { prefixRule(QStringLiteral("new-")) }, source.get_token());
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->kind(), TransformError::Kind::aborted);
    EXPECT_FALSE(result.lateUpdateRequired);
    EXPECT_EQ(result.files[0].transformed.transformedName.value(), QStringLiteral("f0"));
    EXPECT_TRUE(result.files[0].transformed.isDirty);
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Cancelled transformFilesQuick for 2 files.")));
}

TEST_F(TransformationTest, RandomNumbersStayWhileTheListKeepsItsSize)
{
    QList<Transformer> rules { prefixRule(QStringLiteral("x")) };
    updateTransformerState(rules, 3);
    rules[0].state.randomNumberGenerator.number(QUuid::createUuid(), 2, 10);
    const auto drawn = rules[0].state.randomNumberGenerator;
    updateTransformerState(rules, 3);
    EXPECT_EQ(rules[0].state.randomNumberGenerator, drawn);
    updateTransformerState(rules, 4);
    EXPECT_TRUE(rules[0].state.randomNumberGenerator.numbers.isEmpty());
    EXPECT_EQ(rules[0].state.randomNumberGenerator.minimumCount, 4);
}

TEST_F(TransformationTest, FullPathTransformsEveryFileAndStopsAtTheFirstFailure)
{
    QList<File> list = files(3);
    list[0].transformed.isDirty = false;
    const TransformResult done = transformFiles(list, { prefixRule(QStringLiteral("a-")) });
    EXPECT_FALSE(done.error);
    EXPECT_EQ(done.files[0].transformed.transformedName.value(), QStringLiteral("a-f0")) << "clean files too";

    const TransformResult failed = transformFiles(files(3), { prefixRule(QStringLiteral("a-")), failingRule() });
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->kind(), TransformError::Kind::fatal);
    EXPECT_EQ(failed.files[0].transformed.transformedName.value(), QStringLiteral("f0")) << "a failed file is not put back";
    EXPECT_EQ(failed.files[1].transformed.transformedName.value(), QStringLiteral("f1"));
    EXPECT_FALSE(failed.lateUpdateRequired);

    // What the file showed before the failed pass comes back whole, not a fresh start.
    QList<File> shown = files(1);
    shown[0].transformed.transformedName = QStringLiteral("previewed");
    shown[0].transformed.uniqueSuffix = QStringLiteral(" 2");
    shown[0].validation.insertError(QStringLiteral("an earlier error"));
    shown[0].validation.insertWarning(QStringLiteral("an earlier warning"));
    const TransformResult kept = transformFiles(shown, { prefixRule(QStringLiteral("a-")), failingRule() });
    ASSERT_TRUE(kept.error);
    EXPECT_EQ(kept.files[0].transformed, shown[0].transformed);
    EXPECT_EQ(kept.files[0].validation, shown[0].validation);
}

TEST_F(TransformationTest, FullPathProgressAtMostOnceASecond)
{
    std::vector<ProgressData> reports;
    ManualClock clock;
    transformFiles(files(3), { prefixRule(QStringLiteral("a-")) }, [&](const ProgressData& d) { reports.push_back(d); }, clock);
    EXPECT_TRUE(reports.empty());

    // Every reading of the time is 300 ms later than the one before.
    struct Stepping final : Clock {
        mutable TimePoint current {};
        TimePoint now() const override { return current += std::chrono::milliseconds(300); }
        bool sleepUntil(TimePoint, std::stop_token) override { return true; }
    } stepping;
    transformFiles(files(5), { prefixRule(QStringLiteral("a-")) }, [&](const ProgressData& d) { reports.push_back(d); }, stepping);
    // Readings: 300 start; file 0 at 600; 900; 1200; file 3 at 1500 (report, retaken 1800); file 4 at 2100.
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].progressCount, 3);
    EXPECT_EQ(reports[0].totalCount, 5);
}

TEST_F(TransformationTest, FullPathStopsBeforeTheNextFileWhenCancelled)
{
    std::stop_source stop;
    int reported = 0;
    // The progress callback is the one place a test can act between files.
    struct Stepping final : Clock {
        mutable TimePoint current {};
        TimePoint now() const override { return current += std::chrono::seconds(1); }
        bool sleepUntil(TimePoint, std::stop_token) override { return true; }
    } stepping;
    const TransformResult result = transformFiles(files(5), { prefixRule(QStringLiteral("a-")) },
        [&](const ProgressData& d) {
            ++reported;
            if (d.progressCount == 1)
                stop.request_stop();
        },
        stepping, stop.get_token());
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->kind(), TransformError::Kind::aborted);
    EXPECT_EQ(result.files[1].transformed.transformedName.value(), QStringLiteral("a-f1"));
    EXPECT_EQ(result.files[2].transformed.transformedName.value(), QStringLiteral("f2")) << "no file after the stop";
    EXPECT_GE(reported, 1);
}

// A pattern that ran out of time on one file is not tried on the others of the
// pass: they get its time-out at once, so a hostile pattern costs the time
// limit once a preview, not once a file. The next pass tries it again.
TEST_F(TransformationTest, APatternOutOfTimeIsTriedOnceAPass)
{
    const QString explosive = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    QList<File> list;
    for (const QString& name : { QStringLiteral("aa"), explosive, QStringLiteral("aaa"), QStringLiteral("ba") })
        list << File(QUrl::fromLocalFile(touch(name + QStringLiteral(".txt"))), false);
    const QString timedOut = QStringLiteral("The regular expression '(a+)+$' took too long to match");
    const auto timedOutIn = [&](const File& file) {
        for (const QString& error : file.validation.ruleErrors)
            if (error.contains(timedOut))
                return true;
        return false;
    };

    const TransformResult preview = transformFilesQuick(list, { explosiveRule() });
    ASSERT_EQ(preview.files.size(), 4);
    EXPECT_EQ(preview.files[0].transformed.transformedName.value(), QStringLiteral("x"));
    EXPECT_FALSE(timedOutIn(preview.files[0]));
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(timedOutIn(preview.files[i])) << i;

    const TransformResult full = transformFiles(list, { explosiveRule() });
    ASSERT_TRUE(full.error);
    EXPECT_TRUE(full.error->informativeText().contains(timedOut)) << full.error->informativeText().toStdString();

    // A pass without that file renames the rest.
    const TransformResult next = transformFilesQuick({ list[2], list[3] }, { explosiveRule() });
    EXPECT_EQ(next.files[0].transformed.transformedName.value(), QStringLiteral("x"));
    EXPECT_EQ(next.files[1].transformed.transformedName.value(), QStringLiteral("bx"));
    EXPECT_FALSE(timedOutIn(next.files[0]));
}

// Long lists go through their rules on all cores when no rule carries anything
// from file to file; every file must end as a pass in list order leaves it.
class LongPassTest : public TransformationTest {
protected:
    static constexpr int COUNT = 3000;

    QList<File> named(const std::function<QString(int)>& name)
    {
        QList<File> list;
        for (int i = 0; i < COUNT; ++i)
            list << File(QUrl::fromLocalFile(touch(name(i) + QStringLiteral(".txt"))), false);
        return list;
    }

    static bool timedOut(const File& file)
    {
        for (const QString& error : file.validation.ruleErrors)
            if (error.contains(QStringLiteral("took too long to match")))
                return true;
        return false;
    }
};

TEST_F(LongPassTest, EachFileGetsWhatAPassInListOrderGives)
{
    QList<File> list = named([](int i) { return QStringLiteral("f%1").arg(i); });
    list[1500].transformed.isDirty = false;
    list[1500].transformed.transformedName = QStringLiteral("kept");

    const TransformResult quick = transformFilesQuick(list, { prefixRule(QStringLiteral("a-")) });
    ASSERT_FALSE(quick.error);
    ASSERT_EQ(quick.files.size(), COUNT);
    for (int i = 0; i < COUNT; ++i) {
        const QString expected = i == 1500 ? QStringLiteral("kept") : QStringLiteral("a-f%1").arg(i);
        ASSERT_EQ(quick.files[i].transformed.transformedName.value(), expected) << i;
        ASSERT_FALSE(quick.files[i].transformed.isDirty) << i;
    }
    EXPECT_EQ(quick.fileIndex, FileIndex {});

    const TransformResult full = transformFiles(list, { prefixRule(QStringLiteral("a-")) });
    ASSERT_FALSE(full.error);
    for (int i = 0; i < COUNT; ++i)
        ASSERT_EQ(full.files[i].transformed.transformedName.value(), QStringLiteral("a-f%1").arg(i)) << "clean files too: " << i;

    // A Numbering rule counts from file to file: its numbers go on across the whole list.
    Transformer numbering = Transformer::newTransformer();
    numbering.type = TransformerType::numbering;
    for (const TransformResult& numbered : { transformFilesQuick(list, { prefixRule(QStringLiteral("a-")), numbering }),
             transformFiles(list, { numbering, prefixRule(QStringLiteral("a-")) }) }) {
        ASSERT_FALSE(numbered.error);
        QSet<QString> names;
        for (int i = 0; i < COUNT; ++i)
            if (i != 1500 || numbered.files[i].transformed.transformedName.value() != QStringLiteral("kept"))
                names.insert(numbered.files[i].transformed.transformedName.value());
        EXPECT_GE(names.size(), COUNT - 1) << "a number given twice";
    }
}

// A pattern that runs out of time on one file: the files before it in the list
// get their names, those after it its time-out (preview), or the full pass
// stops there and the files after it keep what they showed. The slow file is
// early, so that other threads are done with later files before it fails.
TEST_F(LongPassTest, APatternOutOfTimeEndsThePassAsInListOrder)
{
    constexpr int slow = 100;
    const QString explosive = QString(40, QLatin1Char('a')) + QLatin1Char('b');
    QList<File> list = named([&](int i) { return i == slow ? explosive : QStringLiteral("n%1a").arg(i); });

    const TransformResult quick = transformFilesQuick(list, { explosiveRule() });
    ASSERT_FALSE(quick.error);
    for (int i = 0; i < COUNT; ++i) {
        if (i < slow) {
            ASSERT_EQ(quick.files[i].transformed.transformedName.value(), QStringLiteral("n%1x").arg(i)) << i;
            ASSERT_FALSE(timedOut(quick.files[i])) << i;
        } else {
            ASSERT_TRUE(timedOut(quick.files[i])) << i;
        }
    }

    for (File& file : list) {
        file.transformed.transformedName = QStringLiteral("previewed");
        file.validation.insertWarning(QStringLiteral("an earlier warning"));
    }
    const TransformResult full = transformFiles(list, { explosiveRule() });
    ASSERT_TRUE(full.error);
    EXPECT_EQ(full.error->kind(), TransformError::Kind::fatal);
    for (int i = 0; i < COUNT; ++i) {
        if (i < slow) {
            ASSERT_EQ(full.files[i].transformed.transformedName.value(), QStringLiteral("n%1x").arg(i)) << i;
        } else {
            ASSERT_EQ(full.files[i].transformed, list[i].transformed) << i;
            ASSERT_EQ(full.files[i].validation, list[i].validation) << i;
        }
    }
}

// A rule that fails on every file: the full pass ends at the first, and every
// file keeps what it showed, whichever thread took it.
TEST_F(LongPassTest, AFailingRuleLeavesEveryFileAsItWas)
{
    QList<File> list = named([](int i) { return QStringLiteral("f%1").arg(i); });
    for (File& file : list) {
        file.transformed.transformedName = QStringLiteral("previewed");
        file.validation.insertError(QStringLiteral("an earlier error"));
    }
    const TransformResult failed = transformFiles(list, { prefixRule(QStringLiteral("a-")), failingRule() });
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->kind(), TransformError::Kind::fatal);
    for (int i = 0; i < COUNT; ++i) {
        ASSERT_EQ(failed.files[i].transformed, list[i].transformed) << i;
        ASSERT_EQ(failed.files[i].validation, list[i].validation) << i;
    }
}

// The progress of a long full pass, told by one thread at a time, whichever
// threads the pass gets, and a stop asked for from it.
TEST_F(LongPassTest, ProgressIsToldAndAStopEndsThePass)
{
    struct Stepping final : Clock {
        mutable TimePoint current {};
        TimePoint now() const override { return current += std::chrono::seconds(1); }
        bool sleepUntil(TimePoint, std::stop_token) override { return true; }
    } stepping;
    std::vector<ProgressData> reports;
    const QList<File> list = named([](int i) { return QStringLiteral("f%1").arg(i); });
    const TransformResult done = transformFiles(list, { prefixRule(QStringLiteral("a-")) },
        [&](const ProgressData& d) { reports.push_back(d); },
        stepping);
    ASSERT_FALSE(done.error);
    ASSERT_FALSE(reports.empty());
    for (const ProgressData& report : reports) {
        EXPECT_GT(report.progressCount, 0);
        EXPECT_LE(report.progressCount, COUNT);
        EXPECT_EQ(report.totalCount, COUNT);
    }

    std::stop_source stop;
    const TransformResult stopped = transformFiles(list, { prefixRule(QStringLiteral("a-")) },
        [&](const ProgressData&) { stop.request_stop(); }, stepping, stop.get_token());
    ASSERT_TRUE(stopped.error);
    EXPECT_EQ(stopped.error->kind(), TransformError::Kind::aborted);
}
