#include "files/FileDataSource.h"

#include "core/AppNotification.h"
#include "core/UndoManager+perform.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Prefault.h"
#include "platform/MainWindowLocator.h"

#include <algorithm>
#include <utility>

namespace {
constexpr auto FILES = Log::Category::files;

QString getReplaceFilesActionName(qsizetype newCount, qsizetype currentCount, FileAction action)
{
    switch (action) {
    case FileAction::replace:
    case FileAction::append:
        return QStringLiteral("%1 %2 files").arg(rawValue(action)).arg(newCount);
    case FileAction::remove:
        return QStringLiteral("%1 %2 files").arg(rawValue(action)).arg(currentCount - newCount);
    case FileAction::move:
        return QStringLiteral("Move files");
    case FileAction::clear:
        return QStringLiteral("%1 %2 files").arg(rawValue(action)).arg(currentCount);
    }
    return {};
}
} // namespace

void FileDataSource::replaceFiles(const QList<File>& newFiles, FileAction action,
    const std::optional<QList<QUrl>>& urls, std::stop_token stop)
{
    replaceFilesFromComponents(componentsOf(newFiles), action, urls, stop);
}

void FileDataSource::replaceFilesFromComponents(const FileComponents& newFiles, FileAction action,
    const std::optional<QList<QUrl>>& urls, std::stop_token stop)
{
    // The lists as they are, shared: the files are made only if the step is
    // undone. Whenever the steps go, their lists are let go of on a worker.
    const auto previous = FileComponents::sharedReleasedInBackground(getAllComponents());
    const auto next = FileComponents::sharedReleasedInBackground(newFiles);
    const std::optional<QList<QUrl>> previousUrls = urls ? std::optional(openedUrls) : std::nullopt;
    const QString name = getReplaceFilesActionName(newFiles.orderedIndex.size(), previous->orderedIndex.size(), action);
    const std::weak_ptr<FileDataSource> weakSelf = weak_from_this();
    // Only the first run belongs to the caller's task; a redo comes from the menu.
    auto firstRun = std::make_shared<bool>(true);
    // A step of the list: it holds paths that a rename makes stale.
    const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), this);
    UndoManagerHelpers::perform(
        name,
        [weakSelf, next, action, urls, stop, firstRun] {
            const auto self = weakSelf.lock();
            if (!self)
                return;
            const std::stop_token token = *firstRun ? stop : std::stop_token {};
            *firstRun = false;
            if (urls) {
                if (action == FileAction::append)
                    self->openedUrls += *urls;
                else
                    self->openedUrls = *urls;
            }
            self->replaceAllComponents(*next, action, false, token);
        },
        [weakSelf, previous, previousUrls] {
            const auto self = weakSelf.lock();
            if (!self)
                return;
            if (previousUrls)
                self->openedUrls = *previousUrls;
            self->replaceAllComponents(*previous, FileAction::replace, false, {});
        });
}

FileComponents FileDataSource::componentsOf(QList<File> files)
{
    FileComponents components;
    const qsizetype n = files.size();
    components.orderedIndex.reserve(n);
    components.fileSources.reserve(n);
    components.fileTransforms.reserve(n);
    components.fileValidations.reserve(n);
    components.fileAttributes.reserve(n);
    Prefault::reservedCapacityOf(components.orderedIndex);
    Prefault::reservedCapacityOf(components.fileSources);
    Prefault::reservedCapacityOf(components.fileTransforms);
    Prefault::reservedCapacityOf(components.fileValidations);
    Prefault::reservedCapacityOf(components.fileAttributes);
    QSet<QString> folders;
    for (File& file : files) {
        const auto known = folders.constFind(file.source.fileInfo.path);
        if (known != folders.constEnd())
            shareFolderPath(file.source, file.transformed, *known);
        else
            folders.insert(file.source.fileInfo.path);
        components.orderedIndex.append(static_cast<int>(components.orderedIndex.size()));
        components.fileSources.append(std::move(file.source));
        components.fileTransforms.append(std::move(file.transformed));
        components.fileValidations.append(std::move(file.validation));
        components.fileAttributes.append(std::move(file.attributes));
    }
    files = QList<File>();
    return components;
}

void FileDataSource::replaceFilesNoUndo(const QList<File>& newFiles, FileAction action, bool forceReplace,
    std::stop_token stop)
{
    replaceAllFiles(newFiles, action, forceReplace, stop);
}

void FileDataSource::clear()
{
    replaceFiles({}, FileAction::clear);
}

void FileDataSource::removeFiles(const QSet<int>& storageIndexes)
{
    QList<File> remaining = getAllFiles();
    remaining.removeIf([&](const File& file) { return storageIndexes.contains(static_cast<int>(file.index.value_or(-1))); });
    replaceFiles(remaining, FileAction::remove);
}

void FileDataSource::replaceAllFiles(const QList<File>& newFiles, FileAction action, bool forceReplace,
    std::stop_token stop)
{
    replaceAllComponents(componentsOf(newFiles), action, forceReplace, stop);
}

void FileDataSource::replaceAllComponents(const FileComponents& newFiles, FileAction action, bool forceReplace,
    std::stop_token stop)
{
    if (stop.stop_requested())
        return;
    cancelPendingTasks();

    const qsizetype count = newFiles.orderedIndex.size();
    FileComponents next;
    const auto take = [&](int index) {
        next.orderedIndex.append(static_cast<int>(next.orderedIndex.size()));
        next.fileSources.append(newFiles.fileSources.at(index));
        next.fileTransforms.append(newFiles.fileTransforms.at(index));
        next.fileValidations.append(newFiles.fileValidations.at(index));
        next.fileAttributes.append(newFiles.fileAttributes.at(index));
    };
    qsizetype position = 0;
    const bool inStorageOrder = std::all_of(newFiles.orderedIndex.cbegin(), newFiles.orderedIndex.cend(),
        [&](int index) { return index == position++; });
    if (action == FileAction::append) {
        // Appended to the list, or, forced, to an empty one; duplicates either way are left out.
        if (!forceReplace)
            next = getAllComponents();
        QSet<QString> seen; // the paths the items' URLs are made of
        for (const FileSource& source : std::as_const(next.fileSources))
            seen.insert(source.fileInfo.urlPath());
        for (int index : newFiles.orderedIndex) {
            const ExtendedFileInfo& info = newFiles.fileSources.at(index).fileInfo;
            const QString key = info.urlPath();
            if (seen.contains(key)) {
                Log::debug(FILES, "doReplaceAllFiles: Append is discarding duplicate file: %s", info.url().toString(QUrl::FullyEncoded));
                continue;
            }
            seen.insert(key);
            take(index);
        }
    } else if (inStorageOrder) {
        next = newFiles; // shared, not copied
    } else {
        // Taken over in the order given, the storage order of the new list.
        for (int index : newFiles.orderedIndex)
            take(index);
    }
    // The store may hold the last reference to the old lists.
    FileComponents::releaseInBackground(FileComponents { std::exchange(m_fileSources, std::move(next.fileSources)),
        std::exchange(m_fileTransforms, std::move(next.fileTransforms)),
        std::exchange(m_fileValidations, std::move(next.fileValidations)),
        std::exchange(m_fileAttributes, std::move(next.fileAttributes)),
        std::exchange(m_orderedIndex, std::move(next.orderedIndex)), m_fileGenerationId });

    ++m_fileGenerationId;
    Log::debug(FILES, "FileDataSource replaceAllFiles files: %ld, fileGenerationId: %ld", count, m_fileGenerationId);
    ++m_fileGenerationId;

    const QString function = QStringLiteral("replaceAllFiles(with:action:forceReplace:)");
    AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, function);
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, function);
}

void FileDataSource::cancelPendingTasks()
{
    // At once, not queued: a queued cancel could arrive after an applyChanges
    // queued earlier had absorbed this list's own, and stop the only preview
    // of the new list.
    Log::debug(Log::Category::general, "✉️ %s: post: %{public}s", "cancelPendingTasks()",
        NotificationName::cancelPendingTransformationTasks);
    NotificationCenter::defaultCenter().post(
        Notification { NotificationName::cancelPendingTransformationTasks, {}, std::nullopt });
    cancelSort();
    for (const auto& cancel : m_pendingTaskCancellers) {
        if (cancel)
            cancel();
    }
}

void FileDataSource::move(const QList<int>& rows, int destination)
{
    const int n = count();
    for (int row : rows) {
        if (row < 0 || row >= n)
            return;
    }
    // The end of the list is a valid destination: rows dragged below the last row.
    if (destination < 0 || destination > n)
        return;
    QList<int> movedRows = rows;
    std::sort(movedRows.begin(), movedRows.end());
    movedRows.erase(std::unique(movedRows.begin(), movedRows.end()), movedRows.end());

    QList<int> moved;
    QList<int> kept;
    int insertAt = 0;
    for (int row = 0; row < n; ++row) {
        if (std::binary_search(movedRows.cbegin(), movedRows.cend(), row)) {
            moved.append(m_orderedIndex.at(row));
        } else {
            kept.append(m_orderedIndex.at(row));
            if (row < destination)
                ++insertAt;
        }
    }
    for (qsizetype i = 0; i < moved.size(); ++i)
        kept.insert(insertAt + i, moved.at(i));
    m_orderedIndex = std::move(kept);
}

void FileDataSource::updateOrderedIndex(const QList<int>& newOrder)
{
    if (newOrder.size() != m_fileSources.size()) {
        Log::error(FILES, "🚩 RACE CONDITION: Update orderedIndex to %ld elements while the data source contains %ld elements",
            newOrder.size(), m_fileSources.size());
        return;
    }
    Log::debug(FILES, "updateOrderedIndex %ld files", newOrder.size());
    m_orderedIndex = newOrder;
}
