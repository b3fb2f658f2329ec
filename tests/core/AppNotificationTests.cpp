// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "platform/NotificationQueue.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

TEST(AppNotification, NameTextsAreTheirIdentifiers)
{
    const QStringList& names = NotificationName::all();
    EXPECT_EQ(names.size(), 54);
    EXPECT_EQ(names.first(), "applyChanges");
    EXPECT_EQ(names.last(), "clearFileList");
    EXPECT_EQ(NotificationName::clearFileList, "clearFileList");
    EXPECT_EQ(NotificationName::cancelPendingTransformationTasks, "cancelPendingTransformationTasks");
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 54);
}

TEST(AppNotification, BurstInOneHandlerIsDeliveredOnceAfterItReturnsAndNamesKeepTheirOrder)
{
    NotificationRecorder recorder({ NotificationName::applyChanges, NotificationName::dataSourceUpdated });
    int seenInsideHandler = -1;
    QTimer::singleShot(0, [&] {
        AppNotification::post(NotificationName::applyChanges);
        AppNotification::post(NotificationName::dataSourceUpdated);
        AppNotification::post(NotificationName::applyChanges);
        AppNotification::post(NotificationName::applyChanges);
        seenInsideHandler = static_cast<int>(recorder.received.size());
    });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() >= 2; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(seenInsideHandler, 0);
    EXPECT_EQ(recorder.names(), (QStringList { "applyChanges", "dataSourceUpdated" }));
}

TEST(AppNotification, PostDuringANestedModalLoopWaitsForItsEnd)
{
    NotificationRecorder recorder({ NotificationName::abortProcess });
    bool deliveredInsideModal = false;
    QTimer::singleShot(0, [&] {
        ModalScope modal;
        QEventLoop nested;
        AppNotification::post(NotificationName::abortProcess);
        QTimer::singleShot(80, &nested, &QEventLoop::quit);
        nested.exec();
        deliveredInsideModal = recorder.count(NotificationName::abortProcess) > 0;
    });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::abortProcess) == 1; }));
    EXPECT_FALSE(deliveredInsideModal);
}

TEST(AppNotification, LogLineOmitsAnEmptyUserInfoAndDescribesAFullOne)
{
    LogCapture capture;
    AppNotification::post(NotificationName::openRecipe, {}, QVariantMap {}, "caller()");
    AppNotification::post(NotificationName::openRecipe, {}, std::nullopt, "caller()");
    AppNotification::post(NotificationName::openRecipe, {}, QVariantMap { { "json", "[]" } }, "caller()");
    const QStringList lines = capture.lines().filter("caller(): post: ");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "✉️ caller(): post: openRecipe");
    EXPECT_EQ(lines[1], lines[0]);
    EXPECT_EQ(lines[2], "✉️ caller(): post: openRecipe, userInfo: Optional([\"json\": \"[]\"])");
    TestEnvironment::drainEvents();
}

TEST(AppNotification, PostOfANameNobodyObservesIsDropped)
{
    AppNotification::post(NotificationName::clearFileList);
    TestEnvironment::drainEvents();
    EXPECT_EQ(NotificationQueue::defaultQueue().pendingCount(), 0);
}
