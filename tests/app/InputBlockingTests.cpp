// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "app/SortMenuAction.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "core/AppNotification+Typed.h"
#include "core/FileValidationResult.h"
#include "platform/NotificationCenter.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTest>

class InputBlockingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        column = window->contentViewController()->mainViewController()->view();
        button = new QPushButton(QStringLiteral("Rename"));
        column->addArrangedSubview(button);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void block(int times)
    {
        for (int i = 0; i < times; ++i)
            NotificationCenter::defaultCenter().post({ NotificationName::disableUserInput, {}, {} });
    }
    void unblock(int times)
    {
        for (int i = 0; i < times; ++i)
            NotificationCenter::defaultCenter().post({ NotificationName::enableUserInput, {}, {} });
    }

    MainStackView* column = nullptr;
    QPushButton* button = nullptr;
    int clicks = 0;
};

// What a user meets is whether a click reaches a control of the window. Requests
// nest, and an unblock with nothing blocked leaves no credit for the next block.
TEST_F(InputBlockingTest, RequestsNestAndExtraEnablesChangeNothing)
{
    struct Step {
        const char* name;
        int blocks;
        int unblocks;
        int level;
    };
    const QList<Step> steps {
        { "an unblock with nothing blocked", 0, 1, 0 },
        { "two blocks, one unblock", 2, 1, 1 },
        { "the second unblock and one more", 0, 2, 0 },
        { "one block after the extra unblocks", 1, 0, 1 },
        { "its unblock", 0, 1, 0 },
    };
    // Every control that greys out or refuses input counts the same way.
    const auto ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
    const auto ruleEditor = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(ruleBar && ruleEditor && table);
    SortMenuAction* sort = nullptr;
    for (QObject* action : MainMenu::globalMenuActions())
        if (auto* found = qobject_cast<SortMenuAction*>(action))
            sort = found;
    ASSERT_NE(sort, nullptr);
    auto result = std::make_shared<FileValidationResult>();
    result->renameCount = result->totalCount = 1;
    AppNotification::ValidationResult::post(result);
    TestEnvironment::drainEvents();
    for (const Step& step : steps) {
        block(step.blocks);
        unblock(step.unblocks);
        const bool blocked = step.level > 0;
        EXPECT_EQ(column->blockedUserInterfaceLevel(), step.level) << step.name;
        EXPECT_EQ(column->isEnabled(), !blocked) << step.name;
        EXPECT_EQ(ruleEditor->typeSelector()->isEnabled(), !blocked) << step.name << ": the rule kind selector";
        EXPECT_EQ(ruleBar->renameButton()->isEnabled(), !blocked) << step.name << ": the Rename button";
        EXPECT_EQ(ruleBar->buttonViewController()->collectionView()->isSelectable(), !blocked) << step.name << ": the rule buttons";
        EXPECT_EQ(table->userInputEnabled(), !blocked) << step.name << ": the file table";
        EXPECT_EQ(sort->userInputEnabled(), !blocked) << step.name << ": the sort commands";
        const int before = clicks;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(clicks - before, blocked ? 0 : 1) << step.name << ": a click on the window's button";
    }
}

TEST_F(InputBlockingTest, WhileBlockedOnlyTheAbortButtonTakesClicks)
{
    auto progress = ProgressViewController::shared();
    AppNotification::UpdateProgressView::post(1, 4, QStringLiteral("Renaming"), true);
    progress->view()->show();
    NotificationRecorder recorder({ NotificationName::abortProcess });

    block(1);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(progress->abortButton(), Qt::LeftButton);
    TestEnvironment::drainEvents();
    QTest::mouseClick(progress->abortButton(), Qt::LeftButton);
    TestEnvironment::drainEvents();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(recorder.count(NotificationName::abortProcess), 2);

    unblock(1);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(InputBlockingTest, WhileBlockedKeysShortcutsAndDropsAreRefused)
{
    int shortcuts = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), window.get());
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++shortcuts; });
    // Menu items fire as actions.
    auto* menuCommand = new QAction(window.get());
    menuCommand->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    window->addAction(menuCommand);
    QObject::connect(menuCommand, &QAction::triggered, [&] { ++shortcuts; });
    button->setFocus();

    block(1);
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_J, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_Space);
    QMimeData mime;
    mime.setUrls({ QUrl::fromLocalFile(makeFolder({ "a.txt" })) });
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(column, &enter);
    EXPECT_EQ(shortcuts, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(enter.isAccepted());

    unblock(1);
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_J, Qt::ControlModifier);
    QTest::keyClick(button, Qt::Key_Space);
    QDragEnterEvent again(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(column, &again);
    EXPECT_EQ(shortcuts, 2);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(again.isAccepted());
}

TEST_F(InputBlockingTest, DialogsOverTheWindowStayUsableWhileBlocked)
{
    QDialog dialog(window.get());
    auto* answer = new QPushButton(QStringLiteral("Continue"), &dialog);
    int answered = 0;
    QObject::connect(answer, &QPushButton::clicked, [&] { ++answered; });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    block(1);
    QTest::mouseClick(answer, Qt::LeftButton);
    EXPECT_EQ(answered, 1);
    unblock(1);
}
