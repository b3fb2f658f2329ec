// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableModel.h"

#include "core/String+path.h"
#include "filetable/AttributedStringIcon.h"
#include "files/FileDataSource.h"

#include <algorithm>
#include <utility>

namespace {

// Contiguous runs of the given rows, ascending, inside 0..count-1.
QList<std::pair<int, int>> rowRuns(IndexSet rows, int count)
{
    std::sort(rows.begin(), rows.end());
    QList<std::pair<int, int>> runs;
    for (int row : rows) {
        if (row < 0 || row >= count)
            continue;
        if (!runs.isEmpty() && row <= runs.last().second + 1)
            runs.last().second = std::max(runs.last().second, row);
        else
            runs.append({ row, row });
    }
    return runs;
}

} // namespace

FileTableModel::FileTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void FileTableModel::setFileDataSource(std::shared_ptr<FileDataSource> fileDataSource)
{
    m_fileDataSource = std::move(fileDataSource);
}

void FileTableModel::setSelectRuleInForce(std::function<bool()> selectRuleInForce)
{
    m_selectRuleInForce = std::move(selectRuleInForce);
}

bool FileTableModel::reloadData(const std::optional<IndexSet>& rows)
{
    const QList<int> previousRows = m_rows;
    const bool hadFilesView = m_hasFilesView;
    FileComponents snapshot = m_fileDataSource ? m_fileDataSource->getAllComponents() : FileComponents {};
    QList<int> newRows;
    newRows.reserve(snapshot.orderedIndex.size());
    // Without these two filters a visible name always shows its row: most rows
    // are then decided by one flag, and the rest of the record is not read.
    const bool visibleNamesShown = !filter.toBeChanged && filter.renameEmptyFolders;
    for (int storageIndex : std::as_const(snapshot.orderedIndex)) {
        const FileTransform& transformed = snapshot.fileTransforms.at(storageIndex);
        // The transform keeps the hidden flag of the original name, read once.
        const bool hidden = transformed.isHidden();
        if (visibleNamesShown && !hidden) {
            newRows.append(storageIndex);
            continue;
        }
        const FileSource& source = snapshot.fileSources.at(storageIndex);
        const FileValidation& validation = snapshot.fileValidations.at(storageIndex);
        const bool toBeChanged
            = filter.needsToBeChanged(hidden) && File::isToBeChanged(source, transformed, validation);
        if (filter.filterFile(FileTableFilter::Facts { hidden, toBeChanged, !validation.errors.isEmpty(),
                source.isDirectory() }))
            newRows.append(storageIndex);
    }

    const bool sameRows = hadFilesView == (m_fileDataSource != nullptr) && newRows == previousRows;
    if (!sameRows)
        beginResetModel();
    // The old snapshot may hold the last reference to a replaced list.
    FileComponents::releaseInBackground(std::exchange(m_snapshot, std::move(snapshot)));
    m_rows = std::move(newRows);
    m_hasFilesView = m_fileDataSource != nullptr;
    m_cache.reset();
    if (!sameRows) {
        endResetModel();
        return true;
    }
    if (m_rows.isEmpty())
        return false;
    const int lastColumn = columnCount() - 1;
    if (!rows) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, lastColumn));
        return false;
    }
    for (const auto& [first, last] : rowRuns(*rows, rowCount()))
        emit dataChanged(index(first, 0), index(last, lastColumn));
    return false;
}

std::optional<File> FileTableModel::fileAt(int row) const
{
    if (const CachedRow* cached = cachedRow(row))
        return cached->file;
    return std::nullopt;
}

const FileTableModel::CachedRow* FileTableModel::cachedRow(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return nullptr;
    if (!m_cache || m_cache->row != row) {
        const int storageIndex = m_rows.at(row);
        File file(storageIndex, m_snapshot.fileGenerationId, m_snapshot.fileSources.at(storageIndex),
            m_snapshot.fileTransforms.at(storageIndex), m_snapshot.fileValidations.at(storageIndex),
            m_snapshot.fileAttributes.at(storageIndex));
        const bool toBeChanged = file.isToBeChanged();
        m_cache = CachedRow { row, std::move(file), toBeChanged };
    }
    return &*m_cache;
}

int FileTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FileTableColumns::all.size());
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const CachedRow* cached = cachedRow(index.row());
    const auto column = FileTableColumns::fromRawValue(index.column());
    if (!cached || !column)
        return {};
    const File* file = &cached->file;
    const bool transformedColumn
        = *column == FileTableColumn::transformedPath || *column == FileTableColumn::transformedName;

    switch (role) {
    case Qt::DisplayRole:
        return cellText(*file, *column);
    case TintRole: {
        const bool selected = getIsSelectedState(*file);
        return static_cast<int>(transformedColumn ? transformedTint(*file, cached->toBeChanged, selected)
                                                  : originalTint(selected, isHidden(*file)));
    }
    case Qt::DecorationRole:
        if (*column == FileTableColumn::transformedName)
            return getIcon(*file, cached->toBeChanged);
        if (*column == FileTableColumn::originalName)
            return originalIcon(*file, originalTint(getIsSelectedState(*file), isHidden(*file)));
        return {};
    case Qt::ToolTipRole:
        if (transformedColumn) {
            if (auto tip = toolTip(*file))
                return *tip;
        }
        return {};
    case BusyRole:
        return *column == FileTableColumn::transformedName && isBusy(*file);
    case LateUpdateRole:
        return file->transformed.lateUpdateRequired;
    case FileRole:
        return QVariant::fromValue(*file);
    case StorageIndexRole:
        return QVariant::fromValue(file->index.value_or(-1));
    default:
        return {};
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const auto column = FileTableColumns::fromRawValue(section);
    if (orientation != Qt::Horizontal || !column)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return FileTableColumns::title(*column);
    if (role == Qt::UserRole)
        return FileTableColumns::identifier(*column);
    return {};
}

bool FileTableModel::getIsSelectedState(const File& file) const
{
    if (!m_selectRuleInForce || !m_selectRuleInForce())
        return true;
    return file.transformed.isSelected;
}

bool FileTableModel::isHidden(const File& file)
{
    return file.transformed.isHidden();
}

bool FileTableModel::isBusy(const File& file)
{
    return file.transformed.lateUpdateRequired || file.transformed.isDirty;
}

FileTableTextTint FileTableModel::originalTint(bool selected, bool hidden)
{
    return !selected || hidden ? FileTableTextTint::dimmed : FileTableTextTint::normal;
}

FileTableTextTint FileTableModel::transformedTint(const File& file, bool toBeChanged, bool selected)
{
    if (!file.validation.errors.isEmpty())
        return FileTableTextTint::error;
    if (!file.validation.warnings.isEmpty())
        return FileTableTextTint::warning;
    if (!(toBeChanged && selected))
        return FileTableTextTint::dimmed;
    return FileTableTextTint::normal;
}

std::optional<QString> FileTableModel::toolTip(const File& file)
{
    const QSet<QString>& messages
        = !file.validation.errors.isEmpty() ? file.validation.errors : file.validation.warnings;
    if (messages.isEmpty())
        return std::nullopt;
    QStringList lines(messages.cbegin(), messages.cend());
    lines.sort();
    // One message a line; a tool tip breaks lines at line feeds.
    return lines.join(QLatin1Char('\n'));
}

const QIcon& FileTableModel::getIcon(const File& file)
{
    return getIcon(file, file.isToBeChanged());
}

const QIcon& FileTableModel::getIcon(const File& file, bool toBeChanged)
{
    if (file.isDirectory()) {
        const FileSource& source = file.source;
        const FileTransform& transformed = file.transformed;
        const bool unchanged = FileTransformRules::path(source.path()) == transformed.transformedPath.value()
            && source.name() == transformed.transformedName.value() && source.ext() == transformed.transformedExt.value();
        return !file.validation.errors.isEmpty() || unchanged ? AttributedStringIcon::folderUnchanged()
                                                              : AttributedStringIcon::folder();
    }
    if (!file.validation.errors.isEmpty())
        return AttributedStringIcon::fileError();
    if (!file.validation.warnings.isEmpty())
        return AttributedStringIcon::fileWarning();
    if (toBeChanged)
        return AttributedStringIcon::fileOK();
    return AttributedStringIcon::fileUnchanged();
}

const QIcon& FileTableModel::originalIcon(const File& file, FileTableTextTint tint)
{
    const bool dimmed = tint == FileTableTextTint::dimmed;
    if (file.isDirectory())
        return dimmed ? AttributedStringIcon::folderUnchanged() : AttributedStringIcon::folder();
    return dimmed ? AttributedStringIcon::fileUnchanged() : AttributedStringIcon::file();
}

QString FileTableModel::cellText(const File& file, FileTableColumn column)
{
    const ExtendedFileInfo& info = file.source.fileInfo;
    const FileTransform& transformed = file.transformed;
    const bool folder = file.isDirectory();
    switch (column) {
    case FileTableColumn::originalPath:
        return folder ? String::stringByDeletingLastPathComponent(info.path) : info.path;
    case FileTableColumn::originalName: {
        if (folder)
            return String::lastPathComponent(info.fullPath);
        const QString dottedExt = info.ext.isEmpty() ? QString() : QLatin1Char('.') + info.ext;
        return info.name + dottedExt;
    }
    case FileTableColumn::transformedPath: {
        const QString& path = transformed.transformedPath.value();
        return folder ? String::stringByDeletingLastPathComponent(path) : path;
    }
    case FileTableColumn::transformedName:
        // With the counter that makes it unique, folder or file, as the disk gets it.
        return transformed.targetFileName();
    }
    return {};
}
