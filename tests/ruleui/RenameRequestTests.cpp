// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"
#include "ruleui/TransformViewController.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The rule bar with a clock of its own and files to rename; the notifications
// of a run are posted by hand, so no run happens and time moves only by hand.
class RenameRequestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bar.setClock(&clock);
        bar.show();
        showPreview();
    }
    void TearDown() override { TestEnvironment::drainEvents(); }

    void showPreview()
    {
        auto result = std::make_shared<FileValidationResult>();
        result->renameCount = 3;
        result->totalCount = 3;
        post(NotificationName::validationResult,
            { { QStringLiteral("validationResult"), QVariant::fromValue<FileValidationResultRef>(result) } });
    }
    void post(const QString& name, const QVariantMap& userInfo = {})
    {
        NotificationCenter::defaultCenter().post(Notification { name, {}, userInfo });
    }
    // What a run posts: input blocked, the renamed files written back (when
    // it renamed any), input given back.
    void run(bool wroteBack)
    {
        post(NotificationName::disableUserInput);
        if (wroteBack)
            post(NotificationName::transformButtonUpdated);
        post(NotificationName::enableUserInput);
    }
    // Asks for a rename by `road`; answers whether commitChanges went out.
    bool request(const std::function<void(TransformViewController&)>& road)
    {
        NotificationRecorder recorder({ NotificationName::commitChanges });
        road(bar);
        TestEnvironment::drainEvents();
        return recorder.count(NotificationName::commitChanges) == 1;
    }
    static std::chrono::milliseconds doubleClickInterval()
    {
        return std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    }

    ManualClock clock;
    TransformViewController bar { nullptr };
};

const std::pair<const char*, std::function<void(TransformViewController&)>> ROADS[] = {
    { "button", [](TransformViewController& bar) { QTest::mouseClick(bar.renameButton(), Qt::LeftButton); } },
    { "menu command", [](TransformViewController& bar) { bar.renameFiles(); } },
};

} // namespace

TEST_F(RenameRequestTest, ASecondRequestWithinTheDoubleClickIntervalAfterARunIsIgnored)
{
    for (const auto& [label, road] : ROADS) {
        SCOPED_TRACE(label);
        clock.advance(std::chrono::hours(1));
        ASSERT_TRUE(request(road));
        run(true);
        showPreview();
        EXPECT_FALSE(request(road)) << "at once";
        clock.advance(doubleClickInterval() - std::chrono::milliseconds(1));
        EXPECT_FALSE(request(road)) << "just within the interval";
        clock.advance(std::chrono::milliseconds(1));
        EXPECT_TRUE(request(road)) << "once the interval has passed";
    }
}

TEST_F(RenameRequestTest, NoRequestIsTakenUntilThePreviewOfTheRenamedFilesIsShown)
{
    for (const auto& [label, road] : ROADS) {
        SCOPED_TRACE(label);
        clock.advance(std::chrono::hours(1));
        ASSERT_TRUE(request(road));
        run(true);
        clock.advance(std::chrono::minutes(1));
        EXPECT_FALSE(request(road)) << "the old names are still shown";
        showPreview();
        EXPECT_TRUE(request(road));
    }
}

// A run that renamed nothing has no preview to wait for, and input blocked
// by other work (a sort) is no run.
TEST_F(RenameRequestTest, OnlyTheIntervalFollowsARunThatWroteNothingAndOtherWorkHoldsNothingBack)
{
    for (const auto& [label, road] : ROADS) {
        SCOPED_TRACE(label);
        clock.advance(std::chrono::hours(1));
        ASSERT_TRUE(request(road));
        run(false);
        EXPECT_FALSE(request(road));
        clock.advance(doubleClickInterval());
        EXPECT_TRUE(request(road));
        run(false);

        clock.advance(std::chrono::hours(1));
        run(false);
        EXPECT_TRUE(request(road)) << "a sort ended a moment ago";
        run(false);
    }
}
