// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DirectoryRoots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
QString userName()
{
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

bool isAtOrBelow(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}
} // namespace

QStringList DirectoryRoots::volumeParents()
{
    QStringList parents { QStringLiteral("/media"), QStringLiteral("/mnt") };
    // Looked up once: the process keeps its user, and every folder a run
    // empties asks for these.
    static const QString user = userName();
    if (!user.isEmpty() && !user.contains(QLatin1Char('/')))
        parents << QStringLiteral("/run/media/") + user;
    return parents;
}

DirectoryRoots DirectoryRoots::fromMachine()
{
    DirectoryRoots roots;
    const QString home = QDir::cleanPath(QDir::homePath());
    roots.homeDirectory = home;
    const QStringList parents = volumeParents();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::cleanPath(volume.rootPath());
        for (const QString& parent : parents) {
            if (isAtOrBelow(root, parent) && !roots.volumes.contains(root)) {
                roots.volumes << root;
                break;
            }
        }
    }
    return roots;
}

std::optional<DirectoryRoots::Writability> DirectoryRoots::writabilityOnDisk(const QString& path)
{
    const QByteArray item = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(item.constData(), &status) != 0)
        return std::nullopt;
    // A link lies on the volume of the folder that holds it, wherever it points.
    QByteArray onVolume = item;
    if (S_ISLNK(status.st_mode))
        onVolume = QFile::encodeName(QFileInfo(path).absolutePath());
    struct statvfs volume {};
    if (::statvfs(onVolume.constData(), &volume) != 0)
        return std::nullopt;
    Writability writability;
    writability.volumeIsReadOnly = (volume.f_flag & ST_RDONLY) != 0;
    writability.isWritable = ::faccessat(AT_FDCWD, item.constData(), W_OK, AT_SYMLINK_NOFOLLOW) == 0;
    return writability;
}

bool DirectoryRoots::entryIsWritableOnDisk(int folderFd, const QByteArray& name, const QString&)
{
    return ::faccessat(folderFd, name.constData(), W_OK, 0) == 0;
}

const QStringList& DirectoryRoots::restrictedSystemFolders()
{
    static const QStringList folders {
        QStringLiteral("/bin"), QStringLiteral("/boot"), QStringLiteral("/dev"), QStringLiteral("/efi"),
        QStringLiteral("/etc"), QStringLiteral("/lib"), QStringLiteral("/lib32"), QStringLiteral("/lib64"),
        QStringLiteral("/libx32"), QStringLiteral("/lost+found"), QStringLiteral("/opt"), QStringLiteral("/proc"),
        QStringLiteral("/root"), QStringLiteral("/run"), QStringLiteral("/sbin"), QStringLiteral("/snap"),
        QStringLiteral("/sys"), QStringLiteral("/usr"), QStringLiteral("/var"),
    };
    return folders;
}

bool DirectoryRoots::isRestrictedSystemLocation(const QString& prefix)
{
    if (prefix == QLatin1String("/"))
        return true;
    for (const QString& folder : restrictedSystemFolders()) {
        if (prefix.startsWith(folder) && prefix.size() > folder.size() && prefix.at(folder.size()) == QLatin1Char('/'))
            return true;
    }
    return false;
}
