// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FilesAndDirectories.h"

#include "core/AppNotification+Typed.h"
#include "core/Preference.h"
#include "core/String+path.h"
#include "core/Stopwatch.h"
#include "files/Directory.h"
#include "files/FileManagerError.h"
#include "files/FolderReader.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"
#include "platform/Prefault.h"

#include <QByteArrayView>
#include <QFile>
#include <QSet>

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

struct FilesAndDirectories::Walk {
    std::stop_token stop;
    Stopwatch stopwatch;
    QSet<QString> uniqueIDs; // the paths the items' URLs are made of
    // (device, inode) of every folder listed, so that no walk loops.
    QSet<std::pair<quint64, quint64>> walkedFolders;
    // What the walk found, in order, in the lists it was found in: joined once
    // at the end, so that no file is moved again for every level above it.
    QList<QList<File>> found;

    bool isCancelled() const { return stop.stop_requested(); }
    void add(QList<File> files)
    {
        if (!files.isEmpty())
            found << std::move(files);
    }
    void add(File file)
    {
        QList<File> one;
        one.emplaceBack(std::move(file));
        found << std::move(one);
    }
    QList<File> takeFound()
    {
        if (found.size() == 1)
            return std::move(found.first());
        qsizetype total = 0;
        for (const QList<File>& files : std::as_const(found))
            total += files.size();
        QList<File> joined;
        joined.reserve(total);
        Prefault::reservedCapacityOf(joined);
        for (QList<File>& files : found) {
            for (File& file : files)
                joined.emplaceBack(std::move(file));
            files = {};
        }
        return joined;
    }
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
    Walk walk { stop, Stopwatch(clock), {}, {}, {} };
    getAllUniqueFiles(fileItems, walk);
    QList<File> files;
    if (!walk.isCancelled())
        files = walk.takeFound();
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
        // A link the user names is the folder meant, listed under the link's
        // path; links met inside a walked folder follow the preference.
        if (std::optional<ExtendedFileInfo> folder = ExtendedFileInfo::readLinkedFolder(url))
            kept.emplaceBack(std::move(*folder));
        else
            kept.emplaceBack(url, renameAliases);
        const ExtendedFileInfo& info = kept.constLast().source.fileInfo;
        if (!isListable(info)) {
            kept.removeLast();
        } else if (!isThere(info)) {
            // Gone meanwhile, or a name no text spells (raw bytes that are not UTF-8).
            directoryValidator->append({ info.fullPath, RejectionReason::error });
            kept.removeLast();
        }
    }
    return kept;
}

bool FilesAndDirectories::isThere(const ExtendedFileInfo& info)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(info.fullPath).constData(), &status) == 0;
}

bool FilesAndDirectories::isListable(const ExtendedFileInfo& info) const
{
    // Ignored names are dropped before the rules run: nothing is reported
    // about an item that would not be listed anyway.
    if (Directory::isIgnored(String::lastPathComponent(info.fullPath)))
        return false;
    if (!directoryValidator->isSupportedDirectory(info.path))
        return false;
    // The item's own, never its folder's: a normal user's home folder lies in
    // root's /home, a stick's root in root's /media/$USER.
    return directoryValidator->isWritableDirectory(info.url());
}

struct FilesAndDirectories::FolderEntries {
    bool walkable = false; // a folder, or a link to one that is followed
    QUrl url;
    QString path;
    bool opened = false;
    std::unique_ptr<FolderReader> reader; // held open only while the entries are read
    QByteArrayList names;
    QString prefix;
    std::vector<EntryKind> kinds;
    QArrayDataPointer<File> files; // one an entry, made in place
};

std::vector<FilesAndDirectories::FolderEntries> FilesAndDirectories::readFolders(
    const QList<File>& folders, qsizetype first, const Walk& walk) const
{
    // The entries of the folders of one level are read on all cores, as their
    // system calls are most of the time a walk takes; what asks the validator,
    // which serves one thread, follows folder by folder, in order. A batch at a
    // time, so that the descriptors open at once stay few.
    constexpr qsizetype FOLDERS_PER_BATCH = 128;
    std::vector<FolderEntries> read(std::min(FOLDERS_PER_BATCH, folders.size() - first));
    const qsizetype count = qsizetype(read.size());
    for (qsizetype i = 0; i < count; ++i) {
        const File& folder = folders.at(first + i);
        const ExtendedFileInfo& info = folder.source.fileInfo;
        // A hidden folder is one item; what it holds is not read.
        if (!info.isDirectory || (info.isAliasDirectory && !renameAliases) || folder.source.isHidden())
            continue;
        read[i].walkable = true;
        read[i].url = info.isAliasDirectory ? info.resolvedURL() : info.url();
        read[i].path = FileUrl::path(read[i].url);
    }
    constexpr qsizetype FOLDERS_PER_CHUNK = 4;
    forEachChunkConcurrently(count, FOLDERS_PER_CHUNK, [&] {
        return [&](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end && !walk.isCancelled(); ++i) {
                if (!read[i].walkable)
                    continue;
                try {
                    read[i].reader = std::make_unique<FolderReader>(read[i].path);
                } catch (const FileManagerError&) {
                }
            }
            return true;
        };
    });

    // Chunks of entries of one folder each, so that a large folder is shared too.
    struct Chunk {
        qsizetype folder;
        qsizetype begin;
        qsizetype end;
    };
    std::vector<Chunk> chunks;
    for (qsizetype i = 0; i < count; ++i) {
        if (!read[i].reader)
            continue;
        const qsizetype entryCount = read[i].reader->names().size();
        read[i].kinds.assign(entryCount, EntryKind::dropped);
        read[i].files = Prefault::unmadeStorage<File>(entryCount);
        for (qsizetype begin = 0; begin < entryCount; begin += ENTRIES_PER_CHUNK)
            chunks.push_back({ i, begin, std::min(entryCount, begin + ENTRIES_PER_CHUNK) });
    }
    forEachChunkConcurrently(qsizetype(chunks.size()), 1, [&] {
        // The volume of each device is looked up once per folder and thread.
        return [&, volumes = EntryVolumes(), folder = qsizetype(-1)](qsizetype chunk, qsizetype) mutable {
            const Chunk& entries = chunks[chunk];
            if (entries.folder != folder) {
                volumes = EntryVolumes();
                folder = entries.folder;
            }
            FolderEntries& into = read[entries.folder];
            Prefault::chunkForWriting(into.files.data() + entries.begin, std::size_t(entries.end - entries.begin) * sizeof(File));
            for (qsizetype i = entries.begin; i < entries.end; ++i)
                readEntry(*into.reader, volumes, i, into.files.data() + i, into.kinds[i], walk);
            return true;
        };
    });
    for (FolderEntries& entries : read) {
        if (!entries.reader)
            continue;
        entries.files.size = qsizetype(entries.kinds.size());
        entries.opened = true;
        entries.names = entries.reader->names();
        entries.prefix = entries.reader->prefix();
        entries.reader.reset();
    }
    return read;
}

std::optional<QList<File>> FilesAndDirectories::contentsOf(FolderEntries& entries, Walk& walk) const
{
    if (!entries.walkable)
        return QList<File> {};

    // A folder met again, through a link or a mount, is not walked again.
    struct stat status {};
    if (::stat(QFile::encodeName(entries.path).constData(), &status) == 0) {
        const std::pair<quint64, quint64> identity { status.st_dev, status.st_ino };
        if (walk.walkedFolders.contains(identity))
            return std::nullopt;
        walk.walkedFolders.insert(identity);
    }
    if (!entries.opened) {
        directoryValidator->append({ entries.url.toLocalFile(), RejectionReason::error });
        return QList<File> {};
    }
    const QByteArrayList& names = entries.names;
    const qsizetype count = names.size();
    QList<File> kept(std::move(entries.files));
    File* const items = kept.data();
    if (walk.isCancelled())
        return QList<File> {};

    // A plain entry (neither a folder nor a link) is in this folder with the
    // path every other plain entry has: the folder rule answers once for all of
    // them, and each is asked only whether it is writable.
    std::optional<bool> plainEntriesSupported;
    qsizetype keptCount = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (walk.isCancelled())
            return QList<File> {};
        File& item = items[i];
        const EntryKind kind = entries.kinds[i];
        switch (kind) {
        case EntryKind::dropped:
            continue;
        case EntryKind::notUtf8:
            directoryValidator->append({ entries.prefix + QString::fromUtf8(names.at(i)), RejectionReason::error });
            continue;
        case EntryKind::link:
            // Followed or not, as an opened link is.
            item = File(QUrl::fromLocalFile(entries.prefix + QString::fromUtf8(names.at(i))), renameAliases);
            [[fallthrough]];
        case EntryKind::folder:
            if (!isListable(item.source.fileInfo))
                continue;
            break;
        case EntryKind::plain:
        case EntryKind::writablePlain:
            if (!plainEntriesSupported)
                plainEntriesSupported = directoryValidator->isSupportedDirectory(item.source.fileInfo.path);
            if (!*plainEntriesSupported
                || !directoryValidator->isWritableEntry(
                    entries.path, item.source.fileInfo.fullPath, kind == EntryKind::writablePlain))
                continue;
            break;
        }
        if (keptCount != i)
            items[keptCount] = std::move(item);
        ++keptCount;
    }
    kept.erase(kept.begin() + keptCount, kept.end());
    return kept;
}

void FilesAndDirectories::readEntry(
    const FolderReader& reader, EntryVolumes& volumes, qsizetype index, File* slot, EntryKind& kind, const Walk& walk) const
{
    const QByteArray& name = reader.names().at(index);
    const auto dropped = [&](EntryKind why) {
        std::construct_at(slot);
        kind = why;
    };
    if (walk.isCancelled())
        return dropped(EntryKind::dropped);
    // A name that is not UTF-8 cannot be shown or renamed without damage.
    if (!QByteArrayView(name).isValidUtf8())
        return dropped(EntryKind::notUtf8);
    const QString entryName = QString::fromUtf8(name);
    // Whatever it is, an ignored name is left out without a word.
    if (Directory::isIgnored(entryName))
        return dropped(EntryKind::dropped);
    std::optional<ExtendedFileInfo> info = ExtendedFileInfo::read(reader, volumes, entryName, name);
    if (!info)
        return dropped(EntryKind::link);
    if (info->isDirectory)
        kind = EntryKind::folder;
    else if (directoryValidator->entryMayBeWritten(reader.fd(), name, info->fullPath))
        kind = EntryKind::writablePlain;
    else
        kind = EntryKind::plain;
    std::construct_at(slot, std::move(*info));
}

void FilesAndDirectories::getAllUniqueFiles(QList<File> files, Walk& walk) const
{
    if (walk.isCancelled() || files.isEmpty())
        return;

    // The plain items stay in `files`, in order; duplicates and folders are taken out.
    QList<File> folders;
    QList<File> duplicates;
    File* const items = files.data();
    qsizetype plain = 0;
    // Room for a large folder at once, and growth by doubling for many small ones.
    if (const qsizetype needed = walk.uniqueIDs.size() + files.size(); needed > walk.uniqueIDs.capacity())
        walk.uniqueIDs.reserve(std::max(needed, 2 * walk.uniqueIDs.capacity()));
    for (qsizetype i = 0; i < files.size(); ++i) {
        File& file = items[i];
        const qsizetype seen = walk.uniqueIDs.size();
        walk.uniqueIDs.insert(file.source.fileInfo.urlPath());
        if (walk.uniqueIDs.size() == seen)
            duplicates << std::move(file);
        else if (file.isDirectory())
            folders << std::move(file);
        else if (plain++ != i)
            items[plain - 1] = std::move(file);
    }
    files.erase(files.begin() + plain, files.end());
    for (const File& duplicate : std::as_const(duplicates)) {
        if (duplicate.source.aliasFileInfo.isEmpty())
            continue;
        for (File& item : files) {
            if (item.source.fileInfo.hasSameURL(duplicate.source.fileInfo)) {
                item.source.addAliasFileInfo(duplicate);
                break;
            }
        }
    }

    walk.add(std::move(files));
    std::vector<FolderEntries> entries;
    qsizetype batch = 0; // the index of the first folder of `entries`
    for (qsizetype i = 0; i < folders.size(); ++i) {
        File& folder = folders[i];
        if (walk.isCancelled())
            return;
        if (walk.stopwatch.hasElapsed(1000))
            AppNotification::SetWindowTitle::post(QStringLiteral("Opening %1 files...").arg(walk.uniqueIDs.size()));
        // A hidden folder is one item; what it holds is neither listed nor reported.
        if (folder.source.isHidden()) {
            walk.add(std::move(folder));
            continue;
        }
        if (i >= batch + qsizetype(entries.size())) {
            entries = readFolders(folders, i, walk);
            batch = i;
        }
        FolderEntries& folderEntries = entries[i - batch];
        std::optional<QList<File>> contents = contentsOf(folderEntries, walk);
        folderEntries = {};
        if (!contents)
            continue; // the same folder, met again
        if (walk.isCancelled())
            return;
        if (!contents->isEmpty())
            getAllUniqueFiles(std::move(*contents), walk);
        else if (renameEmptyFolders)
            walk.add(std::move(folder));
    }
}
