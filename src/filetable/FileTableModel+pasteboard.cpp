// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableModel.h"

#include "filetable/FileTablePasteboard.h"
#include "platform/Log.h"

#include <QMimeData>

#include <algorithm>

Qt::ItemFlags FileTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList FileTableModel::mimeTypes() const
{
    return { FileTablePasteboard::fileTableViewRowIndexType, FileTablePasteboard::fileTableViewRowUrlType };
}

Qt::DropActions FileTableModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

QMimeData* FileTableModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return nullptr;

    auto* data = new QMimeData;
    QStringList lines;
    for (int row : std::as_const(rows))
        lines << QString::number(row);
    data->setData(FileTablePasteboard::fileTableViewRowIndexType, lines.join(QLatin1Char('\n')).toUtf8());
    // A row that is no longer shown carries its number only.
    if (const std::optional<File> file = fileAt(rows.first())) {
        const QUrl url = file->sourceUrl();
        Log::debug(Log::Category::ui, "pasteboardWriterForRow: row: %ld, url: %s", rows.first(), url.toString());
        data->setData(FileTablePasteboard::fileTableViewRowUrlType, url.toEncoded());
    }
    return data;
}
