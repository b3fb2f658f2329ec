// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"
#include "platform/SerialExecutor.h"
#include "platform/Task.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

// In these tests the executor is declared after what its jobs use: it goes
// first, so a wait that gives up cannot leave a job on destroyed locals.
TEST(SerialExecutor, RunsJobsOneAtATimeInSubmissionOrder)
{
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<int> running { 0 };
    std::atomic<bool> overlapped { false };
    std::promise<void> done;
    SerialExecutor executor("test");
    for (int i = 0; i < 50; ++i) {
        executor.submit([&, i] {
            if (++running > 1)
                overlapped = true;
            {
                std::lock_guard lock(mutex);
                order.push_back(i);
            }
            --running;
            if (i == 49)
                done.set_value();
        });
    }
    ASSERT_EQ(done.get_future().wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(overlapped);
    std::vector<int> expected(50);
    for (int i = 0; i < 50; ++i)
        expected[i] = i;
    EXPECT_EQ(order, expected);
}

TEST(TaskHandle, CancelReachesARunningTaskWhileItsExecutorIsBusy)
{
    ManualClock clock;
    std::atomic<bool> sawStop { false };
    SerialExecutor executor("test");
    TaskHandle task = TaskHandle::start(executor, [&](std::stop_token stop) {
        // Sleeps on a clock nobody advances: only the stop ends it.
        clock.sleepFor(1h, stop);
        sawStop = stop.stop_requested();
    });
    while (clock.sleeperCount() == 0)
        std::this_thread::yield();
    task.cancel();
    ASSERT_TRUE(task.waitFinished(5s));
    EXPECT_TRUE(sawStop);
    EXPECT_TRUE(task.isCancelled());
}

TEST(TaskHandle, TaskCancelledBeforeItStartsNeverRunsItsWork)
{
    std::promise<void> release;
    auto gate = release.get_future().share();
    std::atomic<bool> ran { false };
    SerialExecutor executor("test");
    TaskHandle blocker = TaskHandle::start(executor, [gate](std::stop_token) { gate.wait(); });
    TaskHandle queued = TaskHandle::start(executor, [&](std::stop_token) { ran = true; });
    queued.cancel();
    release.set_value();
    ASSERT_TRUE(queued.waitFinished(5s));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(blocker.isFinished());
}

TEST(TaskHandle, CopiesNameTheSameTaskAndAnEmptyHandleIsFinished)
{
    SerialExecutor executor("test");
    TaskHandle a = TaskHandle::start(executor, [](std::stop_token) {});
    TaskHandle copy = a;
    TaskHandle b = TaskHandle::start(executor, [](std::stop_token) {});
    EXPECT_TRUE(a == copy);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(TaskHandle().isFinished());
    EXPECT_FALSE(TaskHandle().isValid());
}

TEST(ManualClock, SleeperWakesOnlyWhenTimePassesItsDeadline)
{
    ManualClock clock;
    std::atomic<bool> woke { false };
    std::thread sleeper([&] {
        EXPECT_TRUE(clock.sleepFor(700ms));
        woke = true;
    });
    while (clock.sleeperCount() == 0)
        std::this_thread::yield();
    clock.advance(699ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(woke);
    clock.advance(1ms);
    sleeper.join();
    EXPECT_TRUE(woke);
}

TEST(SystemClock, CancellableSleepEndsEarlyOnStop)
{
    std::stop_source stop;
    std::thread canceller([&] {
        std::this_thread::sleep_for(10ms);
        stop.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(cancellableSleep(stop.get_token(), 1h));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1min);
    canceller.join();
}

TEST(SerialExecutor, ShutdownLetsTheRunningJobEndDropsTheRestAndRefusesMore)
{
    SerialExecutor executor("test");
    ManualClock clock;
    std::atomic<bool> firstEnded { false };
    std::atomic<bool> laterRan { false };
    TaskHandle running = TaskHandle::start(executor, [&](std::stop_token stop) {
        clock.sleepFor(1h, stop);
        firstEnded = true;
    });
    executor.submit([&] { laterRan = true; });
    while (clock.sleeperCount() == 0)
        std::this_thread::yield();
    TaskHandle::cancelAll();
    executor.shutdown();
    EXPECT_TRUE(firstEnded);
    EXPECT_TRUE(running.isCancelled());
    executor.submit([&] { laterRan = true; });
    executor.shutdown();
    EXPECT_FALSE(laterRan);
}
