// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/FileTableColumn.h"

namespace FileTableColumns {

std::optional<FileTableColumn> fromRawValue(int rawValue)
{
    if (rawValue < 0 || rawValue > 3)
        return std::nullopt;
    return static_cast<FileTableColumn>(rawValue);
}

QString identifier(FileTableColumn column)
{
    switch (column) {
    case FileTableColumn::originalPath:
        return QStringLiteral("originalPath");
    case FileTableColumn::originalName:
        return QStringLiteral("originalColumn");
    case FileTableColumn::transformedPath:
        return QStringLiteral("transformedPath");
    case FileTableColumn::transformedName:
        return QStringLiteral("transformedColumn");
    }
    return {};
}

QString title(FileTableColumn column)
{
    switch (column) {
    case FileTableColumn::originalPath:
        return QStringLiteral("Original Path");
    case FileTableColumn::originalName:
        return QStringLiteral("Original Name");
    case FileTableColumn::transformedPath:
        return QStringLiteral("Transformed Path");
    case FileTableColumn::transformedName:
        return QStringLiteral("Transformed Name");
    }
    return {};
}

FileTableColumn pathColumnOfPair(FileTableColumn column)
{
    return static_cast<FileTableColumn>(rawValue(column) & ~1);
}

FileTableColumn nameColumnOfPair(FileTableColumn column)
{
    return static_cast<FileTableColumn>(rawValue(column) | 1);
}

bool isPathColumn(FileTableColumn column)
{
    return (rawValue(column) & 1) == 0;
}

} // namespace FileTableColumns
