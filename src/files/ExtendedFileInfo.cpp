// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ExtendedFileInfo.h"

#include "core/String+path.h"
#include "core/URL+path.h"
#include "core/String+utilities.h"
#include "files/ContentType.h"
#include "files/FolderReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStorageInfo>

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

namespace {
// Reading the mount table costs far more than the rest of a file's facts, so the
// root of each device is looked up once; a cached root that no longer contains
// the path (the mounts changed) is looked up again.
struct VolumeRoot {
    QString path;
    QUrl url; // with a trailing "/"; one copy shared by every file on the volume
};

std::optional<VolumeRoot> volumeRoot(const QString& path, quint64 device)
{
    static QMutex mutex;
    static QHash<quint64, VolumeRoot> roots;
    {
        QMutexLocker lock(&mutex);
        const auto it = roots.constFind(device);
        if (it != roots.constEnd()
            && (it->path == QLatin1String("/") || path == it->path || path.startsWith(it->path + QLatin1Char('/'))))
            return *it;
    }
    // The mount table names the root where it covers the path and agrees with
    // the device; where it does not (a chroot, some containers), the device
    // number still tells where the volume begins.
    const QStorageInfo storage(path);
    QString root = storage.isValid() ? storage.rootPath() : QString();
    if (root.isEmpty() || ExtendedFileInfo::deviceKeyOf(root) != device) {
        const std::optional<QString> byDevice = ExtendedFileInfo::volumeRootOf(path);
        if (!byDevice || ExtendedFileInfo::deviceKeyOf(*byDevice) != device)
            return std::nullopt;
        root = *byDevice;
    }
    const VolumeRoot found { root, QUrl::fromLocalFile(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/')) };
    QMutexLocker lock(&mutex);
    roots.insert(device, found);
    return found;
}
} // namespace

namespace FileUrl {

QString path(const QUrl& url)
{
    QString text = url.toLocalFile();
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

bool hasDirectoryPath(const QUrl& url)
{
    return url.path().endsWith(QLatin1Char('/'));
}

QString parentPath(const QUrl& url)
{
    return String::stringByDeletingLastPathComponent(path(URL::normalized(url)));
}

} // namespace FileUrl

namespace {

std::optional<QDateTime> dateOf(const struct statx_timestamp& time)
{
    return QDateTime::fromMSecsSinceEpoch(time.tv_sec * 1000 + time.tv_nsec / 1000000, Qt::UTC);
}

constexpr const char* TAGS_ATTRIBUTE = "user.xdg.tags";

std::optional<QStringList> tagsFrom(const char* buffer, ssize_t size)
{
    if (size < 0)
        return std::nullopt;
    QStringList tags;
    for (const QString& tag : QString::fromUtf8(buffer, size).split(QLatin1Char(','))) {
        const QString trimmed = tag.trimmed();
        if (!trimmed.isEmpty())
            tags << trimmed;
    }
    return tags;
}

std::optional<QStringList> tagsOf(const QByteArray& path)
{
    char buffer[4096];
    return tagsFrom(buffer, lgetxattr(path.constData(), TAGS_ATTRIBUTE, buffer, sizeof buffer));
}

// The tags of the entry `name` of the open folder `folderFd`, looked up relative
// to it where the kernel can (Linux 6.13), else by the full path.
std::optional<QStringList> tagsOf(int folderFd, const QByteArray& name, const QString& fullPath)
{
    struct XattrArgs {
        alignas(8) quint64 value;
        quint32 size;
        quint32 flags;
    };
    constexpr long GETXATTRAT = 464; // the same number on every architecture
    static std::atomic<bool> unsupported = false;
    if (!unsupported.load(std::memory_order_relaxed)) {
        char buffer[4096];
        XattrArgs args { reinterpret_cast<quint64>(buffer), sizeof buffer, 0 };
        const long size = ::syscall(GETXATTRAT, folderFd, name.constData(), AT_SYMLINK_NOFOLLOW, TAGS_ATTRIBUTE, &args, sizeof args);
        if (size >= 0 || errno != ENOSYS)
            return tagsFrom(buffer, size);
        unsupported.store(true, std::memory_order_relaxed);
    }
    return tagsOf(QFile::encodeName(fullPath));
}

// One copy a comment, shared by the files of one type.
QString capitalizedFirst(const QString& text)
{
    // The files of a folder mostly share their type: each thread keeps the
    // last answer, so that threads reading one folder do not queue for the lock.
    thread_local QString lastText;
    thread_local QString lastCapitalized;
    if (!lastCapitalized.isNull() && text == lastText)
        return lastCapitalized;
    static QMutex mutex;
    static QHash<QString, QString> capitalized;
    QMutexLocker lock(&mutex);
    auto known = capitalized.constFind(text);
    if (known == capitalized.constEnd())
        known = capitalized.insert(text, text.left(1).toUpper() + text.mid(1));
    lastText = known.key();
    lastCapitalized = *known;
    return *known;
}

std::optional<QUrl> volumeUrl(const QString& path, quint64 device)
{
    const std::optional<VolumeRoot> root = volumeRoot(path, device);
    if (root && !root->path.isEmpty())
        return root->url;
    return std::nullopt;
}

quint64 deviceKey(const struct statx& status)
{
    return (static_cast<quint64>(status.stx_dev_major) << 32) | status.stx_dev_minor;
}

// What the status of an item tells: its type, dates, size, tags and identity.
// `tags` reads the tags, `volume` gives the volume for a device key.
template <typename Tags, typename Volume>
void takeStatus(ExtendedFileInfo& info, const struct statx& status, bool isLink, Tags tags, Volume volume)
{
    const std::optional<ContentType::Facts> type = isLink ? ContentType::ofSymbolicLink()
        : S_ISDIR(status.stx_mode)                        ? ContentType::ofDirectory()
                                                          : ContentType::ofFile(info.fullPath, S_ISREG(status.stx_mode));
    if (type) {
        info.contentType = type->name;
        info.localizedTypeDescription = type->comment;
    }
    if (status.stx_mask & STATX_BTIME)
        info.creationDate = dateOf(status.stx_btime);
    info.modificationDate = dateOf(status.stx_mtime);
    info.contentAccessDate = dateOf(status.stx_atime);
    if (!S_ISDIR(status.stx_mode))
        info.fileSize = static_cast<qint64>(status.stx_size);
    info.tagNames = tags();
    info.volume = volume(deviceKey(status));
    info.inode = static_cast<quint64>(status.stx_ino);
    info.device = static_cast<quint64>(makedev(status.stx_dev_major, status.stx_dev_minor));
}

QString kindOf(const ExtendedFileInfo& info, bool givenAsDirectory)
{
    if (givenAsDirectory)
        return QStringLiteral("Folder");
    if (info.isAlias)
        return QStringLiteral("Alias");
    if (info.isSymbolicLink)
        return QStringLiteral("Symbolic Link");
    if (info.contentType && info.localizedTypeDescription && !info.localizedTypeDescription->isEmpty())
        return capitalizedFirst(*info.localizedTypeDescription);
    return QStringLiteral("File");
}

constexpr unsigned int STATUS_FIELDS = STATX_BASIC_STATS | STATX_BTIME;

} // namespace

std::optional<quint64> ExtendedFileInfo::deviceKeyOf(const QString& path)
{
    struct statx status {};
    if (statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, 0, &status) != 0)
        return std::nullopt;
    return deviceKey(status);
}

std::optional<QString> ExtendedFileInfo::volumeRootOf(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return std::nullopt;
    QString root = QDir::cleanPath(path);
    const std::optional<quint64> device = deviceKeyOf(root);
    if (!device)
        return std::nullopt;
    while (root != QLatin1String("/")) {
        QString parent = String::stringByDeletingLastPathComponent(root);
        if (parent.isEmpty())
            parent = QStringLiteral("/");
        if (deviceKeyOf(parent) != device)
            break;
        root = parent;
    }
    return root;
}

namespace {

// The item at the URL; with `throughLink`, a link is read as what it leads to,
// under the link's own path.
ExtendedFileInfo readItem(const QUrl& givenUrl, bool throughLink)
{
    ExtendedFileInfo info;
    const QUrl normalizedUrl = URL::normalized(givenUrl);
    const QString fullPath = FileUrl::path(normalizedUrl);
    // A trailing "/" makes lgetxattr read the folder a link leads to.
    const QByteArray nativePath = QFile::encodeName(fullPath) + (throughLink ? "/" : "");

    struct statx stx {};
    const bool statted
        = statx(AT_FDCWD, nativePath.constData(), throughLink ? 0 : AT_SYMLINK_NOFOLLOW, STATUS_FIELDS, &stx) == 0;
    const bool isLink = statted && S_ISLNK(stx.stx_mode);

    const QUrl resolved = isLink ? URL::resolvedAlias(QUrl::fromLocalFile(fullPath)) : normalizedUrl;

    info.isAlias = isLink;
    info.isSymbolicLink = isLink;
    const bool directoryValue = statted ? S_ISDIR(stx.stx_mode) : FileUrl::hasDirectoryPath(givenUrl);
    info.isDirectory = directoryValue || FileUrl::hasDirectoryPath(resolved);

    info.fullPath = fullPath;
    info.path = info.isDirectory ? fullPath : String::stringByDeletingLastPathComponent(fullPath);
    if (info.path.endsWith(QLatin1Char('/')))
        info.path.chop(1);
    info.name = info.isDirectory ? QString() : String::stringByDeletingPathExtension(String::lastPathComponent(fullPath));
    info.ext = String::pathExtension(fullPath);

    if (statted) {
        takeStatus(info, stx, isLink, [&] { return tagsOf(nativePath); },
            [&](quint64 device) {
                // A link's volume is the one of the folder that holds it, even when it dangles.
                if (throughLink)
                    return volumeUrl(QFileInfo(fullPath).canonicalFilePath(), device);
                return volumeUrl(isLink ? String::stringByDeletingLastPathComponent(fullPath) : fullPath, device);
            });
    }
    info.kind = kindOf(info, FileUrl::hasDirectoryPath(givenUrl));

    info.givenAsFolderURL = FileUrl::hasDirectoryPath(normalizedUrl);
    if (isLink)
        info.linkTargetURL = resolved;
    info.isAliasDirectory = info.isAlias && info.isDirectory;
    return info;
}

} // namespace

ExtendedFileInfo ExtendedFileInfo::read(const QUrl& url)
{
    return readItem(url, false);
}

std::optional<ExtendedFileInfo> ExtendedFileInfo::readLinkedFolder(const QUrl& url)
{
    const QByteArray nativePath = QFile::encodeName(FileUrl::path(URL::normalized(url)));
    struct stat status {};
    if (::lstat(nativePath.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return std::nullopt;
    if (::stat(nativePath.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    ExtendedFileInfo folder = readItem(url, true);
    if (!folder.isDirectory || folder.isAlias)
        return std::nullopt;
    return folder;
}

std::optional<ExtendedFileInfo> ExtendedFileInfo::read(
    const FolderReader& folder, EntryVolumes& volumes, const QString& name, const QByteArray& nativeName)
{
    // What read() of the entry's URL makes of it: the folder's path is already
    // clean and a name holds no "/", so the URL needs no normalising.
    // Made to its size: a path joined with + keeps room to grow, and every
    // listed item holds its path for as long as it is listed.
    QString fullPath;
    fullPath.reserve(folder.prefix().size() + name.size());
    fullPath.append(folder.prefix()).append(name);
    struct statx stx {};
    const bool statted = statx(folder.fd(), nativeName.constData(), AT_SYMLINK_NOFOLLOW, STATUS_FIELDS, &stx) == 0;
    if (statted && S_ISLNK(stx.stx_mode))
        return std::nullopt;

    ExtendedFileInfo info;
    info.isDirectory = statted && S_ISDIR(stx.stx_mode);
    info.fullPath = fullPath;
    info.path = info.isDirectory ? fullPath : folder.entriesPath();
    info.name = info.isDirectory ? QString() : String::stringByDeletingPathExtension(name);
    info.ext = String::pathExtension(name);
    if (statted) {
        takeStatus(info, stx, false, [&] { return tagsOf(folder.fd(), nativeName, fullPath); },
            [&](quint64 device) { return volumes.volume(device, [&] { return volumeUrl(fullPath, device); }); });
    }
    info.kind = kindOf(info, false);
    return info;
}

QString ExtendedFileInfo::urlPath() const
{
    if (givenAsFolderURL && !fullPath.endsWith(QLatin1Char('/')))
        return fullPath + QLatin1Char('/');
    return fullPath;
}

QUrl ExtendedFileInfo::url() const
{
    return QUrl::fromLocalFile(urlPath());
}

QUrl ExtendedFileInfo::resolvedURL() const
{
    return isAlias || isSymbolicLink ? linkTargetURL : url();
}

ExtendedFileInfo ExtendedFileInfo::movedTo(const QString& newFullPath) const
{
    ExtendedFileInfo info = *this;
    info.moveTo(newFullPath);
    return info;
}

void ExtendedFileInfo::moveTo(const QString& newFullPath)
{
    // The path is the one the move used, absolute and without a doubled or
    // trailing "/": its parts are split off at its last "/".
    const qsizetype slash = newFullPath.lastIndexOf(QLatin1Char('/'));
    const QString last = newFullPath.mid(slash + 1);
    const QString newExt = String::pathExtension(last);
    if (isAlias || isSymbolicLink || newExt != ext) {
        *this = read(QUrl::fromLocalFile(newFullPath));
        return;
    }
    givenAsFolderURL = false;
    fullPath = newFullPath;
    // The parent of an item in "/" is "", as read() has it. A file that stays
    // in its folder keeps the folder's string, which its neighbours share.
    const QStringView newFolder = QStringView(newFullPath).left(std::max<qsizetype>(slash, 0));
    if (isDirectory)
        path = newFullPath;
    else if (newFolder != path)
        path = newFolder.toString();
    name = isDirectory ? QString() : newExt.isEmpty() ? last : last.left(last.size() - newExt.size() - 1);
}
