// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>
#include <optional>

// The four columns of the file table, in table order. The raw value is the
// column's index in the table.
enum class FileTableColumn { originalPath = 0, originalName = 1, transformedPath = 2, transformedName = 3 };

namespace FileTableColumns {

inline constexpr std::array<FileTableColumn, 4> all { FileTableColumn::originalPath, FileTableColumn::originalName,
    FileTableColumn::transformedPath, FileTableColumn::transformedName };

// No column for a value outside 0 to 3 (the view answers -1 outside every column).
std::optional<FileTableColumn> fromRawValue(int rawValue);
inline int rawValue(FileTableColumn column) { return static_cast<int>(column); }

// The identifier the cells are built by: "originalPath", "originalColumn",
// "transformedPath", "transformedColumn".
QString identifier(FileTableColumn column);
QString title(FileTableColumn column);

// The pair a column belongs to: a path column and the name column after it.
FileTableColumn pathColumnOfPair(FileTableColumn column);
FileTableColumn nameColumnOfPair(FileTableColumn column);
bool isPathColumn(FileTableColumn column);

} // namespace FileTableColumns
