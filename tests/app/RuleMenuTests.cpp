// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "engine/TransformationEventHandler.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileTableHeaderView.h"
#include "platform/DefaultsStore.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonCollectionViewItem.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/SelectorLineView.h"
#include "ruleui/TransformViewController.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

// The rule bar's commands as the main menu and the keyboard reach them, in a
// shown, active window.
class RuleMenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
        ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
        ASSERT_TRUE(transformers && ruleBar);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        load({ TransformerType::simple });
    }

    void load(const QList<TransformerType>& kinds)
    {
        QList<Transformer> rules;
        for (TransformerType kind : kinds) {
            Transformer rule = Transformer::newTransformer();
            rule.type = kind;
            rules << rule;
        }
        transformers->load(rules);
        transformers->selectTransformerAt(0);
        TestEnvironment::drainEvents();
        window->undoManager().removeAllActions();
    }

    QAction* item(const QString& selector, const QString& kind = {})
    {
        for (QAction* action : window->menuBar()->findChildren<QAction*>())
            if (action->property(MainMenu::SELECTOR_PROPERTY).toString() == selector
                && action->property(MainMenu::RULE_KIND_PROPERTY).toString() == kind)
                return action;
        return nullptr;
    }

    // Chooses the item as the menu or its shortcut does: validated, then sent.
    void choose(const QString& selector, const QString& kind = {})
    {
        QAction* action = item(selector, kind);
        ASSERT_NE(action, nullptr) << selector.toStdString();
        window->validateMenuItems();
        ASSERT_TRUE(action->isEnabled()) << selector.toStdString();
        action->trigger();
        TestEnvironment::drainEvents();
    }

    QList<TransformerType> kinds() const
    {
        QList<TransformerType> list;
        for (const Transformer& rule : transformers->list())
            list << rule.type;
        return list;
    }
    int current() const { return int(transformers->indexOf(transformers->currentTransformerId()).value_or(-1)); }
    ButtonCollectionView* buttons() const { return ruleBar->buttonViewController()->collectionView(); }

    std::shared_ptr<Transformers> transformers;
    std::shared_ptr<TransformViewController> ruleBar;
};

TEST_F(RuleMenuTest, EveryRuleCommandOfTheMenuIsOneUndoStep)
{
    using T = TransformerType;
    choose("addRenameAction:", "insert");
    EXPECT_EQ(kinds(), (QList<T> { T::simple, T::insert }));
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(window->undoAction()->text(), "Undo Add Rename Action");

    choose("moveRenameActionLeft:");
    EXPECT_EQ(kinds(), (QList<T> { T::insert, T::simple }));
    EXPECT_EQ(current(), 0);
    window->validateMenuItems();
    EXPECT_FALSE(item("moveRenameActionLeft:")->isEnabled()) << "the first rule moves no further left";
    EXPECT_FALSE(item("selectPrecedingTransformer:")->isEnabled());

    choose("selectNextTransformer:");
    EXPECT_EQ(current(), 1);
    choose("selectPrecedingTransformer:");
    EXPECT_EQ(current(), 0);
    choose("addRenameAction:");
    EXPECT_EQ(kinds(), (QList<T> { T::insert, T::simple, T::simple }));
    QAction* selectFirst = nullptr;
    QAction* selectLast = nullptr;
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
        if (action->property(MainMenu::SELECTOR_PROPERTY).toString() == "selectTransformer:")
            (action->data().isValid() ? selectFirst : selectLast) = action;
    ASSERT_TRUE(selectFirst && selectLast);
    selectLast->trigger();
    TestEnvironment::drainEvents();
    EXPECT_EQ(current(), 2) << "an untagged Select chooses the last rule";
    selectFirst->trigger();
    TestEnvironment::drainEvents();
    EXPECT_EQ(current(), 0);
    selectLast->trigger();
    TestEnvironment::drainEvents();

    choose("deleteRenameAction:");
    EXPECT_EQ(kinds(), (QList<T> { T::insert, T::simple }));
    EXPECT_EQ(window->undoAction()->text(), "Undo Delete Replace Action");

    // Back through every step, then forward again.
    const QList<QList<T>> history {
        { T::insert, T::simple, T::simple },
        { T::insert, T::simple },
        { T::simple, T::insert },
        { T::simple },
    };
    for (const auto& expected : history) {
        window->undoAction()->trigger();
        TestEnvironment::drainEvents();
        EXPECT_EQ(kinds(), expected);
    }
    window->redoAction()->trigger();
    TestEnvironment::drainEvents();
    EXPECT_EQ(kinds(), (QList<T> { T::simple, T::insert }));

    choose("clearRenamingActions:");
    EXPECT_TRUE(transformers->isEmpty());
    window->validateMenuItems();
    for (const char* selector : { "deleteRenameAction:", "clearRenamingActions:", "selectNextTransformer:",
             "moveRenameActionRight:", "moveRenameActionLeft:" })
        EXPECT_FALSE(item(selector)->isEnabled()) << selector;
    EXPECT_TRUE(item("addRenameAction:")->isEnabled());
}

TEST_F(RuleMenuTest, KindsWithoutAnImplementationCannotBeAddedAndInputBlockingDisablesAll)
{
    window->validateMenuItems();
    for (TransformerType kind : allTransformerTypes()) {
        Transformer probe;
        probe.type = kind;
        QAction* add = item("addRenameAction:", rawValue(kind));
        ASSERT_NE(add, nullptr) << rawValue(kind).toStdString();
        EXPECT_EQ(add->isEnabled(), probe.transformer() != nullptr) << rawValue(kind).toStdString();
    }
    NotificationCenter::defaultCenter().post({ NotificationName::disableUserInput, {}, std::nullopt });
    window->validateMenuItems();
    for (const char* selector : { "addRenameAction:", "deleteRenameAction:", "renameFiles:" })
        EXPECT_FALSE(item(selector)->isEnabled()) << selector;
    NotificationCenter::defaultCenter().post({ NotificationName::enableUserInput, {}, std::nullopt });
}

TEST_F(RuleMenuTest, RenameInTheMenuFollowsTheRenameButton)
{
    window->validateMenuItems();
    EXPECT_FALSE(item("renameFiles:")->isEnabled());
    EXPECT_EQ(item("renameFiles:")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    ruleBar->renameButton()->setEnabled(true);
    NotificationRecorder recorder({ NotificationName::commitChanges });
    choose("renameFiles:");
    EXPECT_EQ(recorder.received.size(), 1u);
    // The run it started must end before the test takes the stores away.
    const auto handler = DependencyInjectionRegistry::get<TransformationEventHandler>("test", "test", 0);
    ASSERT_TRUE(handler);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] {
        const TaskHandle& run = handler->transformationTask();
        return !run.isValid() || run.isFinished();
    }));
    TestEnvironment::drainEvents();
}

TEST_F(RuleMenuTest, AFocusedRuleButtonTakesArrowsDeleteAndTheContextMenu)
{
    using T = TransformerType;
    load({ T::simple, T::prefix, T::suffix });
    EXPECT_EQ(buttons()->focusPolicy(), Qt::TabFocus) << "Tab reaches the buttons, a click does not focus them";
    buttons()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(buttons()->hasFocus());
    EXPECT_EQ(buttons()->focusIndex(), 0);

    QTest::keyClick(buttons(), Qt::Key_Right);
    TestEnvironment::drainEvents();
    EXPECT_EQ(current(), 1);
    QTest::keyClick(buttons(), Qt::Key_End);
    TestEnvironment::drainEvents();
    EXPECT_EQ(buttons()->focusIndex(), 3) << "End reaches the Add button";
    EXPECT_EQ(current(), 1) << "the Add button selects no rule";
    QTest::keyClick(buttons(), Qt::Key_Space);
    TestEnvironment::drainEvents();
    EXPECT_EQ(kinds(), (QList<T> { T::simple, T::prefix, T::suffix, T::simple }));
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(buttons()->focusIndex(), 3) << "the focus follows the new rule";

    QTest::keyClick(buttons(), Qt::Key_Left);
    TestEnvironment::drainEvents();
    EXPECT_EQ(current(), 2);
    QTest::keyClick(buttons(), Qt::Key_Delete);
    TestEnvironment::drainEvents();
    EXPECT_EQ(kinds(), (QList<T> { T::simple, T::prefix, T::simple }));
    EXPECT_EQ(window->undoManager().undoActionName(), "Delete Suffix Action");

    // Edit ▸ Delete goes to the focused rule, not to the file table.
    window->validateMenuItems();
    QAction* editDelete = item("delete:");
    ASSERT_TRUE(editDelete->isEnabled());
    editDelete->trigger();
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers->count(), 2);

    // The menu key opens the context menu of the focused rule.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), buttons()->mapToGlobal(QPoint()));
    QApplication::sendEvent(buttons(), &menuKey);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            titles << action->text();
    EXPECT_EQ(titles, (QStringList { "Move Left", "Move Right", "Delete" }));
    const int before = current();
    menu->actions().at(0)->trigger();
    menu->close();
    TestEnvironment::drainEvents();
    EXPECT_EQ(current(), before - 1);
    EXPECT_EQ(window->undoManager().undoActionName(), "Move Rename Action");
}

TEST_F(RuleMenuTest, RuleButtonsHaveAccessibleNames)
{
    using T = TransformerType;
    load({ T::simple, T::insert });
    Transformer described = transformers->list().at(1);
    described.description = QStringLiteral("puts the date in front");
    described.disabled = true;
    transformers->addOrReplaceTransformer(described);
    TestEnvironment::drainEvents();
    ASSERT_EQ(buttons()->numberOfItems(), 3);
    EXPECT_EQ(buttons()->item(0)->accessibleName(), "Replace 1 of 2, File");
    EXPECT_EQ(buttons()->item(1)->accessibleName(), "Insert 2 of 2, File, disabled");
    EXPECT_EQ(buttons()->item(1)->accessibleDescription(), "puts the date in front");
    EXPECT_EQ(buttons()->item(2)->accessibleName(), "Add Rename Action");
    // A screen reader meets buttons in a list, named as above.
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(buttons());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->role(), QAccessible::List);
    ASSERT_EQ(row->childCount(), 3);
    EXPECT_EQ(row->child(0)->role(), QAccessible::Button);
    EXPECT_EQ(row->child(0)->text(QAccessible::Name), "Replace 1 of 2, File");
}

TEST_F(RuleMenuTest, TwentyRulesScrollInsteadOfWideningTheWindow)
{
    load(QList<TransformerType>(20, TransformerType::simple));
    window->resize(1024, 600);
    TestEnvironment::drainEvents();
    EXPECT_LE(window->minimumSizeHint().width(), 1024);
    const QRect rename(ruleBar->renameButton()->mapTo(window.get(), QPoint()), ruleBar->renameButton()->size());
    EXPECT_TRUE(window->rect().contains(rename)) << "Rename stays on screen";
    QScrollBar* scroll = ruleBar->buttonScrollArea()->horizontalScrollBar();
    EXPECT_GT(scroll->maximum(), 0);

    // Choosing the last rule scrolls its button into sight, and the notch follows it.
    transformers->selectTransformerAt(19);
    NotificationCenter::defaultCenter().post({ NotificationName::transformButtonUpdated, {}, std::nullopt });
    TestEnvironment::drainEvents();
    ButtonCollectionViewItem* last = buttons()->item(19);
    const QRect shown(last->mapTo(ruleBar->buttonScrollArea()->viewport(), QPoint()), last->size());
    EXPECT_TRUE(ruleBar->buttonScrollArea()->viewport()->rect().contains(shown));
    EXPECT_GT(scroll->value(), 0);
    const auto notchAt = [&](int index) {
        ButtonCollectionViewItem* button = buttons()->item(index);
        return ruleBar->selectorLine()->mapFromGlobal(button->mapToGlobal(QPoint())).x() + 16;
    };
    ASSERT_TRUE(ruleBar->selectorLine()->notchX());
    EXPECT_EQ(*ruleBar->selectorLine()->notchX(), notchAt(19)) << "the notch points at the selected rule";

    // After a move the notch follows the button to its new place.
    choose("moveRenameActionLeft:");
    EXPECT_EQ(current(), 18);
    ASSERT_TRUE(ruleBar->selectorLine()->notchX());
    EXPECT_EQ(*ruleBar->selectorLine()->notchX(), notchAt(18));
}

TEST_F(RuleMenuTest, TheCountSaysHowManyFilesARenameWouldChange)
{
    struct Case {
        qint64 rename, total, errors;
        QString text;
        bool renameEnabled;
    };
    const Case cases[] = {
        { 0, 12, 12, "0 files", false },
        { 1, 1, 0, "1 file", true },
        { 1, 12, 3, "1 file", true },
        { 2, 12, 1, "2 files", true },
        { 25, 25, 0, "25 files", true },
        { 0, 0, 0, "0 files", false },
    };
    for (const Case& c : cases) {
        auto result = std::make_shared<FileValidationResult>();
        result->renameCount = c.rename;
        result->totalCount = c.total;
        result->errorCount = c.errors;
        AppNotification::ValidationResult::post(result);
        TestEnvironment::drainEvents();
        EXPECT_EQ(ruleBar->fileCountLabel()->text(), c.text);
        EXPECT_EQ(ruleBar->renameButton()->isEnabled(), c.renameEnabled) << c.text.toStdString();
    }
}

TEST_F(RuleMenuTest, PathColumnsShowWhileARuleEditsPathsAndHideAfterANewDocument)
{
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    FileTableHeaderView* header = table->fileTableHeaderView();
    ASSERT_NE(header, nullptr);
    ASSERT_TRUE(header->isCollapsed(FileTableColumn::originalPath));

    Transformer fullPath = Transformer::newTransformer();
    fullPath.transformScope = TransformScope::fullPath;
    transformers->load({ fullPath });
    TestEnvironment::drainEvents();
    EXPECT_FALSE(header->isCollapsed(FileTableColumn::originalPath)) << "a full-path rule edits the path";
    EXPECT_FALSE(header->isCollapsed(FileTableColumn::transformedPath));

    ScriptedAlertPresenter alerts;
    alerts.answer = 1; // Don't Save: these rules never had a file
    choose("newDocument:");
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !transformers->hasPathScope(); }));
    TestEnvironment::drainEvents();
    EXPECT_TRUE(header->isCollapsed(FileTableColumn::originalPath));
    EXPECT_TRUE(header->isCollapsed(FileTableColumn::transformedPath));

    // The View menu shows and hides them from the keyboard too.
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
        if (action->objectName() == NotificationName::uncollapsePathColumns)
            action->trigger();
    TestEnvironment::drainEvents();
    EXPECT_FALSE(header->isCollapsed(FileTableColumn::originalPath));
}

TEST_F(RuleMenuTest, TheWindowKeepsItsFrameAndTellsAboutItself)
{
    window->setGeometry(60, 70, 900, 580);
    TestEnvironment::drainEvents();
    window->saveFrame();
    MainWindow second;
    second.restoreFrame();
    EXPECT_EQ(second.size(), QSize(900, 580));
    DefaultsStore::standard().remove(MainWindow::FRAME_KEY);

    const QString version = QApplication::applicationVersion();
    QApplication::setApplicationVersion(QStringLiteral("1.2.3"));
    const QString about = MainWindow::aboutText();
    QApplication::setApplicationVersion(version);
    EXPECT_TRUE(about.contains("Brackenfold 1.2.3"));
    EXPECT_TRUE(about.contains("OpenStreetMap contributors"));
    EXPECT_TRUE(about.contains("GNU General Public License, version 3 or (at your option) any later version"));
    EXPECT_TRUE(about.contains("Open Database License"));
}

// A run that renamed every file says so on a line that stops nobody.
TEST_F(RuleMenuTest, TheStatusLineShowsAMessageWithANameAndGoesWithIt)
{
    window->show();
    window->showStatusMessage(QStringLiteral("Renamed 3 files."));
    QStatusBar* line = window->statusBar();
    EXPECT_TRUE(line->isVisibleTo(window.get()));
    EXPECT_EQ(line->currentMessage(), QStringLiteral("Renamed 3 files."));
    EXPECT_EQ(line->accessibleName(), QStringLiteral("Status"));
    EXPECT_EQ(line->accessibleDescription(), QStringLiteral("Renamed 3 files."));
    line->clearMessage();
    EXPECT_FALSE(line->isVisibleTo(window.get())) << "no empty bar is left";
}
