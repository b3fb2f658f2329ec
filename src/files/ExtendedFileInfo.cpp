#include "files/ExtendedFileInfo.h"

#include "files/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace FileUrl {

QUrl normalized(const QUrl& url)
{
    QString text = url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
    const bool absolute = text.startsWith(QLatin1Char('/'));
    if (text.startsWith(QLatin1Char('~')))
        text = QDir::homePath() + text.mid(1);
    const bool directoryPath = text.endsWith(QLatin1Char('/'));
    if (!absolute && !text.startsWith(QLatin1Char('/')))
        text = QDir::homePath() + QLatin1Char('/') + text;
    QString cleaned = QDir::cleanPath(text);
    if (directoryPath && cleaned != QLatin1String("/"))
        cleaned += QLatin1Char('/');
    return QUrl::fromLocalFile(cleaned);
}

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
    return PathText::deletingLastPathComponent(path(normalized(url)));
}

} // namespace FileUrl

namespace {

std::optional<QDateTime> dateOf(const struct statx_timestamp& time)
{
    return QDateTime::fromMSecsSinceEpoch(time.tv_sec * 1000 + time.tv_nsec / 1000000, Qt::UTC);
}

// The final target of a symbolic link; none when the link dangles.
std::optional<QString> linkTarget(const QString& path)
{
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return info.exists() ? std::optional<QString>(current) : std::nullopt;
        current = QDir::cleanPath(info.symLinkTarget());
    }
    return std::nullopt;
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

QString capitalizedFirst(const QString& text)
{
    return text.left(1).toUpper() + text.mid(1);
}

} // namespace

ExtendedFileInfo ExtendedFileInfo::read(const QUrl& givenUrl)
{
    ExtendedFileInfo info;
    const QUrl normalizedUrl = FileUrl::normalized(givenUrl);
    const QString fullPath = FileUrl::path(normalizedUrl);
    const QByteArray nativePath = QFile::encodeName(fullPath);

    struct statx stx {};
    const bool statted = statx(AT_FDCWD, nativePath.constData(), AT_SYMLINK_NOFOLLOW,
                             STATX_BASIC_STATS | STATX_BTIME, &stx) == 0;
    const bool isLink = statted && S_ISLNK(stx.stx_mode);

    QUrl resolved = normalizedUrl;
    if (isLink) {
        if (const auto target = linkTarget(fullPath)) {
            const bool targetIsDirectory = QFileInfo(*target).isDir();
            resolved = QUrl::fromLocalFile(targetIsDirectory && *target != QLatin1String("/") ? *target + QLatin1Char('/') : *target);
        }
    }

    info.isAlias = isLink;
    info.isSymbolicLink = isLink;
    const bool directoryValue = statted ? S_ISDIR(stx.stx_mode) : FileUrl::hasDirectoryPath(givenUrl);
    info.isDirectory = directoryValue || FileUrl::hasDirectoryPath(resolved);

    info.fullPath = fullPath;
    info.path = info.isDirectory ? fullPath : PathText::deletingLastPathComponent(fullPath);
    if (info.path.endsWith(QLatin1Char('/')))
        info.path.chop(1);
    info.name = info.isDirectory ? QString() : PathText::deletingPathExtension(PathText::lastPathComponent(fullPath));
    info.ext = PathText::pathExtension(fullPath);

    if (statted) {
        static const QMimeDatabase mimeDatabase;
        QMimeType mimeType;
        if (isLink)
            mimeType = mimeDatabase.mimeTypeForName(QStringLiteral("inode/symlink"));
        else if (S_ISDIR(stx.stx_mode))
            mimeType = mimeDatabase.mimeTypeForName(QStringLiteral("inode/directory"));
        else
            mimeType = mimeDatabase.mimeTypeForFile(fullPath);
        if (mimeType.isValid()) {
            info.contentType = mimeType.name();
            info.localizedTypeDescription = mimeType.comment();
        }
        if (stx.stx_mask & STATX_BTIME)
            info.creationDate = dateOf(stx.stx_btime);
        info.modificationDate = dateOf(stx.stx_mtime);
        info.contentAccessDate = dateOf(stx.stx_atime);
        if (!S_ISDIR(stx.stx_mode))
            info.fileSize = static_cast<qint64>(stx.stx_size);
        info.tagNames = tagsOf(nativePath);
        // A link's volume is the one of the folder that holds it, even when it dangles.
        const QStorageInfo storage(isLink ? PathText::deletingLastPathComponent(fullPath) : fullPath);
        if (storage.isValid()) {
            const QString root = storage.rootPath();
            info.volume = QUrl::fromLocalFile(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
            info.inode = static_cast<quint64>(stx.stx_ino);
        }
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
