// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedAlertPresenter.h"
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "platform/NotificationQueue.h"
#include "uikit/Alert.h"
#include "uikit/ModalIdleCondition.h"
#include "uikit/AlertPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

// Runs `answer` on the modal alert once it is up. Whatever `answer` asserted,
// an alert still open afterwards is closed, so a failure never blocks the run.
void onModalAlert(std::function<void(QWidget& dialog)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        [&] {
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        }();
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()); open && open == dialog)
            open->reject();
    });
}
const QStringList OPEN_QUESTION { "Append", "Replace", "Cancel" };
}

TEST(Alert, PressedButtonIsReportedFromOneThousandInOrder)
{
    ScriptedAlertPresenter presenter;
    for (int pressed : { 0, 1, 2 }) {
        presenter.answer = pressed;
        int response = 0;
        Alert::warning("Brackenfold already has some opened files", "Do you want to replace or append the files?",
            OPEN_QUESTION, [&](Alert::ModalResponse r) { response = r; });
        EXPECT_EQ(response, 1000 + pressed);
    }
    ASSERT_EQ(presenter.requests.size(), 3u);
    const AlertRequest& request = presenter.requests.back();
    EXPECT_EQ(request.messageText, "Brackenfold already has some opened files");
    EXPECT_EQ(request.informativeText, "Do you want to replace or append the files?");
    EXPECT_EQ(request.style, AlertStyle::warning);
    EXPECT_EQ(request.buttons, OPEN_QUESTION);
    EXPECT_EQ(request.keyEquivalents, QStringList({ "a", "r", "c" }));
}

TEST(Alert, WithoutButtonsTheDefaultButtonAnswersOneThousand)
{
    ScriptedAlertPresenter presenter;
    int response = 0;
    Alert::warning("Message", "Informative", {}, [&](Alert::ModalResponse r) { response = r; });
    EXPECT_EQ(response, 1000);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_TRUE(presenter.requests[0].buttons.isEmpty());
}

TEST(Alert, ClosedWithoutAButtonCountsAsTheLastButton)
{
    ScriptedAlertPresenter presenter;
    presenter.answer = AlertPresenter::NO_BUTTON;
    int response = 0;
    Alert::warning("Message", "Informative", OPEN_QUESTION, [&](Alert::ModalResponse r) { response = r; });
    EXPECT_EQ(response, 1002);
}

TEST(Alert, KeyEquivalentIsTheLowerCasedFirstCharacter)
{
    struct Case {
        QString title;
        QString key;
    };
    const Case cases[] = {
        { "Replace", "r" },
        { "append", "a" },
        { "", "" },
        { QString::fromUtf8("Ärger"), QString::fromUtf8("ä") },
        { QString::fromUtf8("\U0001D400bc"), QString::fromUtf8("\U0001D400") }, // one character of two UTF-16 units
    };
    for (const Case& c : cases)
        EXPECT_EQ(Alert::keyEquivalent(c.title), c.key) << c.title.toStdString();
}

TEST(Alert, FireAndForgetAlertsReturnAtOnceAndShowOnTheMainThread)
{
    ScriptedAlertPresenter presenter;
    std::thread worker([] {
        Alert::warning("Unable to open all files", "/restricted: Path is restricted");
        Alert::info("Download completed successfully.",
            "The application will now close to allow installation to proceed.");
    });
    worker.join();
    EXPECT_TRUE(presenter.requests.empty());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return presenter.requests.size() == 2; }));
    EXPECT_EQ(presenter.requests[0].style, AlertStyle::warning);
    EXPECT_EQ(presenter.requests[0].messageText, "Unable to open all files");
    EXPECT_EQ(presenter.requests[1].style, AlertStyle::informational);
    EXPECT_TRUE(presenter.requests[1].buttons.isEmpty());
}

// The dialog presenter runs a real modal loop; a timer inside it inspects the
// dialog and presses a button.
TEST(DialogAlertPresenter, ShowsTextsAsPlainTextAndAnswersThePressedButton)
{
    QStringList labelTexts;
    QList<Qt::TextFormat> formats;
    QString replaceShortcut;
    bool queueBlocked = false;
    onModalAlert([&](QWidget& dialog) {
        queueBlocked = NotificationQueue::defaultQueue().isInModal();
        for (auto* label : dialog.findChildren<QLabel*>()) {
            if (label->pixmap().isNull()) {
                labelTexts << label->text();
                formats << label->textFormat();
            }
        }
        for (auto* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == "Replace") {
                replaceShortcut = button->shortcut().toString();
                button->click();
            }
        }
    });
    int response = 0;
    Alert::warning("<b>Unsigned</b> text", "<a href=\"x\">link</a>", { "Append", "Replace", "Cancel" },
        [&](Alert::ModalResponse r) { response = r; });
    EXPECT_EQ(response, 1001);
    EXPECT_EQ(replaceShortcut, "R");
    EXPECT_TRUE(queueBlocked);
    EXPECT_FALSE(NotificationQueue::defaultQueue().isInModal());
    EXPECT_TRUE(labelTexts.contains("<b>Unsigned</b> text"));
    EXPECT_TRUE(labelTexts.contains("<a href=\"x\">link</a>"));
    for (Qt::TextFormat format : formats)
        EXPECT_EQ(format, Qt::PlainText);
}

// The checkbox is unticked at first; its state comes back with the button.
TEST(DialogAlertPresenter, AnswersTheCheckboxWithThePressedButton)
{
    for (const bool tick : { true, false }) {
        SCOPED_TRACE(tick);
        bool startedUnticked = false;
        onModalAlert([&](QWidget& dialog) {
            auto* checkbox = dialog.findChild<QCheckBox*>();
            ASSERT_NE(checkbox, nullptr);
            EXPECT_EQ(checkbox->text(), "Do not ask again");
            startedUnticked = !checkbox->isChecked();
            if (tick)
                checkbox->click();
            for (auto* button : dialog.findChildren<QPushButton*>())
                if (button->text() == "Continue")
                    button->click();
        });
        int response = 0;
        bool checked = !tick;
        Alert::warning("Message", "Informative", { "Continue", "Abort" }, "Do not ask again",
            [&](Alert::ModalResponse r, bool c) {
                response = r;
                checked = c;
            });
        EXPECT_TRUE(startedUnticked);
        EXPECT_EQ(response, 1000);
        EXPECT_EQ(checked, tick);
    }
}

// Escape or the window's close button leaves the question unanswered: the
// alert with a checkbox says so instead of taking its last button.
TEST(DialogAlertPresenter, ACheckboxAlertClosedWithoutAButtonAnswersNoButton)
{
    struct Case {
        const char* label;
        bool tick;
        std::function<void(QDialog&)> close;
    };
    const Case cases[] = {
        { "Escape", false, [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); } },
        { "Escape, ticked", true, [](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); } },
        { "close button", false, [](QDialog& dialog) { dialog.close(); } },
        { "close button, ticked", true, [](QDialog& dialog) { dialog.close(); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        bool closed = false;
        onModalAlert([&](QWidget& widget) {
            auto* dialog = qobject_cast<QDialog*>(&widget);
            ASSERT_NE(dialog, nullptr);
            if (c.tick)
                dialog->findChild<QCheckBox*>()->click();
            c.close(*dialog);
            closed = !dialog->isVisible();
        });
        int response = -1;
        bool checked = !c.tick;
        Alert::warning("Message", "Informative", { "Continue", "Abort" }, "Do not ask again",
            [&](Alert::ModalResponse r, bool ch) {
                response = r;
                checked = ch;
            });
        EXPECT_TRUE(closed);
        EXPECT_EQ(response, Alert::NO_BUTTON);
        EXPECT_EQ(checked, c.tick);
    }
}

TEST(DialogAlertPresenter, ShowsNoCheckboxWithoutATitle)
{
    bool hadCheckbox = true;
    onModalAlert([&](QWidget& dialog) {
        hadCheckbox = dialog.findChild<QCheckBox*>() != nullptr;
        auto* button = dialog.findChild<QPushButton*>();
        ASSERT_NE(button, nullptr);
        button->click();
    });
    Alert::warning("Message", "Informative", { "OK" }, [](Alert::ModalResponse) { });
    EXPECT_FALSE(hadCheckbox);
}

// A notice is up when the call returns on the main thread and holds nothing
// back: no modal loop, queued notifications are delivered, the window beneath
// takes input; its button closes it.
TEST(DialogAlertPresenter, ANoticeBlocksNeitherTheWindowNorTheQueue)
{
    ModalIdleCondition::install();
    QWidget window;
    window.show();
    window.activateWindow();
    const QString message = "The network was unavailable or a network error occurred. (2)";
    Alert::notice(message, "The new names in the list are shown without GPS Address information.");

    QDialog* notice = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible() && dialog->accessibleName() == message)
            notice = dialog;
    }
    ASSERT_NE(notice, nullptr) << "shown before the call returned";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(notice->isModal());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(ModalIdleCondition::isEventLoopIdle());
    QStringList texts;
    for (auto* label : notice->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("The new names in the list are shown without GPS Address information."));

    NotificationRecorder recorder({ NotificationName::dataSourceUpdated });
    AppNotification::post(NotificationName::dataSourceUpdated);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::dataSourceUpdated) == 1; }))
        << "the table's update goes on while the notice is up";

    QPointer<QDialog> open = notice;
    auto* ok = notice->findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    ok->click();
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return open.isNull(); })) << "closed and gone";
}

TEST(Alert, ANoticeFromAWorkerFollowsOnTheMainThread)
{
    ScriptedAlertPresenter presenter;
    std::thread worker([] { Alert::notice("Message", "Informative"); });
    worker.join();
    EXPECT_TRUE(presenter.notices.empty());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return presenter.notices.size() == 1; }));
    EXPECT_EQ(presenter.notices[0].messageText, "Message");
    EXPECT_EQ(presenter.notices[0].informativeText, "Informative");
    EXPECT_TRUE(presenter.requests.empty()) << "no modal alert";
}

// However many items its lists hold, the alert fits the screen with its button
// on it, and each list scrolls through all of its items.
TEST(DialogAlertPresenter, LongListsScrollAndTheAlertFitsTheScreen)
{
    QStringList paths;
    for (int i = 0; i < 300; ++i)
        paths << QStringLiteral("/home/u/photos/read-only-%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    AlertRequest request { "Unable to open all files", "Files in the following folders are restricted for renaming:\n\n "
                                                       "Path is restricted: 300 items\nPath is read only: 300 items\n"
                                                       "Volume is read only: 300 items\nNot accessible: 2 items" };
    request.lists = { { "Path is restricted", paths }, { "Path is read only", paths }, { "Volume is read only", paths },
        { "Not accessible", { "/home/u/a", "/home/u/b" } } };
    QRect available;
    QRect frame;
    QRect button;
    QList<int> listCounts;
    bool scrolls = false;
    onModalAlert([&](QWidget& dialog) {
        available = dialog.screen()->availableGeometry();
        frame = dialog.frameGeometry();
        auto* ok = dialog.findChild<QPushButton*>();
        ASSERT_NE(ok, nullptr);
        button = QRect(ok->mapTo(&dialog, QPoint(0, 0)) + dialog.geometry().topLeft(), ok->size());
        for (const QListWidget* list : dialog.findChildren<QListWidget*>()) {
            listCounts << list->count();
            if (list->count() == 300)
                scrolls = scrolls || list->verticalScrollBar()->maximum() > 0;
        }
    });
    DialogAlertPresenter().runAlert(request);
    ASSERT_FALSE(available.isEmpty());
    EXPECT_LE(frame.height(), available.height());
    EXPECT_TRUE(available.contains(button)) << "button at " << button.y() << ", screen height " << available.height();
    EXPECT_EQ(listCounts, (QList<int> { 300, 300, 300, 2 }));
    EXPECT_TRUE(scrolls);
}
