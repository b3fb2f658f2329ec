// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/TableViewController.h"

#include "core/UndoManager+perform.h"
#include "filetable/FileTableModel.h"
#include "filetable/FileTablePasteboard.h"
#include "files/FileDataSource.h"
#include "platform/MainWindowLocator.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>

void TableViewController::initDragDrop()
{
    if (!m_fileTableView)
        return;
    m_fileTableView->setDragEnabled(true);
    m_fileTableView->setAcceptDrops(true);
    m_fileTableView->setDragDropMode(QAbstractItemView::DragDrop);
    m_fileTableView->setDefaultDropAction(Qt::MoveAction);
}

QList<int> TableViewController::getDraggedIndexes(const QMimeData& data)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    QList<int> indexes;
    const QString text = QString::fromUtf8(data.data(FileTablePasteboard::fileTableViewRowIndexType));
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int index = line.toInt(&ok);
        if (ok && wholeNumber.match(line).hasMatch())
            indexes << index;
    }
    return indexes;
}

bool TableViewController::acceptDrop(const QMimeData& data, int row)
{
    doMoveRows(getDraggedIndexes(data), row);
    return true;
}

void TableViewController::doMoveRows(const QList<int>& rows, int row)
{
    const std::shared_ptr<FileDataSource> store = fileDataSource();
    if (!store)
        return;
    // The table may show fewer rows than the list holds (the row filter): the
    // store moves by display position, so rows become the positions of their files.
    const QList<int> order = store->orderedIndex();
    QHash<int, int> positionOfStorageIndex;
    positionOfStorageIndex.reserve(order.size());
    for (int position = 0; position < order.size(); ++position)
        positionOfStorageIndex.insert(order.at(position), position);
    const auto positionOfRow = [&](int tableRow) -> std::optional<int> {
        const std::optional<File> file = m_model->fileAt(tableRow);
        if (!file || !file->index)
            return std::nullopt;
        const auto position = positionOfStorageIndex.constFind(static_cast<int>(*file->index));
        if (position == positionOfStorageIndex.constEnd())
            return std::nullopt;
        return *position;
    };

    QList<int> positions;
    for (int tableRow : rows) {
        if (const std::optional<int> position = positionOfRow(tableRow))
            positions << *position;
    }
    // A drop below the last shown row moves the files to the end of the list.
    const std::optional<int> destination
        = row >= m_model->fileCount() ? std::optional<int>(static_cast<int>(order.size())) : positionOfRow(row);
    // Nothing to move: no undo step that would do nothing.
    if (positions.isEmpty() || !destination || row < 0)
        return;

    QSet<int> movedFiles;
    for (int position : std::as_const(positions))
        movedFiles.insert(order.at(position));

    const QString actionName = QStringLiteral("Drag %1 files").arg(rows.size());
    const std::weak_ptr<FileDataSource> weakStore = store;
    const QPointer<TableViewController> self(this);
    const int to = *destination;
    // The new order changes numbering: the preview runs again, as after a sort.
    const auto announce = [] {
        AppNotification::post(NotificationName::dataSourceUpdated);
        AppNotification::post(NotificationName::applyChanges);
    };
    // A step of the list: its order fits the list as it is now.
    const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), store.get());
    UndoManagerHelpers::perform(
        actionName,
        [weakStore, self, positions, movedFiles, to, announce] {
            if (const auto fileDataSource = weakStore.lock())
                fileDataSource->move(positions, to);
            // The dragged files stay selected where they now are, not the rows they left.
            if (self)
                self->selectFiles(movedFiles);
            announce();
        },
        [weakStore, order, announce] {
            if (const auto fileDataSource = weakStore.lock())
                fileDataSource->updateOrderedIndex(order);
            announce();
        });
}

void TableViewController::selectFiles(const QSet<int>& storageIndexes)
{
    if (!m_fileTableView)
        return;
    dataSourceUpdatedEvent(Notification { NotificationName::dataSourceUpdated, {}, {} });
    QItemSelection selection;
    for (int row = 0; row < m_model->fileCount(); ++row) {
        const std::optional<File> file = m_model->fileAt(row);
        if (file && file->index && storageIndexes.contains(static_cast<int>(*file->index)))
            selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
    }
    if (selection.isEmpty())
        return;
    QItemSelectionModel* selectionModel = m_fileTableView->selectionModel();
    selectionModel->setCurrentIndex(m_model->index(selection.first().top(), 1), QItemSelectionModel::NoUpdate);
    selectionModel->select(selection, QItemSelectionModel::ClearAndSelect);
}
