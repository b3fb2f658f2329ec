#include "files/ExtendedFileInfo.h"

#include "core/String+path.h"
#include "core/URL+path.h"
#include "core/String+utilities.h"
#include "files/ContentType.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStorageInfo>

#include <fcntl.h>
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
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return std::nullopt;
    const QString root = storage.rootPath();
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

std::optional<QStringList> tagsOf(const QByteArray& path)
{
    char buffer[4096];
    const ssize_t size = lgetxattr(path.constData(), "user.xdg.tags", buffer, sizeof buffer);
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

// One copy a comment, shared by the files of one type.
QString capitalizedFirst(const QString& text)
{
    static QMutex mutex;
    static QHash<QString, QString> capitalized;
    QMutexLocker lock(&mutex);
    auto known = capitalized.constFind(text);
    if (known == capitalized.constEnd())
        known = capitalized.insert(text, text.left(1).toUpper() + text.mid(1));
    return *known;
}

} // namespace

ExtendedFileInfo ExtendedFileInfo::read(const QUrl& givenUrl)
{
    ExtendedFileInfo info;
    const QUrl normalizedUrl = URL::normalized(givenUrl);
    const QString fullPath = FileUrl::path(normalizedUrl);
    const QByteArray nativePath = QFile::encodeName(fullPath);

    struct statx stx {};
    const bool statted = statx(AT_FDCWD, nativePath.constData(), AT_SYMLINK_NOFOLLOW,
                             STATX_BASIC_STATS | STATX_BTIME, &stx) == 0;
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
        const std::optional<ContentType::Facts> type = isLink ? ContentType::ofSymbolicLink()
            : S_ISDIR(stx.stx_mode)                           ? ContentType::ofDirectory()
                                                              : ContentType::ofFile(fullPath, S_ISREG(stx.stx_mode));
        if (type) {
            info.contentType = type->name;
            info.localizedTypeDescription = type->comment;
        }
        if (stx.stx_mask & STATX_BTIME)
            info.creationDate = dateOf(stx.stx_btime);
        info.modificationDate = dateOf(stx.stx_mtime);
        info.contentAccessDate = dateOf(stx.stx_atime);
        if (!S_ISDIR(stx.stx_mode))
            info.fileSize = static_cast<qint64>(stx.stx_size);
        info.tagNames = tagsOf(nativePath);
        // A link's volume is the one of the folder that holds it, even when it dangles.
        const std::optional<VolumeRoot> root = volumeRoot(isLink ? String::stringByDeletingLastPathComponent(fullPath) : fullPath,
            (static_cast<quint64>(stx.stx_dev_major) << 32) | stx.stx_dev_minor);
        if (root && !root->path.isEmpty())
            info.volume = root->url;
        info.inode = static_cast<quint64>(stx.stx_ino);
        info.device = static_cast<quint64>(makedev(stx.stx_dev_major, stx.stx_dev_minor));
    }

    info.kind = QStringLiteral("File");
    if (info.contentType && info.localizedTypeDescription && !info.localizedTypeDescription->isEmpty())
        info.kind = capitalizedFirst(*info.localizedTypeDescription);
    if (FileUrl::hasDirectoryPath(givenUrl))
        info.kind = QStringLiteral("Folder");
    else if (info.isAlias)
        info.kind = QStringLiteral("Alias");
    else if (info.isSymbolicLink)
        info.kind = QStringLiteral("Symbolic Link");

    info.url = normalizedUrl;
    info.resolvedURL = resolved;
    info.isAliasDirectory = info.isAlias && info.isDirectory;
    return info;
}

ExtendedFileInfo ExtendedFileInfo::movedTo(const QString& newFullPath) const
{
    ExtendedFileInfo info = *this;
    info.moveTo(newFullPath);
    return info;
}

void ExtendedFileInfo::moveTo(const QString& newFullPath)
{
    const QUrl newUrl = QUrl::fromLocalFile(newFullPath);
    // The path is the one the move used, absolute and without a doubled or
    // trailing "/": its parts are split off at its last "/".
    const qsizetype slash = newFullPath.lastIndexOf(QLatin1Char('/'));
    const QString last = newFullPath.mid(slash + 1);
    const QString newExt = String::pathExtension(last);
    if (isAlias || isSymbolicLink || newExt != ext) {
        *this = read(newUrl);
        return;
    }
    url = newUrl;
    resolvedURL = newUrl;
    fullPath = newFullPath;
    // The parent of an item in "/" is "", as read() has it.
    path = isDirectory ? newFullPath : newFullPath.left(std::max<qsizetype>(slash, 0));
    name = isDirectory ? QString() : newExt.isEmpty() ? last : last.left(last.size() - newExt.size() - 1);
}
