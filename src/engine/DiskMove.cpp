#include "engine/DiskMove.h"

#include "core/String+path.h"
#include "files/FileManagerError.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace DiskMove {

int moveNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno;
}

bool exists(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool isSameItem(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    if (::lstat(QFile::encodeName(a).constData(), &first) != 0 || ::lstat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void createDirectories(const QString& path)
{
    if (path.isEmpty() || path == QLatin1String("/"))
        return;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return;
        throw FileManagerError(ENOTDIR, path, QStringLiteral("create folder"));
    }
    createDirectories(String::stringByDeletingLastPathComponent(path));
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0 && errno != EEXIST)
        throw FileManagerError::fromErrno(path, QStringLiteral("create folder"));
}

QString temporaryPathBeside(const QString& path)
{
    const QString folder = String::stringByDeletingLastPathComponent(path);
    for (;;) {
        const QString name = QStringLiteral(".bf-rename-%1").arg(QRandomGenerator::global()->generate64(), 0, 36);
        const QString candidate = String::stringByAppendingPathComponent(folder, name);
        if (!exists(candidate))
            return candidate;
    }
}

std::optional<QString> park(const QString& path)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString temporary = temporaryPathBeside(path);
        const int result = moveNoReplace(path, temporary);
        if (result == 0)
            return temporary;
        if (result != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace DiskMove
