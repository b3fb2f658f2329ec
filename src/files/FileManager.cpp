// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileManager.h"

#include "core/Preference.h"
#include "core/String+path.h"
#include "files/Directory.h"
#include "files/ExtendedFileInfo.h"
#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileManager {

namespace {

// The allowed roots (home, volumes, custom folders), clean and without a trailing "/".
QStringList allowedRoots(const DirectoryRoots& roots)
{
    QStringList list;
    if (!roots.homeDirectory.isEmpty())
        list << roots.homeDirectory;
    list << roots.volumes << Preference::stringArrayFor(PreferenceKey::customDirectories);
    QStringList cleaned;
    for (const QString& root : list) {
        if (root.startsWith(QLatin1Char('/')))
            cleaned << QDir::cleanPath(root);
    }
    return cleaned;
}

bool isProtected(const QString& folder, const DirectoryRoots& roots)
{
    static const QStringList fixed { QStringLiteral("/"), QStringLiteral("/home"), QStringLiteral("/run/media") };
    if (fixed.contains(folder) || DirectoryRoots::volumeParents().contains(folder))
        return true;
    const QStringList allowed = allowedRoots(roots);
    if (allowed.contains(folder))
        return true;
    // Only folders strictly inside an allowed root are ever removed.
    for (const QString& root : allowed) {
        if (folder.startsWith(root == QLatin1String("/") ? root : root + QLatin1Char('/')))
            return false;
    }
    return true;
}

// A folder on another device than its parent is mounted there.
bool isMountPoint(const QString& folder)
{
    struct stat own {};
    struct stat parent {};
    if (::stat(QFile::encodeName(folder).constData(), &own) != 0
        || ::stat(QFile::encodeName(String::stringByDeletingLastPathComponent(folder)).constData(), &parent) != 0)
        return true;
    return own.st_dev != parent.st_dev || own.st_ino == parent.st_ino;
}

// Deletes the ignored names found and removes the folder with rmdir; answers
// whether it did. A folder where something appeared meanwhile stays. Throws
// FileManagerError.
bool removeIfEmpty(const QString& folder, const EmptiedFolderRemoval& removal)
{
    const std::optional<QByteArrayList> names
        = removal.onlyIgnoredNames ? removal.onlyIgnoredNames(folder) : Directory::onlyIgnoredNames(folder);
    if (!names)
        return false;
    Log::debug(Log::Category::process, "rename: rm %{public}s", folder);
    const QByteArray encodedFolder = QFile::encodeName(folder);
    for (const QByteArray& name : *names) {
        const QByteArray item = encodedFolder + '/' + name;
        if (::unlink(item.constData()) != 0 && errno != ENOENT)
            throw FileManagerError::fromErrno(QFile::decodeName(item), QStringLiteral("remove"));
    }
    if (::rmdir(encodedFolder.constData()) == 0)
        return true;
    if (errno == ENOTEMPTY || errno == EEXIST)
        return false;
    throw FileManagerError::fromErrno(folder, QStringLiteral("remove folder"));
}

} // namespace

QString pathFrom(const QUrl& url, bool isDirectory)
{
    const QString path = url.toLocalFile();
    return isDirectory ? path : String::stringByDeletingLastPathComponent(path);
}

bool pathExists(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

std::optional<FileManagerError> removeDirectoryIfEmpty(const QString& path, const DirectoryRoots& roots,
    const EmptiedFolderRemoval& removal)
{
    // The clean form, so a ".." cannot carry the walk out of an allowed root.
    QString folder = path.startsWith(QLatin1Char('/')) ? QDir::cleanPath(path) : QString();
    while (folder.startsWith(QLatin1Char('/')) && !isProtected(folder, roots)) {
        struct stat status {};
        if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
            return FileManagerError::fromErrno(folder, QStringLiteral("list"));
        if (!S_ISDIR(status.st_mode) || isMountPoint(folder) || (removal.keep && removal.keep(folder)))
            return std::nullopt;
        try {
            if (!removeIfEmpty(folder, removal))
                return std::nullopt;
        } catch (const FileManagerError& error) {
            Log::info(Log::Category::process, "rename: rm %{public}s failed: %{public}s", folder, error.message());
            return error;
        }
        folder = String::stringByDeletingLastPathComponent(folder);
    }
    return std::nullopt;
}

void updateSymbolicLink(const QUrl& link, const QUrl& destination)
{
    const QString linkPath = FileUrl::path(link);
    const QByteArray encodedLink = QFile::encodeName(linkPath);
    struct stat checked {};
    if (::lstat(encodedLink.constData(), &checked) != 0)
        throw FileManagerError::fromErrno(linkPath, QStringLiteral("remove"));
    // Renaming over a file or folder would destroy it: only a link is replaced.
    if (!S_ISLNK(checked.st_mode))
        throw FileManagerError(EINVAL, linkPath, QStringLiteral("replace symbolic link (not a link)"));

    const QByteArray target = QFile::encodeName(destination.isLocalFile() ? destination.toLocalFile() : destination.path());
    const QString folder = String::stringByDeletingLastPathComponent(linkPath);
    const QString name = String::lastPathComponent(linkPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temporary = QStringLiteral("%1/.%2.%3").arg(folder == QLatin1String("/") ? QString() : folder, name,
            QString::number(QRandomGenerator::global()->generate(), 36));
        const QByteArray encodedTemporary = QFile::encodeName(temporary);
        if (::symlink(target.constData(), encodedTemporary.constData()) != 0) {
            if (errno == EEXIST)
                continue;
            throw FileManagerError::fromErrno(temporary, QStringLiteral("create symbolic link"));
        }
        const auto fail = [&](int code, const QString& operation) {
            ::unlink(encodedTemporary.constData());
            throw FileManagerError(code, linkPath, operation);
        };
        if (::renameat2(AT_FDCWD, encodedTemporary.constData(), AT_FDCWD, encodedLink.constData(), RENAME_EXCHANGE) != 0) {
            if (errno != EINVAL)
                fail(errno, QStringLiteral("replace symbolic link"));
            // No swap on this file system: the check goes right before the move.
            struct stat now {};
            if (::lstat(encodedLink.constData(), &now) != 0 || now.st_dev != checked.st_dev || now.st_ino != checked.st_ino)
                fail(EINVAL, QStringLiteral("replace symbolic link (replaced meanwhile)"));
            if (::rename(encodedTemporary.constData(), encodedLink.constData()) != 0)
                fail(errno, QStringLiteral("replace symbolic link"));
            return;
        }
        // What came out of the swap must be the link checked above.
        struct stat out {};
        if (::lstat(encodedTemporary.constData(), &out) == 0 && out.st_dev == checked.st_dev && out.st_ino == checked.st_ino) {
            ::unlink(encodedTemporary.constData());
            return;
        }
        if (::renameat2(AT_FDCWD, encodedTemporary.constData(), AT_FDCWD, encodedLink.constData(), RENAME_EXCHANGE) == 0)
            fail(EINVAL, QStringLiteral("replace symbolic link (replaced meanwhile)"));
        // Cannot swap back: the new item stays under the temporary name, reported.
        throw FileManagerError(errno, temporary, QStringLiteral("put back the item found at \"%1\"").arg(linkPath));
    }
    throw FileManagerError(EEXIST, linkPath, QStringLiteral("create symbolic link"));
}

} // namespace FileManager
