// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTableFixture.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTablePasteboard.h"
#include "filetable/TableViewController.h"

#include <QItemSelectionModel>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

QStringList names(const QList<File>& files)
{
    QStringList list;
    for (const File& file : files)
        list << String::lastPathComponent(file.source.fileInfo.fullPath);
    return list;
}

QList<File> namedFiles(const QStringList& list)
{
    QList<File> files;
    for (const QString& name : list)
        files << settled(makeFile(QStringLiteral("/data/") + name));
    return files;
}

std::unique_ptr<QMimeData> rowsData(const QString& text)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(FileTablePasteboard::fileTableViewRowIndexType, text.toUtf8());
    return data;
}

} // namespace

class RowDragDropTest : public FileTableFixture {
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
    void show(const QStringList& list)
    {
        fill(namedFiles(list));
        QWidget* view = controller->view();
        view->resize(800, 400);
        view->show();
        TestEnvironment::drainEvents();
    }
    QStringList storeOrder() const { return names(store->getAllFiles()); }
    QStringList shownRows() const
    {
        QStringList list;
        for (int row = 0; row < controller->numberOfRows(); ++row)
            list << String::lastPathComponent(controller->model()->fileAt(row)->source.fileInfo.fullPath);
        return list;
    }

    std::unique_ptr<TableViewController> controller;
};

TEST(RowDragIndexes, OnlyWholeDecimalNumbersCount)
{
    EXPECT_EQ(TableViewController::getDraggedIndexes(*rowsData("3\n+4\n-1\n007")), (QList<int> { 3, 4, -1, 7 }));
    EXPECT_EQ(TableViewController::getDraggedIndexes(*rowsData("12a\n 5\n1.5\n\n99999999999\nx")), QList<int> {});
    EXPECT_EQ(TableViewController::getDraggedIndexes(QMimeData()), QList<int> {});
}

TEST_F(RowDragDropTest, DraggedRowsCarryTheirNumbersAndTheFirstFilesUrl)
{
    show({ "a", "b", "c" });
    FileTableModel* model = controller->model();
    std::unique_ptr<QMimeData> data(model->mimeData({ model->index(2, 1), model->index(1, 0), model->index(1, 3) }));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(TableViewController::getDraggedIndexes(*data), (QList<int> { 1, 2 }));
    EXPECT_EQ(QUrl::fromEncoded(data->data(FileTablePasteboard::fileTableViewRowUrlType), QUrl::StrictMode),
        QUrl::fromLocalFile("/data/b"));
    EXPECT_TRUE(model->flags(model->index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
}

TEST_F(RowDragDropTest, RowsMoveAboveTheDropRow)
{
    struct Case {
        const char* what;
        QString rows;
        int dropRow;
        QStringList expected;
    };
    const QList<Case> cases {
        { "two rows down, above the former row 4", "0\n1", 4, { "c", "d", "a", "b", "e", "f", "g" } },
        { "one row up", "5", 2, { "a", "b", "f", "c", "d", "e", "g" } },
        { "two rows up keep their order", "5\n6", 2, { "a", "b", "f", "g", "c", "d", "e" } },
        { "below the last row: to the end", "1", 7, { "a", "c", "d", "e", "f", "g", "b" } },
    };
    for (const Case& c : cases) {
        show({ "a", "b", "c", "d", "e", "f", "g" });
        controller->acceptDrop(*rowsData(c.rows), c.dropRow);
        EXPECT_EQ(storeOrder(), c.expected) << c.what;
        TestEnvironment::drainEvents();
        EXPECT_EQ(shownRows(), c.expected) << c.what;
    }
}

TEST_F(RowDragDropTest, WithHiddenFilesFilteredTheRowsTheUserSawMove)
{
    // Hidden files are listed but not shown: the table's rows are not the list's positions.
    show({ "a", ".h1", "b", ".h2", "c", "d" });
    ASSERT_FALSE(controller->filter().hiddenFiles);
    ASSERT_EQ(shownRows(), (QStringList { "a", "b", "c", "d" }));

    controller->acceptDrop(*rowsData("3"), 1); // "d" above "b"
    EXPECT_EQ(storeOrder(), (QStringList { "a", ".h1", "d", "b", ".h2", "c" }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(shownRows(), (QStringList { "a", "d", "b", "c" }));

    controller->acceptDrop(*rowsData("0\n2"), 4); // "a" and "b" below the last row
    EXPECT_EQ(storeOrder(), (QStringList { ".h1", "d", ".h2", "c", "a", "b" }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(shownRows(), (QStringList { "d", "c", "a", "b" }));
}

TEST_F(RowDragDropTest, UndoAndRedoOfADrag)
{
    show({ "a", "b", "c", "d", "e" });
    NotificationRecorder recorder({ NotificationName::dataSourceUpdated, NotificationName::applyChanges });
    controller->acceptDrop(*rowsData("0\n1"), 4);
    const QStringList moved { "c", "d", "a", "b", "e" };
    EXPECT_EQ(storeOrder(), moved);
    EXPECT_EQ(undoManager.undoActionName(), QStringLiteral("Drag 2 files"));
    TestEnvironment::drainEvents();
    // The table reloads, and the preview runs again: numbering follows the order.
    EXPECT_EQ(recorder.count(NotificationName::dataSourceUpdated), 1);
    EXPECT_EQ(recorder.count(NotificationName::applyChanges), 1);

    undoManager.undo();
    EXPECT_EQ(storeOrder(), (QStringList { "a", "b", "c", "d", "e" }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(shownRows(), (QStringList { "a", "b", "c", "d", "e" }));
    undoManager.redo();
    EXPECT_EQ(storeOrder(), moved);
    undoManager.undo();
    EXPECT_EQ(storeOrder(), (QStringList { "a", "b", "c", "d", "e" }));
}

TEST_F(RowDragDropTest, ADropWithoutRowsRegistersNoStep)
{
    show({ "a", "b", "c" });
    controller->acceptDrop(*rowsData("x\n9"), 1);
    EXPECT_FALSE(undoManager.canUndo());
    EXPECT_EQ(storeOrder(), (QStringList { "a", "b", "c" }));
}

TEST_F(RowDragDropTest, DropRowsLieBetweenRows)
{
    show({ "a", "b", "c" });
    FileTableView* table = controller->fileTableView();
    const int height = table->rowHeight(0);
    EXPECT_EQ(table->dropRow(QPoint(5, 1)), 0);
    EXPECT_EQ(table->dropRow(QPoint(5, height - 2)), 1);
    EXPECT_EQ(table->dropRow(QPoint(5, height + height / 2 + 1)), 2);
    EXPECT_EQ(table->dropRow(QPoint(5, table->viewport()->height() - 1)), 3); // below the last row
}

TEST_F(RowDragDropTest, FilesDroppedFromOutsideStillOpen)
{
    show({ "a" });
    FileTableView* table = controller->fileTableView();
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile("/data/new"), QUrl("https://example.org/x") });
    struct Case {
        Qt::KeyboardModifiers modifiers;
        bool ask;
        FileAction action;
    };
    for (const Case& c : { Case { Qt::NoModifier, true, FileAction::replace }, Case { Qt::AltModifier, false, FileAction::append } }) {
        NotificationRecorder recorder({ NotificationName::openFolder });
        EXPECT_TRUE(table->performDragOperation(&data, QPoint(5, 5), c.modifiers, false));
        ASSERT_EQ(recorder.received.size(), 1u);
        const auto request = AppNotification::OpenFolder::get(recorder.received[0]);
        EXPECT_EQ(request.urls, QList<QUrl> { QUrl::fromLocalFile("/data/new") });
        EXPECT_EQ(request.ask, c.ask);
        EXPECT_EQ(request.action, c.action);
    }
    EXPECT_EQ(storeOrder(), QStringList { "a" });
    // Rows of another table are not moved here.
    auto rows = rowsData("0");
    EXPECT_FALSE(table->performDragOperation(rows.get(), QPoint(5, 5), Qt::NoModifier, false));
    EXPECT_FALSE(undoManager.canUndo());
}

TEST_F(RowDragDropTest, RowsDroppedOnTheTableMoveThere)
{
    show({ "a", "b", "c" });
    FileTableView* table = controller->fileTableView();
    auto rows = rowsData("2");
    EXPECT_TRUE(table->performDragOperation(rows.get(), QPoint(5, 1), Qt::NoModifier, true));
    EXPECT_EQ(storeOrder(), (QStringList { "c", "a", "b" }));
}

TEST_F(RowDragDropTest, TheDraggedFilesStaySelectedAtTheirNewRows)
{
    show({ "a", ".h", "b", "c", "d" });
    auto* selection = controller->fileTableView()->selectionModel();
    for (int row : { 0, 1 })
        selection->select(controller->model()->index(row, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    controller->acceptDrop(*rowsData("0\n1"), 4); // "a" and "b" to the end
    TestEnvironment::drainEvents();
    QStringList selected;
    for (const QModelIndex& index : selection->selectedRows())
        selected << String::lastPathComponent(controller->model()->fileAt(index.row())->source.fileInfo.fullPath);
    selected.sort();
    EXPECT_EQ(selected, (QStringList { "a", "b" }));
    EXPECT_EQ(controller->selectedFile()->source.fileInfo.fullPath, QStringLiteral("/data/a"));
}
