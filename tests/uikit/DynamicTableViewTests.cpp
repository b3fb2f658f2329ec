// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "uikit/DynamicTableView.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

struct Row {
    QUuid id = QUuid::createUuid();
    QString text;
    bool operator==(const Row&) const = default;
};
size_t qHash(const Row& row, size_t seed = 0)
{
    return qHashMulti(seed, row.id, row.text);
}

class DynamicTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.setColumns({ QStringLiteral("Find"), QStringLiteral("Replace") });
        table.cellProvider = [](const QString& column, int, const Row& row) {
            return column == QLatin1String("Find") ? row.text : row.text.toUpper();
        };
        table.resize(300, 200);
        table.show();
    }
    QList<Row> rows(int count) const
    {
        QList<Row> list;
        for (int i = 0; i < count; ++i)
            list << Row { QUuid::createUuid(), QStringLiteral("r%1").arg(i) };
        return list;
    }

    DynamicTableView<Row> table;
};

TEST_F(DynamicTable, anEqualListChangesNothingNotEvenTheSelection)
{
    const QList<Row> list = rows(3);
    table.updateList(list);
    EXPECT_EQ(table.selectedRow(), 0) << "without a row to select, row 0";
    EXPECT_EQ(table.tableView()->model()->index(1, 1).data().toString(), QStringLiteral("R1"));
    EXPECT_EQ(table.tableView()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Find"));
    table.selectField(2, 0);
    table.updateList(list, 1);
    EXPECT_EQ(table.selectedRow(), 2) << "an unchanged list ignores selectingRow";

    // The same texts under new ids are a change; the selected row stays.
    QList<Row> renewed = list;
    renewed[0].id = QUuid::createUuid();
    table.updateList(renewed);
    EXPECT_EQ(table.selectedRow(), 2);
    table.updateList(rows(4), 3);
    EXPECT_EQ(table.selectedRow(), 3);
    table.updateList(rows(4), 9);
    EXPECT_EQ(table.tableView()->model()->rowCount(), 4);
    EXPECT_EQ(table.selectedRow(), 3) << "a row past the end keeps the selection";
}

// The cell gets the focus once the table is on screen; a table that never
// shows gives the request up with one line in the log.
TEST_F(DynamicTable, theFocusWaitsForTheTableToShowAndIsGivenUpOtherwise)
{
    const QString givenUp = QStringLiteral(
        "DynamicTableView: Could not find a cell view at (row: 1, column: 0) to make first responder.");
    LogCapture log;
    DynamicTableView<Row> later;
    later.setColumns({ QStringLiteral("Find") });
    later.updateList(rows(2), 1);
    const auto editing = [&] {
        const auto* editor = later.tableView()->viewport()->findChild<QLineEdit*>();
        return editor && editor->isVisible();
    };
    // The first try finds no table on screen.
    TestEnvironment::drainEvents();
    EXPECT_FALSE(editing());
    later.show();
    ASSERT_TRUE(TestEnvironment::processEventsUntil(editing));
    EXPECT_EQ(later.tableView()->currentIndex().row(), 1);
    EXPECT_FALSE(log.contains(givenUp));

    DynamicTableView<Row> never;
    never.setColumns({ QStringLiteral("Find") });
    never.updateList(rows(2), 1);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return log.contains(givenUp); }));
    EXPECT_EQ(never.selectedRow(), 1) << "the selection stays";
}

TEST_F(DynamicTable, anEmptyListHidesTheTableAndTheTitleFollowsItsText)
{
    table.updateList({});
    EXPECT_TRUE(table.tableView()->isHidden()) << "the first list counts as a change, even empty";
    table.updateList(rows(1));
    EXPECT_FALSE(table.tableView()->isHidden());

    EXPECT_TRUE(table.headerView()->isHidden());
    table.setTitle(QStringLiteral("Names"));
    EXPECT_FALSE(table.headerView()->isHidden());
    EXPECT_EQ(table.headerView()->text(), QStringLiteral("Names"));
    table.setTitle(QString());
    EXPECT_TRUE(table.headerView()->isHidden());
    // Taken away after building: an empty line stays.
    table.setTitle(QStringLiteral("Names"));
    table.setTitle(std::nullopt);
    EXPECT_FALSE(table.headerView()->isHidden());
    EXPECT_TRUE(table.headerView()->text().isEmpty());
}

TEST_F(DynamicTable, cellsAreFoundByTheirEditorsAndEditsAreReported)
{
    table.updateList(rows(2));
    QTableView* view = table.tableView();
    const QModelIndex cell = view->model()->index(1, 1);
    view->edit(cell);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(table.rowColumn(editor));
    EXPECT_EQ(*table.rowColumn(editor), std::make_pair(1, 1));
    QLabel outside;
    EXPECT_FALSE(table.rowColumn(&outside));

    std::optional<std::tuple<int, int, QString>> edited;
    QObject::connect(&table, &DynamicTableViewBase::cellEdited, [&](int row, int column, const QString& text) {
        edited = std::make_tuple(row, column, text);
    });
    view->model()->setData(cell, QStringLiteral("new"));
    ASSERT_TRUE(edited);
    EXPECT_EQ(*edited, std::make_tuple(1, 1, QStringLiteral("new")));

    table.selectField(5, 0);
    table.selectField(0, 2);
    EXPECT_EQ(table.selectedRow(), 0) << "places outside the table are ignored";
}

} // namespace
