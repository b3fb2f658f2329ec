// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableHeaderCell.h"

#include "filetable/FileTableHeaderView.h"
#include "uikit/AppImages.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int TEXT_INSET = 8;
constexpr int ICON_GAP = 16;

void drawHeaderText(QPainter* painter, const QString& title, const QPoint& at, const QWidget* view)
{
    painter->save();
    painter->setPen(view->palette().color(QPalette::Text));
    const QFontMetrics metrics(painter->font());
    painter->drawText(at + QPoint(0, metrics.ascent()), title);
    painter->restore();
}

} // namespace

namespace FileTableHeaderCell {

QString getColumnTitle(std::optional<FileTableColumn> column)
{
    return column ? FileTableColumns::title(*column) : QString();
}

bool showsIcon(FileTableColumn column, bool pathColumnCollapsed)
{
    return FileTableColumns::isPathColumn(column) || pathColumnCollapsed;
}

QPoint titlePosition(const QRect& frame, bool withIcon)
{
    if (!withIcon)
        return QPoint(frame.x() + TEXT_INSET, frame.y());
    return QPoint(frame.x() + frame.height() + ICON_GAP, frame.y());
}

void drawInterior(QPainter* painter, const QRect& frame, const QWidget* controlView)
{
    const auto* header = qobject_cast<const FileTableHeaderView*>(controlView);
    if (!header)
        return;
    const auto column = FileTableColumns::fromRawValue(header->logicalIndexAt(frame.left()));
    if (!column || header->isCollapsed(*column))
        return;
    const bool withIcon = showsIcon(*column, header->isCollapsed(FileTableColumns::pathColumnOfPair(*column)));
    // The title is vertically centred in the frame, as the section's own text would be.
    const int h = frame.height();
    const QFontMetrics metrics(painter->font());
    const QRect textFrame(frame.x(), frame.y() + (h - metrics.height()) / 2, frame.width(), metrics.height());
    if (withIcon) {
        const QIcon icon = FileTableColumns::isPathColumn(*column) ? AppImages::column2() : AppImages::column1();
        if (!icon.isNull())
            icon.paint(painter, QRect(frame.x() + TEXT_INSET, frame.y(), h, h));
    }
    const QPoint at(titlePosition(frame, withIcon).x(), textFrame.y());
    drawHeaderText(painter, getColumnTitle(column), at, controlView);
}

} // namespace FileTableHeaderCell
