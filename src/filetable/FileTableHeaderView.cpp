// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableHeaderView.h"

#include "core/AppNotification.h"
#include "filetable/FileTableHeaderCell.h"
#include "platform/NotificationCenter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyleOptionHeader>

#include <algorithm>
#include <cmath>

namespace {

// The pairs whose path column is listed, original pair first.
QList<FileTableColumn> listedPathColumns(std::initializer_list<FileTableColumn> columns)
{
    QList<FileTableColumn> paths;
    for (FileTableColumn path : { FileTableColumn::originalPath, FileTableColumn::transformedPath }) {
        if (std::find(columns.begin(), columns.end(), path) != columns.end())
            paths << path;
    }
    return paths;
}

} // namespace

FileTableHeaderView::FileTableHeaderView(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    connect(this, &QHeaderView::sectionResized, this,
        [this](int logicalIndex, int, int newSize) { keepMinimumWidth(logicalIndex, newSize); });
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::collapsePathColumns,
        [this](const Notification&) { collapsePathColumnsEvent(); });
    center.addObserver(this, NotificationName::uncollapsePathColumns,
        [this](const Notification&) { uncollapsePathColumnsEvent(); });
}

void FileTableHeaderView::collapsePathColumnsEvent()
{
    collapse({ FileTableColumn::originalPath, FileTableColumn::transformedPath });
}

void FileTableHeaderView::uncollapsePathColumnsEvent()
{
    unCollapse({ FileTableColumn::originalPath, FileTableColumn::transformedPath });
}

void FileTableHeaderView::iconClicked(int column)
{
    const auto tableColumn = FileTableColumns::fromRawValue(column);
    if (!tableColumn)
        return;
    const FileTableColumn path = FileTableColumns::pathColumnOfPair(*tableColumn);
    if (isCollapsed(path))
        unCollapse({ path });
    else
        collapse({ path });
}

bool FileTableHeaderView::isCollapsed(std::optional<FileTableColumn> column) const
{
    if (!column || !hasTable())
        return false;
    return isSectionHidden(FileTableColumns::rawValue(*column));
}

QList<qreal> FileTableHeaderView::currentColumnWidths() const
{
    QList<qreal> widths;
    for (int i = 0; i < count(); ++i)
        widths << (isSectionHidden(i) ? 0.0 : sectionSize(i));
    return widths;
}

QList<qreal> FileTableHeaderView::collapsedWidths(const QList<qreal>& old, std::initializer_list<FileTableColumn> columns)
{
    QList<qreal> widths = old;
    for (FileTableColumn path : listedPathColumns(columns)) {
        const int p = FileTableColumns::rawValue(path);
        const int n = FileTableColumns::rawValue(FileTableColumns::nameColumnOfPair(path));
        if (n >= old.size() || old.at(p) <= 0)
            continue;
        widths[p] = 0;
        widths[n] = std::max(COLUMN_MIN_WIDTH, old.at(p) + old.at(n) + COLUMN_MARGIN);
    }
    return widths;
}

QList<qreal> FileTableHeaderView::uncollapsedWidths(const QList<qreal>& old,
    std::initializer_list<FileTableColumn> columns)
{
    QList<qreal> widths = old;
    for (FileTableColumn path : listedPathColumns(columns)) {
        const int p = FileTableColumns::rawValue(path);
        const int n = FileTableColumns::rawValue(FileTableColumns::nameColumnOfPair(path));
        if (n >= old.size() || old.at(p) != 0)
            continue;
        const qreal half = (old.at(p) + old.at(n)) * 0.5 - COLUMN_MARGIN * 0.5;
        widths[p] = widths[n] = std::max(COLUMN_MIN_WIDTH, half);
    }
    return widths;
}

void FileTableHeaderView::collapse(std::initializer_list<FileTableColumn> columns)
{
    if (!hasTable())
        return;
    applyColumnWidths(collapsedWidths(currentColumnWidths(), columns));
}

void FileTableHeaderView::unCollapse(std::initializer_list<FileTableColumn> columns)
{
    if (!hasTable())
        return;
    applyColumnWidths(uncollapsedWidths(currentColumnWidths(), columns));
}

void FileTableHeaderView::applyColumnWidths(const QList<qreal>& newColumnWidths)
{
    m_columnAutoresizing = ColumnAutoresizing::none;
    for (int i = 0; i < newColumnWidths.size() && i < count(); ++i) {
        const qreal width = newColumnWidths.at(i);
        if (width > 0) {
            setMinimumColumnWidth(i, static_cast<int>(COLUMN_MIN_WIDTH));
            // Showing restores the size the section had when it was hidden: show first.
            showSection(i);
            resizeSection(i, static_cast<int>(std::lround(width)));
        } else {
            hideSection(i);
            setMinimumColumnWidth(i, 0);
            resizeSection(i, 0);
        }
    }
    m_columnAutoresizing = ColumnAutoresizing::uniform;
    // On screen the columns fill the table: no blank strip after a collapse,
    // no name column pushed out of sight after an uncollapse.
    if (isVisible())
        fitVisibleColumns(width());
}

void FileTableHeaderView::setMinimumColumnWidth(int column, int width)
{
    if (column < 0)
        return;
    while (m_minimumWidths.size() <= column)
        m_minimumWidths << 0;
    m_minimumWidths[column] = width;
}

void FileTableHeaderView::keepMinimumWidth(int logicalIndex, int newSize)
{
    const int minimum = minimumColumnWidth(logicalIndex);
    if (!isSectionHidden(logicalIndex) && newSize < minimum)
        resizeSection(logicalIndex, minimum);
}

bool FileTableHeaderView::isOnDivider(int x) const
{
    const int logical = logicalIndexAt(x);
    if (logical < 0)
        return false;
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = sectionViewportPosition(logical);
    const int right = left + sectionSize(logical);
    return std::abs(x - right) <= grip || (left > 0 && std::abs(x - left) <= grip);
}

void FileTableHeaderView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    // A divider keeps its own double click: the column takes its fitting width.
    if (isOnDivider(x)) {
        QHeaderView::mouseDoubleClickEvent(event);
        return;
    }
    iconClicked(logicalIndexAt(x));
    event->accept();
}

void FileTableHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    painter->restore();
    FileTableHeaderCell::drawInterior(painter, rect, this);
}

void FileTableHeaderView::resizeEvent(QResizeEvent* event)
{
    QHeaderView::resizeEvent(event);
    if (m_columnAutoresizing != ColumnAutoresizing::uniform || event->size().width() == event->oldSize().width())
        return;
    fitVisibleColumns(event->size().width());
}

void FileTableHeaderView::fitVisibleColumns(int width)
{
    int total = 0;
    int last = -1;
    for (int i = 0; i < count(); ++i)
        if (!isSectionHidden(i)) {
            total += sectionSize(i);
            last = i;
        }
    if (total <= 0 || width <= 0 || total == width)
        return;
    const qreal factor = static_cast<qreal>(width) / total;
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        if (isSectionHidden(i))
            continue;
        // The last column takes what rounding left over, so the columns end at the edge.
        const int size = i == last ? width - used : static_cast<int>(std::floor(sectionSize(i) * factor));
        resizeSection(i, std::max(minimumColumnWidth(i), size));
        used += sectionSize(i);
    }
}
