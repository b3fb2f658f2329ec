// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/DiskMove.h"

#include "core/String+path.h"
#include "files/Directory.h"
#include "files/FileManagerError.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace DiskMove {

namespace {

constexpr int MAX_COUNTER = 999;

// A path in the system's encoding, as QFile::encodeName gives it, held on the
// stack: every move encodes its paths, and a run moves every file.
class NativePath {
public:
    explicit NativePath(QStringView path)
    {
        QStringEncoder encoder(QStringEncoder::System, QStringEncoder::Flag::Stateless);
        m_bytes.resize(encoder.requiredSpace(path.size()) + 1);
        *encoder.appendToBuffer(m_bytes.data(), path) = '\0';
    }
    const char* get() const { return m_bytes.constData(); }

private:
    QVarLengthArray<char, 1024> m_bytes;
};

} // namespace

// The folder of this thread's last look or move, held open while a
// FolderScope lives: a run goes through one folder after another, and a call
// relative to the folder does not walk the whole path again for every file.
class HeldFolder {
public:
    ~HeldFolder() { forget(); }

    // A descriptor of `folder`; -1 when it cannot be opened. Two folders are
    // held, so that a run moving files from one folder into another does not
    // reopen them for every file.
    int open(QStringView folder)
    {
        if (m_slots[0].fd >= 0 && folder == m_slots[0].path)
            return m_slots[0].fd;
        std::swap(m_slots[0], m_slots[1]);
        if (m_slots[0].fd >= 0 && folder == m_slots[0].path)
            return m_slots[0].fd;
        m_slots[0].close();
        const QString path = folder.isEmpty() ? QStringLiteral("/") : folder.toString();
        m_slots[0].fd = ::open(NativePath(path).get(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_slots[0].fd >= 0)
            m_slots[0].path = folder.toString();
        return m_slots[0].fd;
    }
    void forget()
    {
        for (Slot& slot : m_slots)
            slot.close();
    }
    // Whether the folder of `fd` was removed (another one may be at its path now).
    static bool isGone(int fd)
    {
        struct stat status {};
        return ::fstat(fd, &status) != 0 || status.st_nlink == 0;
    }
    // Whether `path` is a held folder or a folder above one.
    bool isAtOrAbove(QStringView path) const
    {
        for (const Slot& slot : m_slots) {
            if (slot.fd >= 0 && slot.path.startsWith(path)
                && (slot.path.size() == path.size() || slot.path.at(path.size()) == QLatin1Char('/')))
                return true;
        }
        return false;
    }

private:
    struct Slot {
        int fd = -1;
        QString path;
        void close()
        {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
            path.clear();
        }
    };
    Slot m_slots[2];
};

namespace {

// The held folder of this thread while a FolderScope lives, else none.
thread_local HeldFolder* heldFolder = nullptr;

// The folder part of a path and the name in it.
std::pair<QStringView, QStringView> splitPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return { {}, path };
    return { QStringView(path).first(slash), QStringView(path).sliced(slash + 1) };
}

Calls& installed()
{
    static Calls current = systemCalls();
    return current;
}


// A file system that knows no hard links answers one of these to link().
bool linksUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

constexpr unsigned int LOOK_MASK = STATX_TYPE | STATX_INO | STATX_NLINK | STATX_SIZE | STATX_BTIME;

Identity identityOf(const struct statx& status)
{
    Identity found { makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino, std::nullopt };
    if (status.stx_mask & STATX_BTIME)
        found.birthMilliseconds = status.stx_btime.tv_sec * 1000 + status.stx_btime.tv_nsec / 1000000;
    return found;
}

// The item at the path as statx sees it, without following a final link.
std::optional<Identity> identityAt(int folder, const char* path, int flags, struct statx& status)
{
    if (::statx(folder, path, flags | AT_SYMLINK_NOFOLLOW, LOOK_MASK, &status) != 0)
        return std::nullopt;
    return identityOf(status);
}

// The same through the calls in use; errno tells why nothing was found.
std::optional<Identity> lookAt(const QString& path, struct statx& status)
{
    if (const int error = installed().look(path, status); error != 0) {
        errno = error;
        return std::nullopt;
    }
    return identityOf(status);
}

bool isFolder(const QString& path)
{
    struct statx status {};
    return lookAt(path, status) && S_ISDIR(status.stx_mode);
}

// Whether the placeholder made at `path` is still there as it was made: an
// empty file with no other name, or the folder (a folder that got entries
// cannot be moved onto).
bool isUntouchedPlaceholder(const QString& path, const Identity& made, bool isDirectory)
{
    struct statx status {};
    const std::optional<Identity> found = lookAt(path, status);
    if (!found || *found != made)
        return false;
    if (isDirectory)
        return S_ISDIR(status.stx_mode);
    return S_ISREG(status.stx_mode) && status.stx_size == 0 && status.stx_nlink == 1;
}

void removePlaceholder(const QString& path, const Identity& made, bool isDirectory)
{
    if (!isUntouchedPlaceholder(path, made, isDirectory))
        return;
    if (isDirectory)
        ::rmdir(NativePath(path).get());
    else
        ::unlink(NativePath(path).get());
}

// The file system refused RENAME_NOREPLACE: a hard link cannot replace either,
// so link + unlink is as safe where it works. Elsewhere the destination is
// first taken by a placeholder of our own, and the move replaces only that.
int moveWithoutFlag(const QString& from, const QString& to)
{
    const Calls& system = calls();
    const bool isDirectory = isFolder(from);
    if (!isDirectory) {
        const int linked = system.link(from, to);
        if (linked == 0) {
            // Another item put at `from` since the link is not ours to remove:
            // the linked item is at `to` and its old name is gone already.
            if (!isSameItem(from, to))
                return 0;
            if (::unlink(NativePath(from).get()) == 0)
                return 0;
            const int error = errno;
            ::unlink(NativePath(to).get());
            return error;
        }
        if (!linksUnsupported(linked))
            return linked;
    }
    Identity placeholder;
    if (const int reserved = system.reserve(to, isDirectory, placeholder); reserved != 0)
        return reserved;
    // Whatever replaced or filled the placeholder since is never replaced.
    if (!isUntouchedPlaceholder(to, placeholder, isDirectory))
        return EEXIST;
    const int result = system.rename(from, to, 0);
    if (result == 0)
        return 0;
    removePlaceholder(to, placeholder, isDirectory);
    // A placeholder folder something was put in since is taken.
    return result == ENOTEMPTY ? EEXIST : result;
}

} // namespace

Calls systemCalls()
{
    Calls system;
    system.look = [](const QString& path, struct statx& status) {
        if (heldFolder && path.startsWith(QLatin1Char('/'))) {
            const auto [folder, name] = splitPath(path);
            if (const int fd = heldFolder->open(folder); fd >= 0) {
                if (::statx(fd, NativePath(name).get(), AT_SYMLINK_NOFOLLOW, LOOK_MASK, &status) == 0)
                    return 0;
                // The held folder may be gone, and another one made at its path.
                if (const int error = errno; error != ENOENT || !HeldFolder::isGone(fd))
                    return error;
                heldFolder->forget();
            }
        }
        return ::statx(AT_FDCWD, NativePath(path).get(), AT_SYMLINK_NOFOLLOW, LOOK_MASK, &status) == 0 ? 0 : errno;
    };
    system.rename = [](const QString& from, const QString& to, unsigned int flags) {
        int result = -1;
        if (heldFolder && from.startsWith(QLatin1Char('/'))) {
            const auto [fromFolder, fromName] = splitPath(from);
            const auto [toFolder, toName] = splitPath(to);
            if (fromFolder == toFolder) {
                if (const int fd = heldFolder->open(fromFolder); fd >= 0) {
                    result = ::renameat2(fd, NativePath(fromName).get(), fd, NativePath(toName).get(), flags) == 0 ? 0 : errno;
                    if (result == ENOENT && HeldFolder::isGone(fd)) {
                        heldFolder->forget();
                        result = -1;
                    }
                }
            }
        }
        if (result < 0)
            result = ::renameat2(AT_FDCWD, NativePath(from).get(), AT_FDCWD, NativePath(to).get(), flags) == 0 ? 0 : errno;
        // A folder moved that holds the held one: its path names another folder now.
        if (heldFolder && result == 0 && (heldFolder->isAtOrAbove(from) || heldFolder->isAtOrAbove(to)))
            heldFolder->forget();
        return result;
    };
    system.link = [](const QString& from, const QString& to) {
        return ::link(NativePath(from).get(), NativePath(to).get()) == 0 ? 0 : errno;
    };
    system.reserve = [](const QString& path, bool isDirectory, Identity& made) {
        const NativePath native(path);
        struct statx status {};
        if (isDirectory) {
            if (::mkdir(native.get(), 0700) != 0)
                return errno;
            // A folder has no descriptor to ask: a replacement since is seen
            // as a folder that is not empty or not ours when the move comes.
            const std::optional<Identity> found = identityAt(AT_FDCWD, native.get(), 0, status);
            if (!found)
                return errno;
            made = *found;
            return 0;
        }
        const int fd = ::open(native.get(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return errno;
        const std::optional<Identity> found = identityAt(fd, "", AT_EMPTY_PATH, status);
        const int error = found ? 0 : errno;
        ::close(fd);
        if (found)
            made = *found;
        else
            ::unlink(native.get());
        return error;
    };
    system.onlyIgnoredNames = Directory::onlyIgnoredNames;
    return system;
}

const Calls& calls()
{
    return installed();
}

ScopedCalls::ScopedCalls(Calls replacement)
    : m_previous(installed())
{
    Calls& current = installed();
    if (replacement.look)
        current.look = std::move(replacement.look);
    if (replacement.rename)
        current.rename = std::move(replacement.rename);
    if (replacement.link)
        current.link = std::move(replacement.link);
    if (replacement.reserve)
        current.reserve = std::move(replacement.reserve);
    if (replacement.onlyIgnoredNames)
        current.onlyIgnoredNames = std::move(replacement.onlyIgnoredNames);
}

ScopedCalls::~ScopedCalls()
{
    installed() = m_previous;
}

FolderScope::FolderScope()
    : m_previous(heldFolder)
    , m_held(std::make_unique<HeldFolder>())
{
    heldFolder = m_held.get();
}

FolderScope::~FolderScope()
{
    m_held->forget();
    heldFolder = m_previous;
}

std::optional<Identity> identity(const QString& path)
{
    struct statx status {};
    return lookAt(path, status);
}

int moveNoReplace(const QString& from, const QString& to)
{
    const int result = calls().rename(from, to, RENAME_NOREPLACE);
    if (result == EINVAL || result == ENOSYS) {
        // EINVAL is also a folder moved into itself; the fallback meets it again.
        return moveWithoutFlag(from, to);
    }
    return result;
}

int exchange(const QString& a, const QString& b)
{
    return calls().rename(a, b, RENAME_EXCHANGE);
}

bool exists(const QString& path)
{
    struct statx status {};
    return lookAt(path, status).has_value();
}

bool isSameItem(const QString& a, const QString& b)
{
    const std::optional<Identity> first = identity(a);
    const std::optional<Identity> second = identity(b);
    return first && second && *first == *second;
}

QStringList createDirectories(const QString& path)
{
    if (path.isEmpty() || path == QLatin1String("/"))
        return {};
    struct stat status {};
    if (::stat(NativePath(path).get(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return {};
        throw FileManagerError(ENOTDIR, path, QStringLiteral("create folder"));
    }
    QStringList created = createDirectories(String::stringByDeletingLastPathComponent(path));
    if (::mkdir(NativePath(path).get(), 0777) == 0)
        created << path;
    else if (errno != EEXIST)
        throw FileManagerError::fromErrno(path, QStringLiteral("create folder"));
    return created;
}

namespace {
// `path` with `insert` between its stem and its extension (a folder has none).
QString withInsert(const QString& path, bool isDirectory, const QString& insert)
{
    if (isDirectory)
        return path + insert;
    const QString ext = String::pathExtension(String::lastPathComponent(path));
    return String::stringByDeletingPathExtension(path) + insert + (ext.isEmpty() ? QString() : QLatin1Char('.') + ext);
}
} // namespace

QString countedPath(const QString& path, bool isDirectory, int counter)
{
    return withInsert(path, isDirectory, QLatin1Char(' ') + QString::number(counter));
}

QString parkingPath(const QString& path, bool isDirectory, int attempt)
{
    const QString insert = attempt <= 1 ? QStringLiteral(" (renaming)") : QStringLiteral(" (renaming %1)").arg(attempt);
    return withInsert(path, isDirectory, insert);
}

std::optional<QString> park(const QString& path, bool isDirectory)
{
    for (int attempt = 1; attempt <= PARKING_ATTEMPTS; ++attempt) {
        const QString parked = parkingPath(path, isDirectory, attempt);
        const int result = moveNoReplace(path, parked);
        if (result == 0)
            return parked;
        if (result != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> moveToCountedName(const QString& from, const QString& path, bool isDirectory)
{
    for (int counter = 2; counter <= MAX_COUNTER; ++counter) {
        const QString candidate = countedPath(path, isDirectory, counter);
        const int result = moveNoReplace(from, candidate);
        if (result == 0)
            return candidate;
        if (result != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace DiskMove
