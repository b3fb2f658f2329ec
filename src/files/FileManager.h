// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/DirectoryRoots.h"
#include "files/FileManagerError.h"

#include <QByteArrayList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// Path and link helpers of the rename run.
namespace FileManager {

// The URL's path for a folder, else the path of the folder that holds it.
QString pathFrom(const QUrl& url, bool isDirectory);

// Whether anything is at the path; a dangling symbolic link counts.
bool pathExists(const QString& path);

// What the emptied-folder walk is told besides the roots.
struct EmptiedFolderRemoval {
    // Folders never removed (those the caller still needs), checked at every step.
    std::function<bool(const QString& folder)> keep;
    // Reads a folder once: its ignored names when it holds nothing else.
    std::function<std::optional<QByteArrayList>(const QString& folder)> onlyIgnoredNames;
};

// Removes the folder when it holds nothing but ignored names, then its parents
// the same way. Only the ignored names found in one reading are deleted and the
// folder goes with rmdir, never recursively, so whatever appeared in the
// meantime keeps it. The walk stops at the first folder that still holds
// something, at a kept folder, at "/", the home folder, a mount point, an
// allowed root or a folder outside the allowed roots. A failure ends the walk
// and is answered, not thrown: the file itself was renamed, so it is only a
// warning.
[[nodiscard]] std::optional<FileManagerError> removeDirectoryIfEmpty(const QString& path,
    const DirectoryRoots& roots = DirectoryRoots::fromMachine(), const EmptiedFolderRemoval& removal = {});

// Points the symbolic link at `link` to `destination`. The new link is made
// under a temporary name beside it and swapped with the old one in one step;
// what came out must be the link that was checked before, else the swap is
// undone, so neither the link nor anything put in its place is lost. Throws
// FileManagerError when nothing is at `link`, when it is not a symbolic link
// (or stopped being one), or when a step fails.
void updateSymbolicLink(const QUrl& link, const QUrl& destination);

} // namespace FileManager
