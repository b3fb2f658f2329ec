// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "core/ChangeTracker.h"
#include "core/DelayedUpdateWorker.h"
#include "core/Stopwatch.h"
#include "platform/Clock.h"
#include "platform/Task.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

class DelayedUpdateWorkerTest : public ::testing::Test {
protected:
    void SetUp() override { DelayedUpdateWorker::setClock(&clock); }
    void TearDown() override
    {
        // Never leave a sleeper behind on the manual clock.
        while (clock.sleeperCount() > 0)
            clock.advance(1s);
        TestEnvironment::processEventsUntil([] { return !DelayedUpdateWorker::isPending(); });
        TestEnvironment::drainEvents();
        DelayedUpdateWorker::setClock(nullptr);
    }
    void waitForSleeper()
    {
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return clock.sleeperCount() == 1; }));
    }
    ManualClock clock;
    NotificationRecorder recorder { { NotificationName::transformButtonSave, NotificationName::applyChanges } };
};

TEST_F(DelayedUpdateWorkerTest, TheFirstCallOfABurstDecides)
{
    DelayedUpdateWorker::scheduleDelayedUpdate(false);
    DelayedUpdateWorker::scheduleDelayedUpdate(true);
    DelayedUpdateWorker::scheduleDelayedUpdate(true);
    waitForSleeper();
    clock.advance(699ms);
    TestEnvironment::drainEvents();
    EXPECT_TRUE(recorder.received.empty());
    clock.advance(1ms);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("transformButtonSave") == 1; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count("applyChanges"), 0);
    EXPECT_FALSE(DelayedUpdateWorker::isPending());
}

TEST_F(DelayedUpdateWorkerTest, ACallAfterTheDelayStartsANewOne)
{
    DelayedUpdateWorker::scheduleDelayedUpdate(true);
    waitForSleeper();
    clock.advance(700ms);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("applyChanges") == 1; }));
    DelayedUpdateWorker::scheduleDelayedUpdate(false);
    waitForSleeper();
    clock.advance(700ms);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("transformButtonSave") == 2; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count("applyChanges"), 1);
    EXPECT_EQ(recorder.names(), (QStringList { "transformButtonSave", "applyChanges", "transformButtonSave" }));
}

TEST_F(DelayedUpdateWorkerTest, ACancelledDelayEndsAtOnceAndStillSaves)
{
    DelayedUpdateWorker::scheduleDelayedUpdate(true);
    waitForSleeper();
    // As at shutdown; the clock never reaches the deadline.
    TaskHandle::cancelAll();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("applyChanges") == 1; }));
    EXPECT_EQ(recorder.names(), (QStringList { "transformButtonSave", "applyChanges" }));
    EXPECT_FALSE(DelayedUpdateWorker::isPending());
}

TEST(Stopwatch, HasElapsedRestartsOnlyWhenTheTimeHasPassed)
{
    ManualClock clock;
    Stopwatch watch(clock);
    clock.advance(300ms);
    EXPECT_FALSE(watch.hasElapsed(500));
    EXPECT_EQ(watch.elapsedTime(), 300);
    clock.advance(300ms);
    EXPECT_TRUE(watch.hasElapsed(500));
    EXPECT_FALSE(watch.hasElapsed(500));
    EXPECT_EQ(watch.elapsedTime(), 0);
    EXPECT_TRUE(watch.hasElapsed(std::chrono::nanoseconds(900us)));
    clock.advance(1400ms);
    EXPECT_FALSE(watch.hasElapsed(std::chrono::milliseconds(1500)));
    clock.advance(100ms);
    EXPECT_TRUE(watch.hasElapsed(std::chrono::milliseconds(1500)));
}

TEST(Stopwatch, RateLimitSleepsTheRestOfTheThreshold)
{
    ManualClock clock;
    Stopwatch watch(clock);
    clock.advance(1200ms);
    const qint64 start = watch.startTime();
    watch.rateLimit(1000);
    EXPECT_EQ(watch.startTime(), start);

    Stopwatch fresh(clock);
    clock.advance(200ms);
    std::thread limited([&] { fresh.rateLimit(1000); });
    while (clock.sleeperCount() == 0)
        std::this_thread::yield();
    clock.advance(799ms);
    EXPECT_EQ(clock.sleeperCount(), 1);
    clock.advance(1ms);
    limited.join();
    EXPECT_EQ(fresh.elapsedTime(), 0);
}

TEST(Stopwatch, LogsElapsedTimeWithoutRestarting)
{
    ManualClock clock;
    Stopwatch watch(clock);
    clock.advance(42ms);
    LogCapture capture;
    watch.logElapsedTime("Open");
    EXPECT_TRUE(capture.contains("==================[ Open took 42 milliseconds. ]=================="));
    EXPECT_EQ(watch.elapsedTime(), 42);
}

namespace {
struct Table : ChangeTrackerHashable {
    QStringList rows;
    qint64 currentHash() const override { return static_cast<qint64>(qHash(rows)); }
};
}

TEST(ChangeTracker, TracksTheContentAgainstItsBaseline)
{
    Table table;
    table.rows = { "a" };
    ChangeTracker tracker(table);
    EXPECT_FALSE(tracker.isChanged());
    table.rows << "b";
    EXPECT_TRUE(tracker.isChanged());
    table.rows.removeLast();
    EXPECT_FALSE(tracker.isChanged());
    table.rows << "c";
    tracker.update();
    EXPECT_FALSE(tracker.isChanged());
}
