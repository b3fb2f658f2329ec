// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
Notification named(const QString& name)
{
    return Notification { name, {}, std::nullopt };
}
}

TEST(NotificationCenter, ImmediatePostRunsObserversBeforeReturning)
{
    NotificationRecorder recorder({ "ping" });
    NotificationCenter::defaultCenter().post(named("ping"));
    EXPECT_EQ(recorder.count("ping"), 1);
}

TEST(NotificationCenter, ObserverOfADestroyedOwnerIsNeverCalled)
{
    int calls = 0;
    auto* owner = new QObject;
    NotificationCenter::defaultCenter().addObserver(owner, "gone", [&](const Notification&) { ++calls; });
    NotificationCenter::defaultCenter().post(named("gone"));
    delete owner;
    NotificationCenter::defaultCenter().post(named("gone"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("gone"), 0);
}

TEST(NotificationCenter, ObserverDestroyedByAnEarlierObserverOfTheSamePostIsSkipped)
{
    int laterCalls = 0;
    QObject first;
    auto* second = new QObject;
    NotificationCenter::defaultCenter().addObserver(&first, "chain", [&](const Notification&) { delete second; });
    NotificationCenter::defaultCenter().addObserver(second, "chain", [&](const Notification&) { ++laterCalls; });
    NotificationCenter::defaultCenter().post(named("chain"));
    EXPECT_EQ(laterCalls, 0);
}

TEST(NotificationCenter, PostOnMainThreadFromAWorkerRunsLaterOnTheMainThread)
{
    std::atomic<QThread*> observedOn { nullptr };
    QObject owner;
    NotificationCenter::defaultCenter().addObserver(&owner, "hop",
        [&](const Notification&) { observedOn = QThread::currentThread(); });
    std::thread worker([] { NotificationCenter::defaultCenter().postOnMainThread(named("hop")); });
    worker.join();
    EXPECT_EQ(observedOn.load(), nullptr);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return observedOn.load() != nullptr; }));
    EXPECT_EQ(observedOn.load(), QThread::currentThread());
}

TEST(NotificationQueue, WaitsWhileAModalRunIsOpenAndDeliversAfterIt)
{
    NotificationRecorder recorder({ "queued" });
    QEventLoop modalLoop;
    bool deliveredDuringModal = false;
    QTimer::singleShot(0, [&] {
        ModalScope modal;
        NotificationQueue::defaultQueue().enqueueWhenIdle(named("queued"));
        QTimer::singleShot(100, &modalLoop, &QEventLoop::quit);
        modalLoop.exec();
        deliveredDuringModal = recorder.count("queued") > 0;
    });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("queued") > 0; }));
    EXPECT_FALSE(deliveredDuringModal);
    EXPECT_EQ(recorder.count("queued"), 1);
}

TEST(NotificationQueue, IdleConditionHoldsDeliveryBack)
{
    NotificationRecorder recorder({ "held" });
    bool busy = true;
    int asked = 0;
    NotificationQueue::defaultQueue().setIdleCondition([&] {
        ++asked;
        return !busy;
    });
    NotificationQueue::defaultQueue().enqueueWhenIdle(named("held"));
    // Held back at the first try and at the one after it, however long they take.
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return asked >= 2; }));
    EXPECT_EQ(recorder.count("held"), 0);
    busy = false;
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count("held") == 1; }));
    NotificationQueue::defaultQueue().setIdleCondition({});
}
