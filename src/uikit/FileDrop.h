// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QUrl>

class QMimeData;

// Files and folders dropped on the window from outside.
namespace FileDrop {

// The local files and folders the drag carries: only files of this machine
// can be renamed.
QList<QUrl> localFileUrls(const QMimeData* mimeData);
// Opens them, asking whether to replace or append the listed files; with Alt
// held they are appended without asking.
void open(const QList<QUrl>& urls, Qt::KeyboardModifiers modifiers);

} // namespace FileDrop
