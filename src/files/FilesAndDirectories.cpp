#include "files/FilesAndDirectories.h"

#include "core/AppNotification+Typed.h"
#include "core/Preference.h"
#include "core/String+path.h"
#include "core/Stopwatch.h"
#include "files/Directory.h"
#include "files/FileManagerError.h"
#include "platform/Log.h"

#include <QByteArrayView>
#include <QFile>
#include <QSet>

#include <sys/stat.h>

#include <utility>

struct FilesAndDirectories::Walk {
    std::stop_token stop;
    Stopwatch stopwatch;
    QSet<QUrl> uniqueIDs;
    // (device, inode) of every folder listed, so that no walk loops.
    QSet<std::pair<quint64, quint64>> walkedFolders;

    bool isCancelled() const { return stop.stop_requested(); }
};

FilesAndDirectories::FilesAndDirectories(const QList<QUrl>& urls, DirectoryRoots roots)
    : FilesAndDirectories(urls, Preference::boolFor(PreferenceKey::renameAliases),
          Preference::boolFor(PreferenceKey::renameEmptyFolders), std::move(roots))
{
}

FilesAndDirectories::FilesAndDirectories(const QList<QUrl>& urls, bool renameAliases, bool renameEmptyFolders,
    DirectoryRoots roots)
    : directoryValidator(std::make_shared<DirectoryValidator>(std::move(roots)))
    , renameAliases(renameAliases)
    , renameEmptyFolders(renameEmptyFolders)
    , openedUrls(urls)
    , fileItems(getFileItems(urls, {}))
{
}

QList<RejectedDirectory> FilesAndDirectories::rejectedDirectories() const
{
    return directoryValidator->rejectedDirectories();
}

QList<File> FilesAndDirectories::allFiles(std::stop_token stop, Clock& clock) const
{
    Log::debug(Log::Category::background,
        "==================[ FilesAndDirectories opening %ld files and directories ]==================",
        fileItems.size());
    const Stopwatch total(clock);
    Walk walk { stop, Stopwatch(clock), {}, {} };
    QList<File> files = getAllUniqueFiles(fileItems, walk);
    if (walk.isCancelled())
        files.clear();
    Log::debug(Log::Category::background,
        "==================[ FilesAndDirectories found %ld files in %ld milliseconds ]==================",
        files.size(), total.elapsedTime());
    return files;
}

QList<File> FilesAndDirectories::getFileItems(const QList<QUrl>& urls, std::stop_token stop) const
{
    QList<File> kept;
    kept.reserve(urls.size());
    for (const QUrl& url : urls) {
        if (stop.stop_requested())
            return {};
        File file(url, renameAliases);
        const ExtendedFileInfo& info = file.source.fileInfo;
        // Ignored names are dropped before the rules run: nothing is reported
        // about an item that would not be listed anyway.
        if (Directory::isIgnored(String::lastPathComponent(info.fullPath)))
            continue;
        if (!directoryValidator->isSupportedDirectory(info.path))
            continue;
        // Renaming an item writes to the folder that holds it: one answer per folder.
        if (!directoryValidator->isWritableFolder(String::stringByDeletingLastPathComponent(info.fullPath)))
            continue;
        kept << std::move(file);
    }
    return kept;
}

std::optional<QList<File>> FilesAndDirectories::contentsOf(const File& folder, Walk& walk) const
{
    const ExtendedFileInfo& info = folder.source.fileInfo;
    if (!info.isDirectory)
        return QList<File> {};
    if (info.isAliasDirectory && !renameAliases)
        return QList<File> {};
    const QUrl folderUrl = info.isAliasDirectory ? info.resolvedURL : info.url;
    const QString folderPath = FileUrl::path(folderUrl);

    // A folder met again, through a link or a mount, is not walked again.
    struct stat status {};
    if (::stat(QFile::encodeName(folderPath).constData(), &status) == 0) {
        const std::pair<quint64, quint64> identity { status.st_dev, status.st_ino };
        if (walk.walkedFolders.contains(identity))
            return std::nullopt;
        walk.walkedFolders.insert(identity);
    }

    QByteArrayList names;
    try {
        names = Directory::entryNames(folderPath);
    } catch (const FileManagerError&) {
        directoryValidator->append({ folderUrl.toLocalFile(), RejectionReason::error });
        return QList<File> {};
    }
    const QString prefix = folderPath == QLatin1String("/") ? folderPath : folderPath + QLatin1Char('/');
    QList<QUrl> urls;
    urls.reserve(names.size());
    for (const QByteArray& name : names) {
        // A name that is not UTF-8 cannot be shown or renamed without damage.
        if (!QByteArrayView(name).isValidUtf8()) {
            directoryValidator->append({ prefix + QString::fromUtf8(name), RejectionReason::error });
            continue;
        }
        urls << QUrl::fromLocalFile(prefix + QString::fromUtf8(name));
    }
    return getFileItems(urls, walk.stop);
}

QList<File> FilesAndDirectories::getAllUniqueFiles(QList<File> files, Walk& walk) const
{
    if (walk.isCancelled() || files.isEmpty())
        return {};

    QList<File> result; // the plain items of this level, then what the folders give
    QList<File> folders;
    QList<File> duplicates;
    result.reserve(files.size());
    for (File& file : files) {
        const qsizetype seen = walk.uniqueIDs.size();
        walk.uniqueIDs.insert(file.source.fileInfo.url);
        if (walk.uniqueIDs.size() == seen) {
            duplicates << std::move(file);
            continue;
        }
        (file.isDirectory() ? folders : result) << std::move(file);
    }
    files.clear();
    for (const File& duplicate : std::as_const(duplicates)) {
        if (duplicate.source.aliasFileInfo.isEmpty())
            continue;
        for (File& item : result) {
            if (item.source.fileInfo.url == duplicate.source.fileInfo.url) {
                item.source.addAliasFileInfo(duplicate);
                break;
            }
        }
    }

    for (const File& folder : std::as_const(folders)) {
        if (walk.isCancelled())
            return {};
        if (walk.stopwatch.hasElapsed(1000))
            AppNotification::SetWindowTitle::post(QStringLiteral("Opening %1 files...").arg(walk.uniqueIDs.size()));
        // A hidden folder is one item; what it holds is neither listed nor reported.
        if (folder.source.isHidden()) {
            result << folder;
            continue;
        }
        std::optional<QList<File>> contents = contentsOf(folder, walk);
        if (!contents)
            continue; // the same folder, met again
        if (walk.isCancelled())
            return {};
        if (!contents->isEmpty())
            result.append(getAllUniqueFiles(std::move(*contents), walk));
        else if (renameEmptyFolders)
            result << folder;
    }
    return result;
}
