// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification+Typed.h"

#include <gtest/gtest.h>

using namespace AppNotification;

namespace {
Notification withUserInfo(const QString& name, std::optional<QVariantMap> userInfo)
{
    return Notification { name, {}, std::move(userInfo) };
}
}

TEST(TypedNotifications, GetAnswersItsDefaultForMissingOrMistypedValues)
{
    const Notification none = withUserInfo("x", std::nullopt);
    const Notification wrong = withUserInfo("x",
        QVariantMap { { "orderedIndexes", QVariant::fromValue(QList<int> { 1, 2 }) },
            { "message", 5 }, { "messageId", QVariant() }, { "urls", "not a list" }, { "ask", "yes" },
            { "action", 1 }, { "label", 3 }, { "abortable", "true" }, { "currentProgressCount", "2" },
            { "tokenId", 7 }, { "windowTitle", QVariant::fromValue(QStringList { "t" }) },
            { "transformerIndex", "0" }, { "validationResult", 1 }, { "url", "file:///a" } });
    for (const Notification& n : { none, wrong }) {
        SCOPED_TRACE(n.userInfo ? "mistyped" : "no user info");
        EXPECT_TRUE(RemoveFiles::get(n).isEmpty());
        EXPECT_EQ(ShowProgressIndicator::get(n).message, "");
        EXPECT_EQ(ShowProgressIndicator::get(n).messageId, "");
        const OpenFolderInfo info = OpenFolder::get(n);
        EXPECT_TRUE(info.urls.isEmpty());
        EXPECT_FALSE(info.ask);
        EXPECT_EQ(info.action, FileAction::replace);
        const Progress progress = UpdateProgressView::get(n);
        EXPECT_EQ(progress.currentProgressCount, 0);
        EXPECT_EQ(progress.maxProgressCount, 0);
        EXPECT_EQ(progress.label, "Renaming");
        EXPECT_FALSE(progress.abortable);
        EXPECT_FALSE(InsertToken::get(n).has_value());
        EXPECT_FALSE(SetWindowTitle::get(n).has_value());
        EXPECT_FALSE(SelectTransformer::getIndex(n).has_value());
        EXPECT_EQ(ValidationResult::get(n), nullptr);
        EXPECT_FALSE(OpenRecipe::getURL(n).has_value());
        EXPECT_FALSE(DataSourceUpdated::getRowIndexes(n).has_value());
        ASSERT_TRUE(OpenFolderAndWait::get(n).has_value());
        EXPECT_TRUE(OpenFolderAndWait::get(n)->urls.isEmpty());
    }
    EXPECT_EQ(Progress().label, "");
}

TEST(TypedNotifications, ImmediateWrappersDeliverBeforeReturningWithTheirPayload)
{
    NotificationRecorder recorder({ NotificationName::openFolder, NotificationName::updateProgressView,
        NotificationName::dataSourceUpdated, NotificationName::showProgressIndicator });

    OpenFolder::post({ QUrl::fromLocalFile("/tmp/a") }, false);
    OpenFolder::post({ QUrl::fromLocalFile("/tmp/b") }, true, FileAction::append);
    UpdateProgressView::post(3, 10, QStringLiteral("Renaming"), true);
    DataSourceUpdated::post(2, 5);
    const QString first = ShowProgressIndicator::post("Sorting");
    const QString second = ShowProgressIndicator::post("Sorting");

    ASSERT_EQ(recorder.received.size(), 6u);
    EXPECT_EQ(OpenFolder::get(recorder.received[0]).action, FileAction::replace);
    const OpenFolderInfo appended = OpenFolder::get(recorder.received[1]);
    EXPECT_TRUE(appended.ask);
    EXPECT_EQ(appended.action, FileAction::append);
    EXPECT_EQ(appended.urls, QList<QUrl> { QUrl::fromLocalFile("/tmp/b") });

    Notification progressWithoutLabel = recorder.received[2];
    progressWithoutLabel.userInfo->remove("label");
    const Progress progress = UpdateProgressView::get(progressWithoutLabel);
    EXPECT_EQ(progress.currentProgressCount, 3);
    EXPECT_EQ(progress.maxProgressCount, 10);
    EXPECT_EQ(progress.label, "Renaming");
    EXPECT_TRUE(progress.abortable);

    EXPECT_EQ(DataSourceUpdated::getRowIndexes(recorder.received[3]), (IndexSet { 2, 3, 4 }));
    EXPECT_NE(first, second);
    EXPECT_EQ(first.size(), 36);
    EXPECT_EQ(first, first.toUpper());
    EXPECT_EQ(ShowProgressIndicator::get(recorder.received[4]).messageId, first);
    EXPECT_EQ(ShowProgressIndicator::get(recorder.received[4]).message, "Sorting");
}

TEST(TypedNotifications, MainThreadWrappersReturnFirstAndDeliverLater)
{
    NotificationRecorder recorder({ NotificationName::removeFiles, NotificationName::selectTransformer,
        NotificationName::showOrHideQuickLook, NotificationName::validationResult });
    QObject responder;
    auto result = std::make_shared<FileValidationResult>(FileValidationResult { 1, 2, 3 });

    RemoveFiles::post({ 4, 7 });
    SelectTransformer::postIndex(0);
    ShowHideQuickLook::post(std::nullopt, &responder);
    ValidationResult::post(result);
    EXPECT_TRUE(recorder.received.empty());

    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 4; }));
    EXPECT_EQ(RemoveFiles::get(recorder.received[0]), (QSet<int> { 4, 7 }));
    EXPECT_EQ(SelectTransformer::getIndex(recorder.received[1]), 0);
    EXPECT_FALSE(SelectTransformer::getId(recorder.received[1]).has_value());
    const Notification& quickLook = recorder.received[2];
    ASSERT_TRUE(quickLook.userInfo.has_value());
    EXPECT_TRUE(quickLook.userInfo->isEmpty());
    EXPECT_FALSE(ShowHideQuickLook::getFile(quickLook).has_value());
    EXPECT_EQ(ShowHideQuickLook::getResponder(quickLook), &responder);
    EXPECT_EQ(ValidationResult::get(recorder.received[3]), result);
}

TEST(TypedNotifications, OpenRecipePostsAreQueuedAndCoalesced)
{
    NotificationRecorder recorder({ NotificationName::openRecipe });
    OpenRecipe::postJson("[1]");
    OpenRecipe::post(QUrl::fromLocalFile("/tmp/r.recipe"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !recorder.received.empty(); }));
    TestEnvironment::drainEvents();
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_FALSE(recorder.received[0].object.isValid());
}
