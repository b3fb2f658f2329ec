// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/OpenDocumentMenuAction.h"
#include "app/OpenFolderEventHandler.h"
#include "app/OpenPanel.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTablePasteboard.h"
#include "rules/Transformers.h"
#include "ruleui/TransformViewDialogController.h"
#include "tokenui/TokenTextViewController.h"
#include "platform/NotificationCenter.h"

#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

class MenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
    }

    QAction* item(const QString& selector)
    {
        for (QAction* action : window->menuBar()->findChildren<QAction*>())
            if (action->property(MainMenu::SELECTOR_PROPERTY).toString() == selector)
                return action;
        return nullptr;
    }

    void openFiles(const QStringList& names)
    {
        OpenFolderEventHandler handler;
        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder(names)) }, false, FileAction::replace);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return dataSource->count() == names.size() && !handler.openFilesTask().isValid(); }));
        TestEnvironment::drainEvents();
    }

    void post(const QString& name) { NotificationCenter::defaultCenter().post({ name, {}, {} }); }
};

TEST_F(MenuTest, SortItemsNeedFilesAndUnblockedInput)
{
    const QList<QAction*> sortItems = [&] {
        QList<QAction*> items;
        for (SortMenuItem each : MainMenu::allSortMenuItems())
            items << MainMenu::menuItem(static_cast<int>(each));
        return items;
    }();
    ASSERT_EQ(sortItems.size(), 16);
    for (QAction* sortItem : sortItems) {
        ASSERT_NE(sortItem, nullptr);
        EXPECT_FALSE(window->validateMenuItem(sortItem)) << sortItem->text().toStdString();
    }
    openFiles({ "a.txt" });
    for (QAction* sortItem : sortItems)
        EXPECT_TRUE(window->validateMenuItem(sortItem)) << sortItem->text().toStdString();
    post(NotificationName::disableUserInput);
    for (QAction* sortItem : sortItems)
        EXPECT_FALSE(window->validateMenuItem(sortItem)) << sortItem->text().toStdString();
    post(NotificationName::enableUserInput);
    EXPECT_TRUE(window->validateMenuItem(sortItems.first()));
}

TEST_F(MenuTest, ASortIsOneUndoStepAndMovesTheCheckMark)
{
    openFiles({ "b.txt", "a.txt", "c.txt" });
    window->undoManager().removeAllActions();
    QAction* pathDescending = MainMenu::menuItem(207);
    ASSERT_NE(pathDescending, nullptr);
    EXPECT_EQ(pathDescending->property(MainMenu::SELECTOR_PROPERTY).toString(), "sortByPathDescending:");
    ASSERT_TRUE(window->sendAction("sortByPathDescending:", pathDescending));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return dataSource->sortOrder() == FileSortOrder::byPathDescending; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(window->undoManager().undoActionName(), "Sort by path descending");
    for (SortMenuItem each : MainMenu::allSortMenuItems())
        EXPECT_EQ(MainMenu::menuItem(static_cast<int>(each))->isChecked(), static_cast<int>(each) == 207);

    window->undoManager().undo();
    TestEnvironment::drainEvents();
    EXPECT_EQ(dataSource->sortOrder(), FileSortOrder::defaultSort);
    EXPECT_TRUE(MainMenu::menuItem(201)->isChecked());
    EXPECT_FALSE(MainMenu::menuItem(207)->isChecked());
}

TEST_F(MenuTest, ClearIsOneNamedStepAndNothingOnAnEmptyList)
{
    window->sendAction("clearFileListAction:", item("clearFileListAction:"));
    TestEnvironment::drainEvents();
    EXPECT_EQ(window->undoManager().undoCount(), 0);

    openFiles({ "a.txt", "b.txt", "c.txt" });
    window->sendAction("clearFileListAction:", item("clearFileListAction:"));
    TestEnvironment::drainEvents();
    EXPECT_EQ(dataSource->count(), 0);
    EXPECT_EQ(window->undoManager().undoActionName(), "Clear 3 files");
    window->validateMenuItems();
    EXPECT_EQ(window->undoAction()->text(), "Undo Clear 3 files");
    window->undoAction()->trigger();
    EXPECT_EQ(dataSource->count(), 3);
}

TEST_F(MenuTest, ReloadReopensTheLastOpenedLocations)
{
    QAction* reload = item("reloadFileList:");
    ASSERT_NE(reload, nullptr);
    EXPECT_FALSE(window->validateMenuItem(reload));
    openFiles({ "a.txt" });
    EXPECT_TRUE(window->validateMenuItem(reload));
    post(NotificationName::disableUserInput);
    EXPECT_FALSE(window->validateMenuItem(reload));
    EXPECT_FALSE(window->sendAction("reloadFileList:", reload));
    post(NotificationName::enableUserInput);

    NotificationRecorder recorder({ NotificationName::openFolder });
    EXPECT_TRUE(window->sendAction("reloadFileList:", reload));
    ASSERT_EQ(recorder.received.size(), 1u);
    const auto request = AppNotification::OpenFolder::get(recorder.received[0]);
    EXPECT_EQ(request.urls, dataSource->openedUrls);
    EXPECT_FALSE(request.ask);
    EXPECT_EQ(request.action, FileAction::replace);
}

TEST_F(MenuTest, ItemsNamingANotificationPostIt)
{
    NotificationRecorder recorder({ NotificationName::applyChanges });
    QAction named(QStringLiteral("Refresh"));
    named.setObjectName(NotificationName::applyChanges);
    QAction unnamed(QStringLiteral("Nothing"));
    EXPECT_TRUE(window->sendAction("postNotification:", &unnamed));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 0);
    EXPECT_TRUE(window->sendAction("postNotification:", &named));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);
}

TEST_F(MenuTest, CommandsWithoutATargetAreDisabledAndLogNil)
{
    LogCapture log;
    QAction unanswered;
    unanswered.setProperty(MainMenu::SELECTOR_PROPERTY, QStringLiteral("noSuchCommand:"));
    EXPECT_FALSE(window->validateMenuItem(&unanswered));
    QAction* preferences = item("preferencesAction:");
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(window->validateMenuItem(preferences));
    EXPECT_EQ(preferences->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_FALSE(window->sendAction("noSuchCommand:", nullptr));
    EXPECT_TRUE(log.contains("MainWindow.supplementalTarget noSuchCommand: -> nil"));
    EXPECT_TRUE(window->validateMenuItem(item("openDocument:")));
    window->sendAction("openDocument:", nullptr);
    EXPECT_TRUE(log.contains("MainWindow.supplementalTarget openDocument: -> OpenDocumentMenuAction"));
}

TEST_F(MenuTest, TheOpenDialogsChooseFilesOrAFolderAndAskBeforeReplacing)
{
    const QString folder = makeFolder({ "one.txt", "two.txt" });
    struct Case {
        const char* selector;
        OpenPanel::Mode mode;
        QStringList picks;
    };
    const QList<Case> cases {
        { "openDocument:", OpenPanel::Mode::files, { folder + "/one.txt", folder + "/two.txt" } },
        { "openFolder:", OpenPanel::Mode::folder, { folder } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selector);
        NotificationRecorder recorder({ NotificationName::openFolder });
        ASSERT_TRUE(window->validateMenuItem(item(c.selector)));
        ASSERT_TRUE(window->sendAction(c.selector, item(c.selector)));
        QPointer<OpenPanel> panel = window->findChild<OpenPanel*>();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->mode(), c.mode);
        EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
        panel->setDirectory(c.mode == OpenPanel::Mode::files ? folder : QFileInfo(folder).path());
        TestEnvironment::drainEvents();
        // The picks go in through the name field, as typed or clicked; the
        // dialog's own button must then be enabled and take them.
        QStringList quoted;
        for (const QString& pick : c.picks)
            quoted << (c.picks.size() > 1 ? "\"" + QFileInfo(pick).fileName() + "\"" : QFileInfo(pick).fileName());
        auto* name = panel->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(quoted.join(' '));
        TestEnvironment::drainEvents();
        auto* buttons = panel->findChild<QDialogButtonBox*>("buttonBox");
        ASSERT_NE(buttons, nullptr);
        QPushButton* choose = qobject_cast<QPushButton*>(buttons->button(QDialogButtonBox::Open));
        ASSERT_NE(choose, nullptr);
        ASSERT_TRUE(choose->isEnabled());
        QTest::mouseClick(choose, Qt::LeftButton);
        TestEnvironment::drainEvents();
        ASSERT_EQ(recorder.received.size(), 1u);
        const auto request = AppNotification::OpenFolder::get(recorder.received[0]);
        QList<QUrl> expected;
        for (const QString& pick : c.picks)
            expected << QUrl::fromLocalFile(pick);
        EXPECT_EQ(request.urls, expected);
        EXPECT_TRUE(request.ask);
        EXPECT_EQ(request.action, FileAction::replace);
        EXPECT_TRUE(panel.isNull()) << "the dialog is gone once it has answered";
    }
}

// The window asks the global menu actions in this order; the first that
// answers a command takes it.
TEST(MainMenuActions, TheGlobalActionsInTheOrderTheyAreAsked)
{
    QStringList classes;
    for (const QObject* action : MainMenu::globalMenuActions())
        classes << action->metaObject()->className();
    EXPECT_EQ(classes,
        (QStringList { "ClearFileListMenuAction", "ClearRecentRecipeMenuAction", "NewDocumentMenuAction",
            "NotificationMenuAction", "OpenDocumentMenuAction", "ReloadFileListMenuAction", "OpenRecentRecipeMenuAction",
            "OpenRecipeMenuAction", "SaveRecipeMenuAction", "SortMenuAction", "PreferencesWindowController" }));
}

TEST(MainMenuScan, NestedItemsAreFoundAndSubmenuItemsNever)
{
    QMenu top;
    QMenu* sub = top.addMenu(QStringLiteral("Sub"));
    sub->menuAction()->setData(205);
    QAction* nested = sub->addAction(QStringLiteral("Nested"));
    nested->setData(204);
    QAction* zero = top.addAction(QStringLiteral("Zero"));
    zero->setData(0);
    QAction* later = top.addAction(QStringLiteral("Later"));
    later->setData(204);
    const QHash<int, QAction*> found = MainMenu::scanMenuItems(top.actions());
    EXPECT_EQ(found.value(204), later);
    EXPECT_FALSE(found.contains(205));
    EXPECT_FALSE(found.contains(0));
    EXPECT_EQ(MainMenu::scanMenuItems({}).size(), 0);
}

TEST(MainMenuTags, SortItemsPairByNameNotPosition)
{
    EXPECT_EQ(MainMenu::fileSortOrder(SortMenuItem::noSort), FileSortOrder::none);
    EXPECT_EQ(MainMenu::fileSortOrder(*MainMenu::sortMenuItem(207)), FileSortOrder::byPathDescending);
    EXPECT_EQ(MainMenu::selector(*MainMenu::sortMenuItem(208)), "sortByDateAscending:");
    EXPECT_EQ(MainMenu::fileSortOrder(*MainMenu::sortMenuItem(212)), FileSortOrder::byNumericTransformedNameAscending);
    EXPECT_FALSE(MainMenu::sortMenuItem(199));
    EXPECT_FALSE(MainMenu::sortMenuItem(216));
    EXPECT_FALSE(MainMenu::windowMenuItem(303));
    EXPECT_EQ(MainMenu::windowMenuItem(302), MainMenu::WindowMenuItem::hideHiddenFiles);
    for (SortMenuItem each : MainMenu::allSortMenuItems())
        EXPECT_EQ(sortMenuItem(MainMenu::fileSortOrder(each)), each);
}

TEST_F(MenuTest, NewDocumentIsOneUndoStepThatRestoresFilesAndRules)
{
    auto transformers = std::make_shared<Transformers>();
    DependencyInjectionRegistry::shared().registerInstance(transformers);
    transformers->reset();
    transformers->reset();
    openFiles({ "a.txt", "b.txt" });
    const QList<Transformer> rules = transformers->list();
    window->undoManager().removeAllActions();

    ASSERT_TRUE(window->sendAction("newDocument:", item("newDocument:")));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return dataSource->count() == 0; }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers->count(), 1);
    EXPECT_NE(transformers->list().first().id, rules.first().id);
    EXPECT_EQ(window->undoManager().undoActionName(), "New");
    EXPECT_EQ(window->undoManager().undoCount(), 1);

    window->undoManager().undo();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return dataSource->count() == 2; }));
    TestEnvironment::drainEvents();
    ASSERT_EQ(transformers->count(), rules.size());
    EXPECT_EQ(transformers->list().first().id, rules.first().id);
}

// New and its undo lay the list out again; the steps before it must still
// take back their own files, whatever order the rows were put in meanwhile.
TEST_F(MenuTest, UndoAfterNewTakesBackTheFilesOfEachStep)
{
    window->show();
    DependencyInjectionRegistry::shared().registerInstance(std::make_shared<Transformers>());
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    const auto names = [&] {
        QStringList list;
        for (const File& file : dataSource->getAllFiles())
            list << file.source.fileInfo.name;
        return list;
    };
    struct Case {
        const char* what;
        std::function<void()> reorder;
        QStringList reordered;
    };
    const QList<Case> cases {
        { "sort", [&] { window->sendAction("sortByNameDescending:", item("sortByNameDescending:")); },
            { "b2", "b1", "a3", "a2", "a1" } },
        { "drag",
            [&] {
                QMimeData rows;
                rows.setData(FileTablePasteboard::fileTableViewRowIndexType, "4");
                table->acceptDrop(rows, 0);
            },
            { "b2", "a1", "a2", "a3", "b1" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->undoManager().removeAllActions();
        openFiles({ "a1.txt", "a2.txt", "a3.txt" });
        OpenFolderEventHandler handler;
        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder({ "b1.txt", "b2.txt" })) }, false,
            FileAction::append);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return dataSource->count() == 5 && !handler.openFilesTask().isValid(); }));
        TestEnvironment::drainEvents();
        c.reorder();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return names() == c.reordered; }));

        ASSERT_TRUE(window->sendAction("newDocument:", item("newDocument:")));
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return dataSource->count() == 0; }));
        TestEnvironment::drainEvents();
        window->undoManager().undo();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return names() == c.reordered; }));
        window->undoManager().undo();
        TestEnvironment::drainEvents();
        window->undoManager().undo();
        TestEnvironment::drainEvents();
        EXPECT_EQ(names(), (QStringList { "a1", "a2", "a3" }));
        window->undoManager().redo();
        TestEnvironment::drainEvents();
        EXPECT_EQ(names(), (QStringList { "a1", "a2", "a3", "b1", "b2" }));
    }
}

// "delete:" is answered by the file table's deleteFiles: enabled with a selected
// row, it removes the selected files as one undo step.
TEST_F(MenuTest, DeleteReachesTheFileTableAndRemovesTheSelectedRows)
{
    window->show();
    openFiles({ "a.txt", "b.txt", "c.txt" });
    QAction* remove = item("delete:");
    ASSERT_NE(remove, nullptr);
    EXPECT_FALSE(window->validateMenuItem(remove));

    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->numberOfRows(), 3);
    FileTableView* view = table->fileTableView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(table->model()->index(1, 1)).center());
    LogCapture log;
    // As opening the menu does.
    window->validateMenuItems();
    EXPECT_TRUE(remove->isEnabled());
    remove->trigger();
    EXPECT_TRUE(log.contains("MainWindow.supplementalTarget delete: -> TableViewController"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return dataSource->count() == 2; }));
    QStringList names;
    for (const File& file : dataSource->getAllFiles())
        names << file.source.fileInfo.name;
    EXPECT_EQ(names, QStringList({ "a", "c" }));
}

// With the file table focused, Edit ▸ Select All and Copy act on its rows, by
// the menu and by their keys; Copy takes the names of every selected row.
TEST_F(MenuTest, SelectAllAndCopyActOnTheFileTable)
{
    window->show();
    window->activateWindow();
    openFiles({ "a.txt", "b.txt", "c.txt" });
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    FileTableView* view = table->fileTableView();
    QAction* selectAll = nullptr;
    QAction* copy = nullptr;
    for (QAction* action : window->menuBar()->findChildren<QAction*>()) {
        if (action->text() == "Select &All")
            selectAll = action;
        else if (action->text() == "&Copy")
            copy = action;
    }
    ASSERT_TRUE(selectAll && copy);
    const auto copied = [] { return QApplication::clipboard()->text(); };
    const auto clickRow = [&](int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(table->model()->index(row, 1)).center());
    };

    clickRow(0);
    ASSERT_EQ(QApplication::focusWidget(), view);
    // As opening the menu does.
    window->validateMenuItems();
    EXPECT_TRUE(selectAll->isEnabled());
    EXPECT_TRUE(copy->isEnabled());

    // Two rows picked by the mouse: both names, in the table's order.
    clickRow(2, Qt::ControlModifier);
    QApplication::clipboard()->clear();
    copy->trigger();
    EXPECT_EQ(copied(), "a.txt\nc.txt");

    // By the keys, as the window gets them.
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 3);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copied(), "a.txt\nb.txt\nc.txt");

    // Nothing selected: the clipboard keeps what it had.
    view->clearSelection();
    QApplication::clipboard()->setText("kept");
    copy->trigger();
    EXPECT_EQ(copied(), "kept");
}

TEST_F(MenuTest, TheWindowMenuFiltersReachTheFileTable)
{
    openFiles({ "a.txt" });
    QAction* hideHidden = item("hideHiddenFilesMenuHandler:");
    ASSERT_NE(hideHidden, nullptr);
    EXPECT_TRUE(window->validateMenuItem(hideHidden));
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    const bool before = table->filter().hiddenFiles;
    hideHidden->trigger();
    EXPECT_NE(table->filter().hiddenFiles, before);
}

// The token chooser is the rule editor's: its command opens it, and the
// rule editor keeps it for the next time.
TEST_F(MenuTest, TheTokenChooserCommandOpensTheChooser)
{
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    ASSERT_TRUE(transformers);
    transformers->load({ Transformer::newTransformer() });
    transformers->selectTransformerAt(0);
    window->show();
    TestEnvironment::drainEvents();
    QAction* chooser = item("showTokenChooser:");
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    EXPECT_TRUE(window->validateMenuItem(chooser));
    LogCapture log;
    chooser->trigger();
    EXPECT_TRUE(log.contains("MainWindow.supplementalTarget showTokenChooser: -> TransformViewDialogController"));
    const auto dialog = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(dialog);
    ASSERT_NE(dialog->tokenTextViewController(), nullptr);
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return dialog->tokenTextViewController()->isVisible(); }));
    EXPECT_EQ(dialog->tokenTextViewController()->window(), dialog->tokenTextViewController());
    EXPECT_EQ(dialog->tokenTextViewController()->parentWidget(), window.get());

    // Placed by the shown rule's field, on screen, not over it.
    const QWidget* target = dialog->tokenTextViewController()->targetTextField();
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(target->isVisible());
    EXPECT_NE(target, window.get());
    EXPECT_NE(target, dialog.get());
    const QRect frame = dialog->tokenTextViewController()->frameGeometry();
    const QRect targetArea(target->mapToGlobal(QPoint(0, 0)), target->size());
    EXPECT_TRUE(target->screen()->availableGeometry().contains(frame));
    EXPECT_FALSE(frame.intersects(targetArea));
}
