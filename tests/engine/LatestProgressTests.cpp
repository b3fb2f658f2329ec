// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification+Typed.h"
#include "engine/LatestProgress.h"

#include <gtest/gtest.h>

#include <thread>

// A run's thread reports every file while the main thread is busy: the overlay
// then gets the latest count once, not one task per file.
TEST(LatestProgress, TheMainThreadShowsTheLatestReportOnceItTurns)
{
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::updateProgressView });
    const LatestProgress progress(QStringLiteral("Renaming"));
    const auto reportUpTo = [&](qint64 from, qint64 to) {
        std::thread run([&] {
            for (qint64 i = from; i <= to; ++i)
                progress.report(ProgressData { i, 5000 });
        });
        run.join();
    };

    reportUpTo(1, 4000);
    EXPECT_TRUE(recorder.received.empty()) << "shown on the main thread, not the run's";
    TestEnvironment::drainEvents();
    ASSERT_EQ(recorder.received.size(), 1u);
    const Progress shown = AppNotification::UpdateProgressView::get(recorder.received[0]);
    EXPECT_EQ(shown.currentProgressCount, 4000);
    EXPECT_EQ(shown.maxProgressCount, 5000);
    EXPECT_EQ(shown.label, QStringLiteral("Renaming"));
    EXPECT_TRUE(shown.abortable);

    // Once shown, the next report is shown too, whether it comes before the
    // overlay's next frame or after it.
    reportUpTo(4001, 4001);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 2; }));
    EXPECT_EQ(AppNotification::UpdateProgressView::get(recorder.received[1]).currentProgressCount, 4001);
    reportUpTo(4002, 4500);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        return !recorder.received.empty()
            && AppNotification::UpdateProgressView::get(recorder.received.back()).currentProgressCount == 4500;
    }));
    EXPECT_EQ(recorder.received.size(), 3u);
}

// A run that ended shows nothing more: a frame still pending then would write
// into the overlay of whatever long task comes next.
TEST(LatestProgress, NothingIsShownOnceTheRunHasEnded)
{
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::updateProgressView });
    {
        const LatestProgress progress(QStringLiteral("Renaming"));
        progress.report(ProgressData { 1, 3 });
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 1; }));
        // Into the frame that follows the first show, or a new task: either way unshown yet.
        progress.report(ProgressData { 2, 3 });
    }
    TestEnvironment::processEventsUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(recorder.received.size(), 1u);
}
