// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/TableViewController.h"

#include "core/TextOffsets.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTableView.h"
#include "files/FileDataSource.h"
#include "platform/Log.h"
#include "uikit/AppTextStyle.h"

#include <QFontMetricsF>
#include <QItemSelectionModel>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr auto UI = Log::Category::ui;
constexpr int DEFAULT_FITTING_CHARACTERS = 50;
constexpr qreal FITTING_WIDTH_PADDING = 4.0;
constexpr qreal MISSING_FITTING_WIDTH = 50.0;
} // namespace

int TableViewController::numberOfRows() const
{
    return m_model->hasFilesView() ? m_model->fileCount() : 0;
}

void TableViewController::updateFilesView()
{
    m_model->filter.updateToLatestPreferences();
}

void TableViewController::reloadData(const std::optional<IndexSet>& rows)
{
    updateFilesView();
    m_model->reloadData(rows);
    afterReload();
}

void TableViewController::afterReload()
{
    m_lateUpdates.snapshotChanged(m_model->snapshot());
    recalculateFittingColumnWidths();
    if (m_fileTableView) {
        m_fileTableView->updateAfterReload();
        m_fileTableView->viewport()->update();
    }
}

void TableViewController::dataSourceUpdatedEvent(const Notification& notification)
{
    const std::optional<IndexSet> rows = AppNotification::DataSourceUpdated::getRowIndexes(notification);
    const auto& store = m_model->fileDataSource();
    const long fileCount = store ? store->count() : 0;
    if (!rows) {
        Log::debug(UI, "TableView dataSourceUpdated %ld files", fileCount);
    } else {
        const long first = rows->isEmpty() ? 0 : *std::min_element(rows->cbegin(), rows->cend());
        const long last = rows->isEmpty() ? 0 : *std::max_element(rows->cbegin(), rows->cend());
        Log::debug(UI, "TableView dataSourceUpdated %ld of %ld files at rows: %ld to %ld", rows->size(), fileCount,
            first, last);
    }
    if (!m_fileTableView) {
        reloadData(rows);
        return;
    }
    updateFilesView();

    // A reset of the rows drops the selection and the scroll position: both are
    // put back by row number afterwards. The selection's own indexes die with
    // the reset, so the row runs are kept as numbers.
    QItemSelectionModel* selectionModel = m_fileTableView->selectionModel();
    QList<std::pair<int, int>> selectedRuns;
    for (const QItemSelectionRange& range : selectionModel->selection())
        selectedRuns.append({ range.top(), range.bottom() });
    const int currentRow = selectionModel->currentIndex().row();
    const int horizontal = m_fileTableView->horizontalScrollBar()->value();
    const int vertical = m_fileTableView->verticalScrollBar()->value();

    const bool reset = m_model->reloadData(rows);
    afterReload();

    if (reset) {
        const int lastRow = m_model->rowCount() - 1;
        const int lastColumn = m_model->columnCount() - 1;
        QItemSelection restored;
        for (const auto& [top, bottom] : std::as_const(selectedRuns)) {
            if (top <= std::min(bottom, lastRow))
                restored.select(m_model->index(top, 0), m_model->index(std::min(bottom, lastRow), lastColumn));
        }
        if (currentRow >= 0 && currentRow <= lastRow)
            selectionModel->setCurrentIndex(m_model->index(currentRow, 0), QItemSelectionModel::NoUpdate);
        selectionModel->select(restored, QItemSelectionModel::ClearAndSelect);
    }
    m_fileTableView->layoutRowsNow();
    m_fileTableView->horizontalScrollBar()->setValue(horizontal);
    m_fileTableView->verticalScrollBar()->setValue(vertical);
}

void TableViewController::applyChangesEvent()
{
    if (!m_fileTableView || !m_model->hasFilesView() || m_model->fileCount() == 0)
        return;
    const int first = m_fileTableView->rowAt(0);
    if (first < 0)
        return;
    int last = m_fileTableView->rowAt(m_fileTableView->viewport()->height() - 1);
    if (last < 0)
        last = m_model->fileCount() - 1;
    for (int row = first; row <= last; ++row) {
        std::optional<File> file = m_model->fileAt(row);
        if (!file || !file->transformed.lateUpdateRequired)
            continue;
        file->transformed.isDirty = true;
        m_lateUpdates.request(*file, LateUpdateRequester::Priority::normal);
    }
}

void TableViewController::recalculateFittingColumnWidths()
{
    for (int column = 0; column < 4; ++column)
        m_fittingColumnWidth[column] = calculateFittingColumnWidth(column);
}

qreal TableViewController::calculateFittingColumnWidth(int column) const
{
    qsizetype characters = DEFAULT_FITTING_CHARACTERS;
    if (const auto& store = m_model->fileDataSource()) {
        switch (column) {
        case 0:
            characters = TextOffsets(store->longestOriginalPath).characterCount();
            break;
        case 1:
            characters = TextOffsets(store->longestOriginalName).characterCount();
            break;
        case 2:
            characters = TextOffsets(store->longestTransformedPath).characterCount();
            break;
        case 3:
            characters = TextOffsets(store->longestTransformedName).characterCount();
            break;
        default:
            break;
        }
    }
    const QFontMetricsF metrics(AppTextStyle::tableRowBold().font());
    return metrics.horizontalAdvance(QString(characters, QLatin1Char('X'))) + FITTING_WIDTH_PADDING;
}

qreal TableViewController::sizeToFitWidthOfColumn(int column) const
{
    return m_fittingColumnWidth.value(column, MISSING_FITTING_WIDTH);
}
