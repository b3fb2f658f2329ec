#pragma once

#include "files/DirectoryRoots.h"
#include "files/FileManagerError.h"

#include <QString>
#include <QUrl>

#include <optional>

// Path and link helpers of the rename run.
namespace FileManager {

// The URL's path for a folder, else the path of the folder that holds it.
QString pathFrom(const QUrl& url, bool isDirectory);

// Whether anything is at the path; a dangling symbolic link counts.
bool pathExists(const QString& path);

// Removes the folder when it holds nothing but ignored names, then its parents
// the same way. Only the ignored files are deleted and the folder goes with
// rmdir, never recursively. The walk stops at the first folder that still holds
// something, at "/", the home folder, a mount point, an allowed root or a
// folder outside the allowed roots. A failure ends the walk and is answered,
// not thrown: the file itself was renamed, so it is only a warning.
[[nodiscard]] std::optional<FileManagerError> removeDirectoryIfEmpty(const QString& path,
    const DirectoryRoots& roots = DirectoryRoots::fromMachine());

// Points the symbolic link at `link` to `destination`. The new link is made
// under a temporary name beside it and renamed over the old one, so the link is
// never lost. Throws FileManagerError when nothing is at `link`, when it is not
// a symbolic link, or when a step fails.
void updateSymbolicLink(const QUrl& link, const QUrl& destination);

} // namespace FileManager
