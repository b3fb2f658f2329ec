// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "platform/NotificationCenter.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileTableModel.h"
#include "filetable/TableViewController.h"
#include "uikit/AppTextStyle.h"

#include <QAction>
#include <QFontMetricsF>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QList<File> numberedFiles(int count)
{
    QList<File> files;
    files.reserve(count);
    for (int i = 0; i < count; ++i)
        files << settled(makeFile(QStringLiteral("/data/file%1.txt").arg(i, 5, 10, QLatin1Char('0'))));
    return files;
}

QList<int> selectedRows(const TableViewController& controller)
{
    QList<int> rows;
    for (const QModelIndex& index : controller.fileTableView()->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QAction* menuItem(QObject* parent, const char* selector)
{
    auto* item = new QAction(parent);
    item->setCheckable(true);
    item->setProperty(TableViewController::MENU_SELECTOR_PROPERTY, QString::fromLatin1(selector));
    return item;
}

} // namespace

class TableViewControllerTest : public FileTableFixture {
protected:
    void SetUp() override
    {
        FileTableFixture::SetUp();
        controller = std::make_unique<TableViewController>();
    }
    void TearDown() override
    {
        controller.reset();
        FileTableFixture::TearDown();
    }
    // Loads the view at a known size and shows the files.
    FileTableView* show(const QList<File>& files, QSize size = QSize(1000, 400))
    {
        fill(files);
        QWidget* view = controller->view();
        view->resize(size);
        view->show();
        TestEnvironment::drainEvents();
        return controller->fileTableView();
    }
    void select(QList<int> rows)
    {
        auto* selection = controller->fileTableView()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(controller->model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::unique_ptr<TableViewController> controller;
};

TEST_F(TableViewControllerTest, LoadsTheStoreAndStartsWithThePathColumnsCollapsed)
{
    FileTableView* table = show(numberedFiles(3));
    EXPECT_EQ(controller->fileDataSource(), store);
    EXPECT_EQ(controller->numberOfRows(), 3);
    auto* header = controller->fileTableHeaderView();
    EXPECT_TRUE(header->isCollapsed(FileTableColumn::originalPath));
    EXPECT_TRUE(header->isCollapsed(FileTableColumn::transformedPath));
    EXPECT_EQ(header->minimumColumnWidth(1), 200);
    EXPECT_EQ(table->focusPolicy(), Qt::StrongFocus);
    // The name columns share the table's width, also after it changes.
    for (int width : { 1000, 1600, 700 }) {
        controller->view()->resize(width, 400);
        TestEnvironment::drainEvents();
        const int available = table->viewport()->width();
        EXPECT_NEAR(header->sectionSize(1), available / 2, 2) << width;
        EXPECT_NEAR(header->sectionSize(3), available / 2, 2) << width;
    }
}

TEST_F(TableViewControllerTest, DoubleClickOnAColumnDividerFitsTheColumnToItsLongestText)
{
    FileTableView* table = show(numberedFiles(2));
    store->longestOriginalName = QString(60, QLatin1Char('n'));
    controller->recalculateFittingColumnWidths();
    auto* header = controller->fileTableHeaderView();
    const int divider = header->sectionViewportPosition(1) + header->sectionSize(1);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(divider - 1, header->height() / 2));
    EXPECT_EQ(header->sectionSize(1), table->sizeHintForColumn(1));
    EXPECT_GT(header->sectionSize(1), 500);
    EXPECT_TRUE(header->isCollapsed(FileTableColumn::originalPath));
}

TEST_F(TableViewControllerTest, AnEmptyTableTakesNoFocus)
{
    FileTableView* table = show({});
    EXPECT_FALSE(table->acceptsFirstResponder());
    EXPECT_EQ(table->focusPolicy(), Qt::NoFocus);
}

// An empty table says how files get in; one whose files the filters all hide
// says so instead.
TEST_F(TableViewControllerTest, AnEmptyTableSaysWhetherNothingIsListedOrNothingMatches)
{
    FileTableView* table = show({});
    EXPECT_EQ(table->placeholderText(), FileTableView::EMPTY_HINT);
    EXPECT_EQ(table->accessibleDescription(), FileTableView::EMPTY_HINT) << "a screen reader reads it too";

    fill({ makeFile("/a/same.txt"), renamed(makeFile("/a/old.txt"), "new") });
    controller->reloadData();
    EXPECT_EQ(table->placeholderText(), QString());
    EXPECT_EQ(table->accessibleDescription(), QString());
    controller->hideNotRenamedFilesMenuHandler(nullptr);
    TestEnvironment::drainEvents();
    EXPECT_EQ(controller->numberOfRows(), 1);
    EXPECT_EQ(table->placeholderText(), QString());

    fill({ makeFile("/a/same.txt") });
    controller->reloadData();
    EXPECT_EQ(controller->numberOfRows(), 0);
    EXPECT_EQ(table->placeholderText(), FileTableView::NO_MATCH_HINT);
    EXPECT_EQ(table->accessibleDescription(), FileTableView::NO_MATCH_HINT);
    controller->hideNotRenamedFilesMenuHandler(nullptr);
    TestEnvironment::drainEvents();
    EXPECT_EQ(table->placeholderText(), QString());
}

TEST_F(TableViewControllerTest, SpaceShowsQuickLookForTheSelectedFileOnly)
{
    FileTableView* table = show(numberedFiles(3));
    NotificationRecorder recorder({ NotificationName::showOrHideQuickLook });
    QTest::keyClick(table, Qt::Key_Space);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::showOrHideQuickLook), 0);

    select({ 1 });
    QTest::keyClick(table, Qt::Key_Space);
    TestEnvironment::drainEvents();
    ASSERT_EQ(recorder.received.size(), 1u);
    const Notification& n = recorder.received.front();
    EXPECT_EQ(AppNotification::ShowHideQuickLook::getResponder(n), table);
    const auto file = AppNotification::ShowHideQuickLook::getFile(n);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->value<File>().source.fileInfo.fullPath, QStringLiteral("/data/file00001.txt"));

    // Blocked input drops every key, also those the table would handle itself.
    NotificationCenter::defaultCenter().post({ NotificationName::disableUserInput, {}, std::nullopt });
    EXPECT_FALSE(controller->userInputEnabled());
    table->selectionModel()->setCurrentIndex(controller->model()->index(1, 1), QItemSelectionModel::NoUpdate);
    QTest::keyClick(table, Qt::Key_Space);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Delete);
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(table->currentIndex().row(), 1);
    NotificationCenter::defaultCenter().post({ NotificationName::enableUserInput, {}, std::nullopt });
    EXPECT_TRUE(controller->userInputEnabled());
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(table->currentIndex().row(), 2);
}

TEST_F(TableViewControllerTest, DeleteKeepsTheFirstSelectedRowAndRemovesTheStorageIndexes)
{
    FileTableView* table = show(numberedFiles(6));
    store->move({ 5 }, 0); // display order 5,0,1,2,3,4
    NotificationCenter::defaultCenter().post({ NotificationName::dataSourceUpdated, {}, std::nullopt });
    select({ 0, 2, 4 });
    NotificationRecorder recorder({ NotificationName::removeFiles });
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(selectedRows(*controller), QList<int>({ 0 }));
    TestEnvironment::drainEvents();
    ASSERT_EQ(recorder.received.size(), 1u);
    EXPECT_EQ(AppNotification::RemoveFiles::get(recorder.received.front()), QSet<int>({ 5, 1, 3 }));
    // The store removes them and the table follows.
    EXPECT_EQ(controller->numberOfRows(), 3);
    EXPECT_EQ(controller->model()->index(0, 1).data().toString(), QStringLiteral("file00000.txt"));
}

TEST_F(TableViewControllerTest, DoubleClickOnARowShowsTheInspector)
{
    FileTableView* table = show(numberedFiles(2));
    NotificationRecorder recorder({ NotificationName::showFileInspector });
    const QRect firstRow = table->visualRect(controller->model()->index(0, 1));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, firstRow.center());
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::showFileInspector), 1);

    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, QPoint(firstRow.center().x(), 300));
    TestEnvironment::drainEvents();
    EXPECT_EQ(table->clickedRow(), -1);
    EXPECT_EQ(recorder.count(NotificationName::showFileInspector), 1);
}

TEST_F(TableViewControllerTest, SelectionPostsQuickLookAndInspectorUpdatesButClearingPostsNothing)
{
    show(numberedFiles(3));
    NotificationRecorder recorder({ NotificationName::updateQuickLook, NotificationName::updateFileInspector });
    select({ 2 });
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.names(), QStringList({ NotificationName::updateQuickLook, NotificationName::updateFileInspector }));
    ASSERT_TRUE(controller->selectedFile());
    EXPECT_EQ(controller->selectedFile()->source.fileInfo.fullPath, QStringLiteral("/data/file00002.txt"));

    recorder.received.clear();
    controller->fileTableView()->clearSelection();
    TestEnvironment::drainEvents();
    EXPECT_TRUE(recorder.received.empty());
    EXPECT_FALSE(controller->selectedFile());
}

TEST_F(TableViewControllerTest, MenuItemsFollowTheListTheSelectionAndTheFilter)
{
    show({});
    QObject owner;
    QAction* remove = menuItem(&owner, "delete:");
    QAction* notRenamed = menuItem(&owner, "hideNotRenamedFilesMenuHandler:");
    QAction* hidden = menuItem(&owner, "hideHiddenFilesMenuHandler:");
    QAction* csv = menuItem(&owner, "exportFilesToCsv:");
    QAction* quickLook = menuItem(&owner, "quickLookAction:");
    QAction* none = new QAction(&owner);
    for (QAction* item : { remove, notRenamed, hidden, csv, quickLook, none })
        EXPECT_FALSE(controller->validateMenuItem(item)) << item->property("selector").toString().toStdString();

    fill({ renamed(makeFile("/a/x.txt"), "y"), settled(makeFile("/a/.hidden")), settled(makeFile("/a/z.txt")) });
    TestEnvironment::drainEvents();
    EXPECT_FALSE(controller->validateMenuItem(remove));
    EXPECT_TRUE(controller->validateMenuItem(notRenamed));
    EXPECT_FALSE(notRenamed->isChecked());
    EXPECT_TRUE(controller->validateMenuItem(hidden));
    EXPECT_TRUE(hidden->isChecked()); // hidden files are being hidden
    EXPECT_TRUE(controller->validateMenuItem(csv));
    EXPECT_FALSE(controller->validateMenuItem(quickLook));
    select({ 0 });
    EXPECT_TRUE(controller->validateMenuItem(remove));
    EXPECT_TRUE(controller->validateMenuItem(quickLook)); // the preview, as Space gives it
}

TEST_F(TableViewControllerTest, HideTogglesFlipTheFilterAndReloadAfterwards)
{
    show({ renamed(makeFile("/a/x.txt"), "y"), settled(makeFile("/a/.hidden")), settled(makeFile("/a/z.txt")) });
    EXPECT_EQ(controller->numberOfRows(), 2);
    QObject owner;
    QAction* hidden = menuItem(&owner, "hideHiddenFilesMenuHandler:");
    controller->hideHiddenFilesMenuHandler(hidden);
    EXPECT_FALSE(hidden->isChecked());
    EXPECT_TRUE(controller->filter().hiddenFiles);
    EXPECT_EQ(controller->numberOfRows(), 2); // the reload runs after the action
    TestEnvironment::drainEvents();
    EXPECT_EQ(controller->numberOfRows(), 3);

    QAction* notRenamed = menuItem(&owner, "hideNotRenamedFilesMenuHandler:");
    controller->hideNotRenamedFilesMenuHandler(notRenamed);
    EXPECT_TRUE(notRenamed->isChecked());
    TestEnvironment::drainEvents();
    EXPECT_EQ(controller->numberOfRows(), 1);
    controller->hideNotRenamedFilesMenuHandler(notRenamed);
    EXPECT_FALSE(notRenamed->isChecked());
    TestEnvironment::drainEvents();
    EXPECT_EQ(controller->numberOfRows(), 3);
}

TEST_F(TableViewControllerTest, FoldersFollowThePreferenceAtTheNextReload)
{
    show({ settled(makeFile("/a/Photos", true)), settled(makeFile("/a/z.txt")) });
    EXPECT_EQ(controller->numberOfRows(), 2);
    Preference::set(false, PreferenceKey::renameEmptyFolders);
    NotificationCenter::defaultCenter().post({ NotificationName::dataSourceUpdated, {}, std::nullopt });
    EXPECT_EQ(controller->numberOfRows(), 1);
}

TEST_F(TableViewControllerTest, TenThousandFilesKeepSelectionAndScrollPositionAcrossReloads)
{
    FileTableView* table = show(numberedFiles(10000));
    ASSERT_EQ(controller->numberOfRows(), 10000);
    select({ 5000, 5001, 5002, 9000 });
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
    const int scroll = table->verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);

    // New names for every file: same rows, refreshed in place.
    QList<File> files = store->getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = file.source.fileInfo.name + QStringLiteral("-new");
    ASSERT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, QStringLiteral("Brackenfold/Test.cpp")));
    NotificationCenter::defaultCenter().post({ NotificationName::dataSourceUpdated, {}, std::nullopt });
    EXPECT_EQ(controller->model()->index(5000, 3).data().toString(), QStringLiteral("file05000-new.txt"));
    EXPECT_EQ(selectedRows(*controller), QList<int>({ 5000, 5001, 5002, 9000 }));
    EXPECT_EQ(table->verticalScrollBar()->value(), scroll);

    // Rows above the selection go: the same row numbers stay selected, and rows
    // past the end are dropped.
    QSet<int> removed;
    for (int i = 0; i < 1500; ++i)
        removed << i;
    store->removeFiles(removed);
    TestEnvironment::drainEvents();
    ASSERT_EQ(controller->numberOfRows(), 8500);
    EXPECT_EQ(selectedRows(*controller), QList<int>({ 5000, 5001, 5002 }));
    EXPECT_EQ(table->verticalScrollBar()->value(), scroll);
    EXPECT_EQ(controller->model()->index(5000, 1).data().toString(), QStringLiteral("file06500.txt"));
}

TEST_F(TableViewControllerTest, FittingWidthsComeFromTheLongestTexts)
{
    const QFontMetricsF metrics(AppTextStyle::tableRowBold().font());
    auto width = [&](int letters) { return metrics.horizontalAdvance(QString(letters, QLatin1Char('X'))) + 4.0; };

    TableViewController withoutStore;
    withoutStore.recalculateFittingColumnWidths();
    for (int column = 0; column < 4; ++column)
        EXPECT_DOUBLE_EQ(withoutStore.fittingColumnWidth().value(column), width(50)) << column;
    EXPECT_DOUBLE_EQ(withoutStore.sizeToFitWidthOfColumn(7), 50.0);

    show(numberedFiles(2));
    store->longestOriginalName = QStringLiteral("e\u0301te\u0301s"); // four characters, six code units
    store->longestTransformedPath = QStringLiteral("/a/b");
    controller->recalculateFittingColumnWidths();
    EXPECT_DOUBLE_EQ(controller->sizeToFitWidthOfColumn(1), width(4));
    EXPECT_DOUBLE_EQ(controller->sizeToFitWidthOfColumn(2), width(4));
    EXPECT_EQ(controller->fileTableView()->sizeHintForColumn(1), int(std::ceil(width(4))));
}

TEST_F(TableViewControllerTest, ADataSourceUpdateLogsTheFileCount)
{
    show(numberedFiles(4));
    LogCapture log;
    NotificationCenter::defaultCenter().post({ NotificationName::dataSourceUpdated, {}, std::nullopt });
    AppNotification::DataSourceUpdated::post(IndexSet { 3, 1 });
    EXPECT_TRUE(log.contains(QStringLiteral("TableView dataSourceUpdated 4 files")));
    EXPECT_TRUE(log.contains(QStringLiteral("TableView dataSourceUpdated 2 of 4 files at rows: 1 to 3")));
}
