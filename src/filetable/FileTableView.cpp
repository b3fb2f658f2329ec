// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableView.h"


#include "filetable/FileTableColumn.h"
#include "filetable/FileTableRowView.h"
#include "filetable/FileTableModel.h"
#include "filetable/TableViewController.h"
#include "files/FileDataSource.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

FileTableView::FileTableView(QWidget* parent)
    : QTableView(parent)
    , m_rowView(new FileTableRowView(this))
{
    setItemDelegate(m_rowView);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows are chosen with the arrows; Tab goes on to the next control.
    setTabKeyNavigation(false);
    // Fixed row heights: the view never asks 100,000 rows for their size.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeightForFont());
    setFocusPolicy(Qt::NoFocus);
    m_spinnerTimer.setInterval(SPINNER_INTERVAL_MS);
    connect(&m_spinnerTimer, &QTimer::timeout, this, [this] {
        m_rowView->advanceSpinner();
        const int column = FileTableColumns::rawValue(FileTableColumn::transformedName);
        viewport()->update(QRect(columnViewportPosition(column), 0, columnWidth(column), viewport()->height()));
    });
}

bool FileTableView::acceptsFirstResponder() const
{
    return m_controller && m_controller->numberOfRows() > 0;
}

void FileTableView::updateAfterReload()
{
    setFocusPolicy(acceptsFirstResponder() ? Qt::StrongFocus : Qt::NoFocus);
    // The hint is only painted; the description is what a screen reader reads.
    if (const QString placeholder = placeholderText(); accessibleDescription() != placeholder)
        setAccessibleDescription(placeholder);
}

int FileTableView::sizeHintForColumn(int column) const
{
    if (!m_controller)
        return QTableView::sizeHintForColumn(column);
    return static_cast<int>(std::ceil(m_controller->sizeToFitWidthOfColumn(column)));
}

void FileTableView::keyPressEvent(QKeyEvent* event)
{
    if (m_controller && m_controller->keyDown(event)) {
        event->accept();
        return;
    }
    // The item view's own Copy would take the current cell only.
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QString FileTableView::placeholderText() const
{
    if (model() && model()->rowCount() > 0)
        return {};
    const auto store = m_controller ? m_controller->fileDataSource() : nullptr;
    return store && store->count() > 0 ? NO_MATCH_HINT : EMPTY_HINT;
}

void FileTableView::copy()
{
    if (!m_controller || !selectionModel())
        return;
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex& row : std::as_const(rows))
        if (const std::optional<File> file = m_controller->model()->fileAt(row.row()))
            names << file->source.name() + file->source.extSuffix();
    if (!names.isEmpty())
        QGuiApplication::clipboard()->setText(names.join(QLatin1Char('\n')));
}

void FileTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_clickedRow = rowAt(event->position().toPoint().y());
    QTableView::mouseDoubleClickEvent(event);
    if (m_controller)
        m_controller->doubleClickAction(m_clickedRow);
}

int FileTableView::rowHeightForFont() const
{
    // Large fonts and scaled screens get taller rows; the icons need at least the default.
    return std::max(ROW_HEIGHT, fontMetrics().height() + 6);
}

void FileTableView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(rowHeightForFont());
}

void FileTableView::paintEvent(QPaintEvent* event)
{
    m_rowView->beginPaintPass();
    QTableView::paintEvent(event);
    paintDropIndicator();
    if (const QString placeholder = placeholderText(); !placeholder.isEmpty()) {
        // An empty window says how files get in.
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(viewport()->rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap, placeholder);
    }
    // Spinners show only in the new-name column: a pass that repainted all of it
    // without a busy cell stops the timer; a smaller pass says nothing.
    const int column = FileTableColumns::rawValue(FileTableColumn::transformedName);
    const QRect spinnerStrip(columnViewportPosition(column), 0, columnWidth(column), viewport()->height());
    if (m_rowView->paintedBusyCell()) {
        if (!m_spinnerTimer.isActive())
            m_spinnerTimer.start();
    } else if (event->rect().contains(viewport()->rect()) || event->rect().contains(spinnerStrip)) {
        m_spinnerTimer.stop();
    }
}
