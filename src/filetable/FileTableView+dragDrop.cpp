// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableView.h"

#include "filetable/FileTablePasteboard.h"
#include "filetable/TableViewController.h"
#include "uikit/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

namespace {
bool carriesRows(const QMimeData* data)
{
    return data && data->hasFormat(FileTablePasteboard::fileTableViewRowIndexType);
}
} // namespace

int FileTableView::dropRow(const QPoint& position) const
{
    const int rows = model() ? model()->rowCount() : 0;
    const int row = rowAt(position.y());
    if (row < 0)
        return position.y() < 0 ? 0 : rows;
    // Drops land between rows, never on one: the nearer edge decides.
    const int top = rowViewportPosition(row);
    return position.y() < top + rowHeight(row) / 2 ? row : row + 1;
}

void FileTableView::setDropIndicatorRow(int row)
{
    if (row == m_dropIndicatorRow)
        return;
    m_dropIndicatorRow = row;
    viewport()->update();
}

void FileTableView::paintDropIndicator()
{
    if (m_dropIndicatorRow < 0 || !model())
        return;
    const int rows = model()->rowCount();
    int y = 0;
    if (m_dropIndicatorRow < rows)
        y = rowViewportPosition(m_dropIndicatorRow);
    else if (rows > 0)
        y = rowViewportPosition(rows - 1) + rowHeight(rows - 1);
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

void FileTableView::dragEnterEvent(QDragEnterEvent* event)
{
    judgeDrag(event);
}

void FileTableView::dragMoveEvent(QDragMoveEvent* event)
{
    judgeDrag(event);
}

void FileTableView::judgeDrag(QDragMoveEvent* event)
{
    if (carriesRows(event->mimeData())) {
        // Only rows of this table can be moved here.
        if (event->source() != this)
            return event->ignore();
        event->setDropAction(Qt::MoveAction);
        event->accept();
        setDropIndicatorRow(dropRow(event->position().toPoint()));
        return;
    }
    if (FileDrop::localFileUrls(event->mimeData()).isEmpty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FileTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    setDropIndicatorRow(-1);
    event->accept();
}

bool FileTableView::performDragOperation(const QMimeData* data, const QPoint& position,
    Qt::KeyboardModifiers modifiers, bool fromThisTable)
{
    if (carriesRows(data)) {
        if (!fromThisTable || !m_controller)
            return false;
        return m_controller->acceptDrop(*data, dropRow(position));
    }
    const QList<QUrl> urls = FileDrop::localFileUrls(data);
    if (urls.isEmpty())
        return false;
    FileDrop::open(urls, modifiers);
    return true;
}

void FileTableView::dropEvent(QDropEvent* event)
{
    setDropIndicatorRow(-1);
    const bool fromThisTable = event->source() == this;
    if (!performDragOperation(event->mimeData(), event->position().toPoint(), event->modifiers(), fromThisTable))
        return event->ignore();
    // Rows moved here: the model removes none itself, the store has moved them.
    event->setDropAction(fromThisTable ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}
