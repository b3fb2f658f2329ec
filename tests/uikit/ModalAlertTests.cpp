// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "ScriptedAlertPresenter.h"
#include "TestEnvironment.h"
#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "uikit/ModalAlertViewController.h"
#include "uikit/ModalIdleCondition.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ModalAlert : public ::testing::Test {
protected:
    void SetUp() override
    {
        alert(); // subscribes to the notifications, as at start-up
        ModalViewController::setPresentingWidgetProvider([this] { return &editor; });
    }

    void TearDown() override
    {
        // The shared alert lives for the whole run: leave it hidden.
        auto& alert = ModalAlertViewController::shared();
        while (alert.isPresented())
            alert.hideModalView();
        ModalViewController::setPresentingWidgetProvider({});
    }

    void postShow(const QString& message, const QString& informative)
    {
        AppNotification::ShowModalAlertView::post(message, informative);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return alert().isPresented() && alert().messageText()->text() == message; }));
    }

    void postHide()
    {
        NotificationCenter::defaultCenter().post(Notification { NotificationName::hideModalAlert, {}, std::nullopt });
    }

    static ModalAlertViewController& alert() { return ModalAlertViewController::shared(); }

    QWidget editor;
    ScriptedAlertPresenter presenter;
};

} // namespace

TEST_F(ModalAlert, ShowNotificationPresentsTheTextsOverTheEditorAndHideTakesItDown)
{
    AppNotification::ShowModalAlertView::post("Rename Partially Completed", "3 files renamed");
    EXPECT_FALSE(alert().isPresented()); // the post never blocks its poster
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return alert().isPresented(); }));
    EXPECT_EQ(alert().messageText()->text(), "Rename Partially Completed");
    EXPECT_EQ(alert().informativeText()->text(), "3 files renamed");
    EXPECT_EQ(alert().messageText()->textFormat(), Qt::PlainText);
    EXPECT_EQ(alert().informativeText()->textFormat(), Qt::PlainText);
    ASSERT_EQ(presenter.presented.size(), 1);
    EXPECT_EQ(presenter.presentedOver.front(), &editor);
    EXPECT_EQ(alert().showCount(), 0);

    postHide();
    EXPECT_FALSE(alert().isPresented());
    EXPECT_EQ(presenter.dismissed.size(), 1);
}

TEST_F(ModalAlert, NestedShowsNeedAsManyHides)
{
    postShow("first", "one");
    postShow("second", "two");
    EXPECT_EQ(alert().showCount(), 1);
    EXPECT_EQ(presenter.presented.size(), 1); // shown once, counted once more
    EXPECT_EQ(alert().messageText()->text(), "second");
    EXPECT_EQ(alert().informativeText()->text(), "two");

    postHide();
    EXPECT_TRUE(alert().isPresented());
    EXPECT_EQ(alert().showCount(), 0);
    EXPECT_TRUE(presenter.dismissed.isEmpty());
    alert().defaultButton()->click();
    EXPECT_FALSE(alert().isPresented());
    EXPECT_EQ(presenter.dismissed.size(), 1);
}

TEST_F(ModalAlert, HideWhileHiddenChangesNothing)
{
    postHide();
    EXPECT_FALSE(alert().isPresented());
    EXPECT_EQ(alert().showCount(), 0);
    EXPECT_TRUE(presenter.dismissed.isEmpty());
    // A later show still needs only one hide.
    postShow("message", "");
    postHide();
    EXPECT_FALSE(alert().isPresented());
}

TEST_F(ModalAlert, MissingTextsShowEmpty)
{
    NotificationCenter::defaultCenter().post(Notification { NotificationName::showModalAlert, {}, QVariantMap { { "messageText", 7 } } });
    ASSERT_TRUE(alert().isPresented());
    EXPECT_EQ(alert().messageText()->text(), "");
    EXPECT_EQ(alert().informativeText()->text(), "");
}

TEST_F(ModalAlert, QueuedNotificationsWaitWhileTheSheetIsUp)
{
    postShow("message", "informative");
    NotificationRecorder recorder({ NotificationName::enableUserInput });
    AppNotification::post(NotificationName::enableUserInput);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::enableUserInput), 0);
    postHide();
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return recorder.count(NotificationName::enableUserInput) == 1; }));
}

namespace {
// Counts the key presses that reach a widget.
class KeyCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
    int presses = 0;
};
} // namespace

TEST_F(ModalAlert, DismissKeysTypedIntoTheSheetAreConsumedOtherKeysGoOn)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool dismisses;
    };
    const Case cases[] = {
        { Qt::Key_Escape, Qt::NoModifier, true },
        { Qt::Key_Enter, Qt::KeypadModifier, true },
        { Qt::Key_Space, Qt::NoModifier, true },
        { Qt::Key_Return, Qt::NoModifier, false },
        { Qt::Key_A, Qt::NoModifier, false },
    };
    QLabel* inSheet = alert().informativeText();
    KeyCounter reached;
    inSheet->installEventFilter(&reached);
    for (const Case& c : cases) {
        postShow("message", "");
        reached.presses = 0;
        QTest::keyClick(inSheet, c.key, c.modifiers);
        EXPECT_EQ(alert().isPresented(), !c.dismisses) << c.key;
        EXPECT_EQ(reached.presses, c.dismisses ? 0 : 1) << c.key << ": a dismissing key goes no further, others go on";
        while (alert().isPresented())
            alert().hideModalView();
    }
    inSheet->removeEventFilter(&reached);
}

TEST_F(ModalAlert, KeysTypedInAnotherWindowReachItAndLeaveTheSheetUp)
{
    QWidget other;
    auto* field = new QLineEdit(&other);
    other.show();
    postShow("message", "");
    for (Qt::Key key : { Qt::Key_Space, Qt::Key_Escape, Qt::Key_A }) {
        field->clear();
        QTest::keyClick(field, key);
        EXPECT_TRUE(alert().isPresented()) << key;
    }
    field->clear();
    QTest::keyClicks(field, "a b");
    EXPECT_EQ(field->text(), "a b");
    alert().hideModalView();
    EXPECT_FALSE(alert().isPresented());
}

// The real presenter: a window-modal dialog the idle condition sees.
TEST(ModalIdleCondition, AnOpenSheetOrPopupKeepsTheQueueWaiting)
{
    ModalIdleCondition::install();
    QWidget window;
    window.show();
    ModalViewController::setPresentingWidgetProvider([&] { return &window; });
    EXPECT_TRUE(ModalIdleCondition::isEventLoopIdle());

    ModalViewController sheet;
    sheet.showModalView();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.parentWidget(), &window);
    EXPECT_FALSE(ModalIdleCondition::isEventLoopIdle());
    sheet.hideModalView();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_TRUE(ModalIdleCondition::isEventLoopIdle());

    QWidget popup(nullptr, Qt::Popup);
    popup.show();
    EXPECT_FALSE(ModalIdleCondition::isEventLoopIdle());
    popup.close();
    EXPECT_TRUE(ModalIdleCondition::isEventLoopIdle());

    ModalViewController::setPresentingWidgetProvider({});
    NotificationQueue::defaultQueue().setIdleCondition({});
}

TEST(ModalViewControllerTest, ClosingTheWindowEndsTheSheetAndItsKeyMonitor)
{
    QWidget window;
    window.show();
    ModalViewController::setPresentingWidgetProvider([&] { return &window; });
    ModalViewController sheet;
    sheet.showModalView();
    sheet.showModalView();
    ASSERT_EQ(sheet.showCount(), 1);
    sheet.reject(); // what the close button does
    EXPECT_FALSE(sheet.isPresented());
    EXPECT_EQ(sheet.showCount(), 0);
    EXPECT_FALSE(NotificationQueue::defaultQueue().isInModal());
    ModalViewController::setPresentingWidgetProvider({});
}

TEST(ModalAlertViewControllerTest, SurvivesTheWindowItWasShownOverClosingFirst)
{
    auto* window = new QWidget;
    window->show();
    ModalViewController::setPresentingWidgetProvider([&] { return window; });
    ModalAlertViewController::shared().showModalView();
    ASSERT_TRUE(ModalAlertViewController::shared().isVisible());
    delete window; // takes the sheet that was up over it along
    window = nullptr;
    EXPECT_FALSE(NotificationQueue::defaultQueue().isInModal());

    ScriptedAlertPresenter presenter;
    NotificationCenter::defaultCenter().post(Notification { NotificationName::showModalAlert, {},
        QVariantMap { { "messageText", QString("again") } } });
    EXPECT_TRUE(ModalAlertViewController::shared().isPresented());
    EXPECT_EQ(ModalAlertViewController::shared().messageText()->text(), "again");
    ModalAlertViewController::shared().hideModalView();
    ModalViewController::setPresentingWidgetProvider({});
}
