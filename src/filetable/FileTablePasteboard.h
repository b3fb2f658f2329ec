// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The private drag types of the file table. A dragged row carries its row
// number; the URL of the first dragged row's file lets a token field take the
// file's name.
namespace FileTablePasteboard {

// The row numbers as decimal text, one a line.
inline const QString fileTableViewRowIndexType = QStringLiteral("private.brackenfold-file-table-row-index");
// The encoded URL of the file on disk.
inline const QString fileTableViewRowUrlType = QStringLiteral("private.brackenfold-file-table-row-url");

} // namespace FileTablePasteboard
