// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QSet>
#include <QString>

#include <optional>

// The names the whole program ignores, and the listing of a folder's entries.
namespace Directory {

// The home folder, without a trailing "/".
const QString& homeDirectory();

// ".DS_Store" and "Thumbs.db", compared case-sensitively with a last path component.
const QSet<QString>& ignoredFilenames();
bool isIgnored(const QString& name);

// The names in a folder as the file system stores them (bytes; "." and ".."
// left out), in the file system's order. Throws FileManagerError.
QByteArrayList entryNames(const QString& path);

// The ignored names in the folder when it holds nothing else; none as soon as
// another item turns up, so a full folder costs little. Throws FileManagerError.
std::optional<QByteArrayList> onlyIgnoredNames(const QString& path);

// The number of entries that are not ignored names. Throws FileManagerError.
qsizetype countFileItems(const QString& path);

} // namespace Directory
