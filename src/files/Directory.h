#pragma once

#include <QByteArrayList>
#include <QSet>
#include <QString>

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

// True when the folder holds nothing but ignored files; stops at the first other item.
bool holdsOnlyIgnored(const QString& path);

// The number of entries that are not ignored names. Throws FileManagerError.
qsizetype countFileItems(const QString& path);

} // namespace Directory
