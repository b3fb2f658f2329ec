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

// Deletes the ignored files and removes the folder when nothing else is in it;
// answers whether it did. Throws FileManagerError.
bool removeIfEmpty(const QString& folder)
{
    // Stops at the first item that keeps the folder, so a full folder costs little.
    if (!Directory::holdsOnlyIgnored(folder))
        return false;
    const QByteArrayList names = Directory::entryNames(folder);
    Log::debug(Log::Category::process, "rename: rm %{public}s", folder);
    const QByteArray encodedFolder = QFile::encodeName(folder);
    for (const QByteArray& name : names) {
        const QByteArray item = encodedFolder + '/' + name;
        if (::unlink(item.constData()) != 0 && errno != ENOENT)
            throw FileManagerError::fromErrno(QFile::decodeName(item), QStringLiteral("remove"));
    }
    if (::rmdir(encodedFolder.constData()) != 0)
        throw FileManagerError::fromErrno(folder, QStringLiteral("remove folder"));
    return true;
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

std::optional<FileManagerError> removeDirectoryIfEmpty(const QString& path, const DirectoryRoots& roots)
{
    // The clean form, so a ".." cannot carry the walk out of an allowed root.
    QString folder = path.startsWith(QLatin1Char('/')) ? QDir::cleanPath(path) : QString();
    while (folder.startsWith(QLatin1Char('/')) && !isProtected(folder, roots)) {
        struct stat status {};
        if (::lstat(QFile::encodeName(folder).constData(), &status) != 0)
            return FileManagerError::fromErrno(folder, QStringLiteral("list"));
        if (!S_ISDIR(status.st_mode) || isMountPoint(folder))
            return std::nullopt;
        try {
            if (!removeIfEmpty(folder))
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
    struct stat status {};
    if (::lstat(encodedLink.constData(), &status) != 0)
        throw FileManagerError::fromErrno(linkPath, QStringLiteral("remove"));
    // Renaming over a file or folder would destroy it: only a link is replaced.
    if (!S_ISLNK(status.st_mode))
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
        if (::rename(encodedTemporary.constData(), encodedLink.constData()) != 0) {
            const FileManagerError error = FileManagerError::fromErrno(linkPath, QStringLiteral("replace symbolic link"));
            ::unlink(encodedTemporary.constData());
            throw error;
        }
        return;
    }
    throw FileManagerError(EEXIST, linkPath, QStringLiteral("create symbolic link"));
}

} // namespace FileManager
