// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/AttributedStringIcon.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTableRowView.h"
#include "filetable/FileTableViewCell.h"
#include <QHeaderView>
#include "uikit/AppStyle.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

using Style = FileTableViewCell::BackgroundStyle;

bool containsColor(const QImage& image, const QColor& color)
{
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF))
                return true;
    return false;
}

QImage pixels(const QIcon& icon)
{
    return icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(FileTableViewCellTest, TextColourFollowsTintAndBackgroundStyle)
{
    struct Case {
        FileTableTextTint tint;
        QColor plain;
        QColor selected;
    };
    const Case cases[] = {
        { FileTableTextTint::normal, AppStyle::tableTextNormal(), AppStyle::tableTextNormalSelected() },
        { FileTableTextTint::dimmed, AppStyle::tableTextLight(), AppStyle::tableTextLightSelected() },
        { FileTableTextTint::error, AppStyle::tableTextError(), AppStyle::tableTextErrorSelected() },
        { FileTableTextTint::warning, AppStyle::tableTextWarning(), AppStyle::tableTextWarningSelected() },
    };
    for (const Case& c : cases) {
        FileTableViewCell cell;
        cell.tint = c.tint;
        EXPECT_EQ(cell.textColor(), c.plain) << int(c.tint);
        cell.backgroundStyle = Style::emphasized;
        EXPECT_EQ(cell.textColor(), c.selected) << int(c.tint);
    }
}

TEST(FileTableRowViewTest, SelectingARowRedrawsItsCellsInTheSelectedColourWithoutReload)
{
    // A foreground colour of the model's own must not win over the tint.
    QStandardItemModel model(2, 4);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            auto* item = new QStandardItem(QStringLiteral("WWWWWWWW"));
            item->setData(int(FileTableTextTint::error), FileTableModel::TintRole);
            item->setData(QColor(Qt::blue), Qt::ForegroundRole);
            model.setItem(row, column, item);
        }
    }
    QTableView table;
    table.setItemDelegate(new FileTableRowView(&table));
    table.setModel(&model);
    table.resize(900, 200);
    QFont font = table.font();
    font.setPointSize(20);
    font.setBold(true);
    table.setFont(font);
    table.verticalHeader()->setDefaultSectionSize(40);

    auto cellImage = [&](int row, int column) {
        const QImage whole = table.viewport()->grab().toImage();
        return whole.copy(table.visualRect(model.index(row, column)));
    };
    for (int column : { 0, 3 }) {
        EXPECT_TRUE(containsColor(cellImage(0, column), AppStyle::tableTextError())) << column;
        EXPECT_FALSE(containsColor(cellImage(0, column), Qt::blue)) << column;
    }
    table.selectRow(0);
    for (int column : { 0, 3 }) {
        EXPECT_TRUE(containsColor(cellImage(0, column), AppStyle::tableTextErrorSelected())) << column;
        EXPECT_FALSE(containsColor(cellImage(0, column), AppStyle::tableTextError())) << column;
    }
    EXPECT_TRUE(containsColor(cellImage(1, 0), AppStyle::tableTextError()));
}

TEST(FileTableRowViewTest, ALatePaintedCellIsReportedWithItsRow)
{
    QStandardItemModel model(3, 4);
    auto* late = new QStandardItem(QStringLiteral("late"));
    late->setData(true, FileTableModel::LateUpdateRole);
    model.setItem(1, 2, late);
    QTableView table;
    auto* rowView = new FileTableRowView(&table);
    table.setItemDelegate(rowView);
    table.setModel(&model);
    table.resize(900, 200);
    QList<int> reported;
    rowView->setLateRowPainted([&](int row) { reported << row; });
    table.viewport()->grab();
    EXPECT_EQ(reported, QList<int>({ 1 }));
}

TEST(AttributedStringIconTest, IconsAreSharedDrawnAndDistinct)
{
    using namespace AttributedStringIcon;
    const QList<const QIcon*> icons { &file(), &fileUnchanged(), &fileOK(), &filePending(), &fileWarning(),
        &fileError(), &folder(), &folderUnchanged(), &checkmarkPending(), &checkmarkOk(), &exclamationWarning(),
        &exclamationError() };
    for (const QIcon* icon : icons) {
        EXPECT_FALSE(icon->isNull());
        EXPECT_FALSE(pixels(*icon).isNull());
    }
    EXPECT_EQ(&file(), &file());
    EXPECT_EQ(file().cacheKey(), file().cacheKey());
    EXPECT_NE(pixels(fileOK()), pixels(fileError()));
    EXPECT_NE(pixels(file()), pixels(fileUnchanged()));
    EXPECT_EQ(pixels(fileError()), pixels(exclamationError()));
    EXPECT_TRUE(iconString(QStringLiteral("no.such.symbol"), { Qt::red }, 14).isNull());
}

TEST(AttributedStringIconTest, UnchangedFolderIsTheFolderAtFortyPercent)
{
    const QImage full = pixels(AttributedStringIcon::folder());
    const QImage faded = pixels(AttributedStringIcon::folderUnchanged());
    ASSERT_EQ(full.size(), faded.size());
    int compared = 0;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            const int alpha = qAlpha(full.pixel(x, y));
            if (alpha < 255)
                continue;
            EXPECT_NEAR(qAlpha(faded.pixel(x, y)), 0.4 * 255, 2);
            ++compared;
        }
    }
    EXPECT_GT(compared, 50);
}
