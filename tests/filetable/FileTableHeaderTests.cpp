// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "platform/NotificationCenter.h"
#include "filetable/FileTableHeaderCell.h"
#include "filetable/FileTableHeaderView.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <numeric>

namespace {

using Widths = QList<qreal>;
constexpr auto originalPath = FileTableColumn::originalPath;
constexpr auto transformedPath = FileTableColumn::transformedPath;
constexpr auto transformedName = FileTableColumn::transformedName;

// A table of four columns with the file table's header.
struct HeaderTable {
    HeaderTable()
        : model(3, 4)
    {
        header = new FileTableHeaderView(&table);
        table.setHorizontalHeader(header);
        table.setModel(&model);
        table.resize(1200, 300);
    }
    QStandardItemModel model;
    QTableView table;
    FileTableHeaderView* header;
};

bool isBlank(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgba(0, 0, 0, 0))
                return false;
    return true;
}

} // namespace

TEST(FileTableColumnTest, RawValuesIdentifiersAndTitles)
{
    EXPECT_FALSE(FileTableColumns::fromRawValue(-1));
    EXPECT_FALSE(FileTableColumns::fromRawValue(4));
    QStringList identifiers, titles;
    for (int i = 0; i < 4; ++i) {
        const auto column = FileTableColumns::fromRawValue(i);
        ASSERT_TRUE(column);
        EXPECT_EQ(FileTableColumns::rawValue(*column), i);
        identifiers << FileTableColumns::identifier(*column);
        titles << FileTableColumns::title(*column);
    }
    EXPECT_EQ(identifiers, QStringList({ "originalPath", "originalColumn", "transformedPath", "transformedColumn" }));
    EXPECT_EQ(titles, QStringList({ "Original Path", "Original Name", "Transformed Path", "Transformed Name" }));
    EXPECT_EQ(FileTableHeaderCell::getColumnTitle(std::nullopt), QString());
}

TEST(FileTableHeaderTest, CollapseAndUncollapseArithmetic)
{
    struct Case {
        const char* what;
        bool collapse;
        std::initializer_list<FileTableColumn> columns;
        Widths old;
        Widths expected;
    };
    const Case cases[] = {
        { "uncollapse splits the name width less the margin", false, { originalPath }, { 0, 500, 0, 400 },
            { 248, 248, 0, 400 } },
        { "uncollapse keeps the minimum", false, { originalPath }, { 0, 300, 0, 400 }, { 200, 200, 0, 400 } },
        { "collapse gives the path width and the margin to the name", true, { transformedPath }, { 0, 400, 300, 250 },
            { 0, 400, 0, 554 } },
        { "collapse keeps the minimum", true, { originalPath }, { 50, 60, 0, 400 }, { 0, 200, 0, 400 } },
        { "collapsing a collapsed pair changes nothing", true, { originalPath }, { 0, 500, 300, 300 },
            { 0, 500, 300, 300 } },
        { "uncollapsing a visible pair changes nothing", false, { transformedPath }, { 0, 500, 300, 300 },
            { 0, 500, 300, 300 } },
        { "both pairs in one pass", true, { originalPath, transformedPath }, { 250, 250, 300, 300 },
            { 0, 504, 0, 604 } },
        { "a listed name column does nothing", true, { transformedName }, { 250, 250, 300, 300 },
            { 250, 250, 300, 300 } },
    };
    for (const Case& c : cases) {
        const Widths result = c.collapse ? FileTableHeaderView::collapsedWidths(c.old, c.columns)
                                         : FileTableHeaderView::uncollapsedWidths(c.old, c.columns);
        EXPECT_EQ(result, c.expected) << c.what;
    }
}

TEST(FileTableHeaderTest, AppliedWidthsHideColumnsAndKeepVisibleOnesAtTheMinimum)
{
    HeaderTable t;
    t.header->applyColumnWidths({ 0, 500, 300, 250 });
    EXPECT_TRUE(t.header->isCollapsed(originalPath));
    EXPECT_FALSE(t.header->isCollapsed(transformedPath));
    EXPECT_FALSE(t.header->isCollapsed(std::nullopt));
    EXPECT_EQ(t.header->currentColumnWidths(), Widths({ 0, 500, 300, 250 }));
    EXPECT_EQ(t.header->columnAutoresizing(), FileTableHeaderView::ColumnAutoresizing::uniform);

    t.header->resizeSection(2, 50);
    EXPECT_EQ(t.header->sectionSize(2), 200);

    // Collapsing a collapsed pair still rewrites the other columns.
    t.header->collapse({ originalPath });
    EXPECT_EQ(t.header->currentColumnWidths(), Widths({ 0, 500, 200, 250 }));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(t.header->minimumColumnWidth(i), 200) << i;
    EXPECT_EQ(t.header->minimumColumnWidth(0), 0);
}

TEST(FileTableHeaderTest, NotificationsCollapseAndUncollapseBothPathColumns)
{
    HeaderTable t;
    t.header->applyColumnWidths({ 250, 250, 300, 300 });
    NotificationCenter::defaultCenter().post({ NotificationName::collapsePathColumns, {}, std::nullopt });
    EXPECT_EQ(t.header->currentColumnWidths(), Widths({ 0, 504, 0, 604 }));
    NotificationCenter::defaultCenter().post({ NotificationName::uncollapsePathColumns, {}, std::nullopt });
    EXPECT_EQ(t.header->currentColumnWidths(), Widths({ 250, 250, 300, 300 }));
}

TEST(FileTableHeaderTest, DoubleClickOnAPairTogglesItsPathColumnAndTheColumnsFillTheTable)
{
    HeaderTable t;
    t.table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.table));
    t.header->applyColumnWidths({ 0, 400, 300, 500 });
    auto middleOf = [&](int section) {
        return QPoint(t.header->sectionViewportPosition(section) + t.header->sectionSize(section) / 2,
            t.header->height() / 2);
    };
    // On screen the visible columns always end at the table's edge: no blank
    // strip after a collapse, nothing pushed out of sight after an uncollapse.
    auto fillsTheTable = [&] {
        const Widths widths = t.header->currentColumnWidths();
        return qRound(std::accumulate(widths.cbegin(), widths.cend(), 0.0)) == t.header->width();
    };
    EXPECT_TRUE(fillsTheTable());
    QTest::mouseDClick(t.header->viewport(), Qt::LeftButton, {}, middleOf(3));
    EXPECT_TRUE(t.header->isCollapsed(transformedPath));
    EXPECT_TRUE(fillsTheTable());
    QTest::mouseDClick(t.header->viewport(), Qt::LeftButton, {}, middleOf(3));
    EXPECT_FALSE(t.header->isCollapsed(transformedPath));
    EXPECT_NEAR(t.header->sectionSize(2), t.header->sectionSize(3), 1) << "the pair shares the name's width";
    EXPECT_TRUE(fillsTheTable());
    QTest::mouseDClick(t.header->viewport(), Qt::LeftButton, {}, middleOf(1));
    EXPECT_FALSE(t.header->isCollapsed(originalPath));
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(t.header->sectionSize(i), 200) << i;

    // No column under the click: nothing changes.
    const Widths before = t.header->currentColumnWidths();
    t.header->iconClicked(-1);
    EXPECT_EQ(t.header->currentColumnWidths(), before);
}

TEST(FileTableHeaderTest, IconsShowOnPathColumnsAndOnNamesOfCollapsedPairs)
{
    EXPECT_TRUE(FileTableHeaderCell::showsIcon(originalPath, false));
    EXPECT_TRUE(FileTableHeaderCell::showsIcon(transformedPath, true));
    EXPECT_FALSE(FileTableHeaderCell::showsIcon(transformedName, false));
    EXPECT_TRUE(FileTableHeaderCell::showsIcon(transformedName, true));
    const QRect frame(100, 0, 200, 24);
    EXPECT_EQ(FileTableHeaderCell::titlePosition(frame, false), QPoint(108, 0));
    EXPECT_EQ(FileTableHeaderCell::titlePosition(frame, true), QPoint(140, 0));
}

TEST(FileTableHeaderTest, HeaderCellDrawsOnlyInTheFileTableHeader)
{
    HeaderTable t;
    t.header->applyColumnWidths({ 0, 400, 300, 500 });
    QTableView plainTable;
    QStandardItemModel model(1, 4);
    plainTable.setModel(&model);

    auto render = [](const QWidget* controlView, const QRect& frame) {
        QImage image(1400, 30, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        FileTableHeaderCell::drawInterior(&painter, frame, controlView);
        return image;
    };
    const QRect nameFrame(t.header->sectionViewportPosition(1), 0, 400, 24);
    EXPECT_FALSE(isBlank(render(t.header, nameFrame)));
    EXPECT_TRUE(isBlank(render(plainTable.horizontalHeader(), nameFrame)));
}
