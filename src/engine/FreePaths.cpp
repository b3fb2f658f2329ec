// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FreePaths.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Below this many new paths a folder is not worth reading.
constexpr qsizetype MIN_PATHS_TO_READ = 32;
// A folder is read only when it is not much larger than what it receives:
// ext4, btrfs and tmpfs spend well below this many bytes per entry.
constexpr qint64 FOLDER_BYTES_PER_PATH = 256;

// The folder part of a path, "/" for the root; empty without a folder.
QStringView folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringView() : QStringView(path).first(std::max<qsizetype>(slash, 1));
}

// Whether the folder's file system finds a name only when it is spelled
// byte by byte as stored: no case folding, no normalisation. Only file systems
// known to be so count, and a folder marked to fold case does not.
bool comparesBytes(int fd)
{
    struct statfs fileSystem {};
    if (::fstatfs(fd, &fileSystem) != 0)
        return false;
    switch (fileSystem.f_type) {
    case EXT4_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        break;
    default:
        return false;
    }
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        return fileSystem.f_type == BTRFS_SUPER_MAGIC; // btrfs has no folding at all
    return !(flags & FS_CASEFOLD_FL);
}

size_t nameHash(QByteArrayView name)
{
    return qHash(name);
}

// The hashes of the names in the folder, sorted; none when it is not worth
// reading or cannot be read.
std::optional<std::vector<size_t>> readNames(const QString& folder, qsizetype pathCount)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size > pathCount * FOLDER_BYTES_PER_PATH || !comparesBytes(fd)) {
        ::close(fd);
        return std::nullopt;
    }
    DIR* directory = ::fdopendir(fd);
    if (!directory) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<size_t> names;
    names.reserve(pathCount);
    errno = 0;
    while (const dirent* entry = ::readdir(directory))
        names.push_back(nameHash(entry->d_name));
    const bool complete = errno == 0;
    ::closedir(directory);
    if (!complete)
        return std::nullopt;
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

FreePaths::FreePaths(const std::vector<QString>& paths)
{
    QHash<QStringView, qsizetype> counts;
    // Paths come folder by folder: a run of one folder is counted at once.
    QStringView runFolder;
    qsizetype runLength = 0;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        const QStringView folder = folderOf(path);
        if (runLength > 0 && folder == runFolder) {
            ++runLength;
            continue;
        }
        if (runLength > 0)
            counts[runFolder] += runLength;
        runFolder = folder;
        runLength = 1;
    }
    if (runLength > 0)
        counts[runFolder] += runLength;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.key().isEmpty() || it.value() < MIN_PATHS_TO_READ)
            continue;
        const QString folder = it.key().toString();
        if (std::optional<std::vector<size_t>> names = readNames(folder, it.value()))
            m_listings.insert(folder, std::move(*names));
    }
}

bool FreePaths::isSurelyFree(const QString& path, Probe& probe) const
{
    const QStringView folder = folderOf(path);
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    if (folder.isEmpty() || nameStart == path.size())
        return false;
    // Paths come folder by folder: the folder is looked up once per run of them.
    if (folder != probe.m_folder) {
        probe.close();
        probe.m_folder = folder.toString();
        const auto listing = m_listings.constFind(probe.m_folder);
        if (listing != m_listings.constEnd())
            probe.m_listing = &*listing;
        else
            probe.m_fd = ::open(QFile::encodeName(probe.m_folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return probe.isSurelyFree(QStringView(path).sliced(nameStart).toUtf8());
}

FreePaths::Probe::~Probe()
{
    close();
}

bool FreePaths::Probe::isSurelyFree(const QByteArray& name) const
{
    if (m_listing)
        return !std::binary_search(m_listing->cbegin(), m_listing->cend(), nameHash(name));
    if (m_fd < 0)
        return false;
    struct stat status {};
    return ::fstatat(m_fd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
}

void FreePaths::Probe::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_listing = nullptr;
}
