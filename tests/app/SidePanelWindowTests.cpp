// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/OpenFolderEventHandler.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileDetailsViewController.h"
#include "filetable/FileTableModel.h"
#include "filetable/QuickLookController.h"
#include "files/FileAttributeLoader.h"
#include "ruleui/SidePanelViewController.h"
#include "tokens/FileAttributeUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

class SidePanelWindowTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        duration = SidePanelViewController::animationDuration;
        SidePanelViewController::animationDuration = 0;
        FileAttributeLoader::install(&FileAttributeUtil::loadAttributes);
        makeWindow();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        AppTest::TearDown();
        FileAttributeLoader::install({});
        SidePanelViewController::animationDuration = duration;
    }
    int duration = 0;
    void openFiles(const QStringList& names)
    {
        OpenFolderEventHandler handler;
        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder(names)) }, false, FileAction::replace);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return dataSource->count() == names.size() && !handler.openFilesTask().isValid(); }));
        TestEnvironment::drainEvents();
    }
    TableViewController& table() { return *DependencyInjectionRegistry::get<TableViewController>("test", "table", 0); }
    SidePanelViewController* sidePanel() { return window->contentViewController()->sidePanelViewController(); }
    FileDetailsViewController* inspector()
    {
        return qobject_cast<FileDetailsViewController*>(sidePanel()->currentSidePanelViewController());
    }
    void selectRow(int row)
    {
        table().fileTableView()->selectionModel()->select(table().model()->index(row, 1),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        TestEnvironment::drainEvents();
    }
    QAction* item(const QString& title)
    {
        for (QAction* action : window->menuBar()->findChildren<QAction*>())
            if (QString(action->text()).remove(QLatin1Char('&')) == title)
                return action;
        return nullptr;
    }
};

TEST_F(SidePanelWindowTest, TheInspectorShowsAndFollowsTheTablesSelection)
{
    openFiles({ "first.txt", "second.txt" });
    selectRow(1);
    AppNotification::post(NotificationName::showFileInspector);
    TestEnvironment::drainEvents();
    ASSERT_NE(inspector(), nullptr);
    EXPECT_FALSE(sidePanel()->isCollapsed());
    EXPECT_EQ(inspector()->fileNameTitle()->text(), QStringLiteral("second.txt"));
    selectRow(0);
    EXPECT_EQ(inspector()->fileNameTitle()->text(), QStringLiteral("first.txt"));
    // Its attributes come from the installed readers.
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return inspector()->pendingLoads() == 0; }));
    bool hasSize = false;
    for (const InspectorPanelItem& row : inspector()->fileDetails())
        hasSize = hasSize || row.id == QStringLiteral("file-size");
    EXPECT_TRUE(hasSize);
}

TEST_F(SidePanelWindowTest, TheViewMenuTogglesTheInspector)
{
    QAction* toggle = item(QStringLiteral("Show or Hide File Inspector"));
    ASSERT_NE(toggle, nullptr);
    toggle->trigger();
    TestEnvironment::drainEvents();
    EXPECT_NE(inspector(), nullptr);
    toggle->trigger();
    TestEnvironment::drainEvents();
    EXPECT_EQ(sidePanel()->currentSidePanel(), SidePanel::none);
}

TEST_F(SidePanelWindowTest, NewCommandsHaveTheirOwnShortcuts)
{
    QAction* exportCsv = item(QStringLiteral("Export CSV…"));
    QAction* quickLook = item(QStringLiteral("Quick Look"));
    ASSERT_NE(exportCsv, nullptr);
    ASSERT_NE(quickLook, nullptr);
    EXPECT_EQ(quickLook->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_EQ(quickLook->shortcutContext(), Qt::WidgetShortcut);
    int sameKeys = 0;
    for (QAction* action : window->menuBar()->findChildren<QAction*>())
        sameKeys += !action->shortcut().isEmpty() && action->shortcut() == exportCsv->shortcut() ? 1 : 0;
    EXPECT_EQ(sameKeys, 1);

    openFiles({ "a.txt" });
    window->validateMenuItems();
    EXPECT_TRUE(exportCsv->isEnabled());
    EXPECT_FALSE(quickLook->isEnabled()); // nothing selected
    selectRow(0);
    window->validateMenuItems();
    EXPECT_TRUE(quickLook->isEnabled());
}

TEST_F(SidePanelWindowTest, SpaceStaysWithTheFocusedControl)
{
    openFiles({ "a.txt" });
    selectRow(0);
    window->validateMenuItems();
    ASSERT_TRUE(item(QStringLiteral("Quick Look"))->isEnabled());
    NotificationRecorder recorder({ NotificationName::showOrHideQuickLook });
    auto* field = new QLineEdit(window->centralWidget());
    auto* box = new QCheckBox(QStringLiteral("Option"), window->centralWidget());
    box->move(0, 40);
    field->show();
    box->show();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Space);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    TestEnvironment::drainEvents();
    EXPECT_EQ(field->text(), QStringLiteral(" "));
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(recorder.received.empty());

    table().fileTableView()->setFocus();
    QTest::keyClick(table().fileTableView(), Qt::Key_Space);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::showOrHideQuickLook), 1);
    if (PreviewWindow* preview = QuickLookController::shared().previewWindow())
        preview->hide();
}
