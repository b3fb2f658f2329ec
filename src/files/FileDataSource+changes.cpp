// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileDataSource.h"

#include "core/AppNotification.h"
#include "core/UndoManager+perform.h"
#include "platform/BackgroundPool.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "platform/Prefault.h"
#include "platform/MainWindowLocator.h"

#include <QHash>
#include <QUuid>

#include <algorithm>
#include <optional>
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
// What an undo step keeps besides the store; let go of on a worker.
struct HeldFiles {
    FileComponents components;
    HeldFiles() = default;
    HeldFiles(const HeldFiles&) = delete;
    HeldFiles& operator=(const HeldFiles&) = delete;
    ~HeldFiles() { FileComponents::releaseInBackground(std::move(components)); }
};

void appendRecord(FileComponents& to, const FileComponents& from, qsizetype index)
{
    to.fileSources.append(from.fileSources.at(index));
    to.fileTransforms.append(from.fileTransforms.at(index));
    to.fileValidations.append(from.fileValidations.at(index));
    to.fileAttributes.append(from.fileAttributes.at(index));
}

void reserveRecords(FileComponents& components, qsizetype n)
{
    components.fileSources.reserve(n);
    components.fileTransforms.reserve(n);
    components.fileValidations.reserve(n);
    components.fileAttributes.reserve(n);
    components.orderedIndex.reserve(n);
}
void addUndoCost(qint64 files)
{
    if (UndoManager* undoManager = MainWindowLocator::undoManager())
        undoManager->addActionCost(files);
}
} // namespace

// A list an undo step holds while another is in effect. Held whole at first,
// it is then reduced on a worker to what the list in effect lacks: a record
// equal to one there is kept as its identity only, and taken from there when
// the list comes back. A re-open of the same folder so keeps a few bytes a file.
struct FileDataSource::HeldList {
    struct Reduced {
        QList<QUuid> ids;       // every record's own, in storage order
        QList<int> sameAs;      // storage index of the equal record in effect; -1: in `own`
        QList<QUuid> sameAsIds; // that record's id, to find it should it have moved
        FileComponents own;     // the records without an equal, in storage order
        QList<int> orderedIndex;
    };

    FileComponents whole;
    std::optional<Reduced> reduced;
    quint64 version = 0; // raised whenever another list is held

    HeldList() = default;
    HeldList(const HeldList&) = delete;
    HeldList& operator=(const HeldList&) = delete;
    ~HeldList() { release(); }

    void hold(FileComponents components)
    {
        release();
        whole = std::move(components);
        ++version;
    }
    void takeReduced(Reduced list)
    {
        FileComponents::releaseInBackground(std::exchange(whole, {}));
        reduced = std::move(list);
    }
    void release()
    {
        FileComponents::releaseInBackground(std::exchange(whole, {}));
        if (reduced)
            FileComponents::releaseInBackground(std::exchange(reduced->own, {}));
        reduced.reset();
    }

    // Equal but for when they were last read: reading a file on opening moves that.
    static bool isSameItem(const FileSource& a, const FileSource& b)
    {
        if (a.aliasFileInfo != b.aliasFileInfo)
            return false;
        ExtendedFileInfo info = b.fileInfo;
        info.contentAccessDate = a.fileInfo.contentAccessDate;
        return info == a.fileInfo;
    }

    static Reduced reduce(const FileComponents& held, const FileComponents& inEffect)
    {
        QHash<QString, int> indexOf;
        indexOf.reserve(inEffect.fileSources.size());
        for (qsizetype index = 0; index < inEffect.fileSources.size(); ++index)
            indexOf.insert(inEffect.fileSources.at(index).fileInfo.urlPath(), static_cast<int>(index));
        Reduced list;
        const qsizetype n = held.fileSources.size();
        list.ids.reserve(n);
        list.sameAs.reserve(n);
        list.sameAsIds.reserve(n);
        for (qsizetype index = 0; index < n; ++index) {
            const FileSource& source = held.fileSources.at(index);
            const QString path = source.fileInfo.urlPath();
            const int same = indexOf.value(path, -1);
            const bool equal = same >= 0 && isSameItem(inEffect.fileSources.at(same), source);
            list.ids.append(source.id);
            list.sameAs.append(equal ? same : -1);
            list.sameAsIds.append(equal ? inEffect.fileSources.at(same).id : QUuid());
            if (!equal)
                appendRecord(list.own, held, index);
        }
        list.orderedIndex = held.orderedIndex;
        return list;
    }

    // The held list in whole; `current` is the list in effect.
    FileComponents restoreAgainst(const FileComponents& current)
    {
        if (!reduced)
            return std::exchange(whole, {});
        const Reduced& list = *reduced;
        FileComponents restored;
        const qsizetype n = list.ids.size();
        reserveRecords(restored, n);
        std::optional<QHash<QUuid, int>> indexOfId;
        QSet<int> missing;
        qsizetype nextOwn = 0;
        for (qsizetype index = 0; index < n; ++index) {
            int same = list.sameAs.at(index);
            if (same < 0) {
                appendRecord(restored, list.own, nextOwn++);
                continue;
            }
            const QUuid& id = list.ids.at(index);
            if (same >= current.fileSources.size() || current.fileSources.at(same).id != list.sameAsIds.at(index)) {
                if (!indexOfId) {
                    indexOfId.emplace();
                    for (qsizetype i = 0; i < current.fileSources.size(); ++i)
                        indexOfId->insert(current.fileSources.at(i).id, static_cast<int>(i));
                }
                same = indexOfId->value(list.sameAsIds.at(index), -1);
            }
            if (same < 0) {
                // Every change between a step and its undo keeps the ids.
                Log::error(FILES, "🚩 Undo finds no file with the id %s", id.toString());
                missing.insert(static_cast<int>(index));
                continue;
            }
            FileSource source = current.fileSources.at(same);
            source.id = id;
            restored.fileSources.append(std::move(source));
            restored.fileTransforms.append(current.fileTransforms.at(same).withId(id));
            FileValidation validation = current.fileValidations.at(same);
            validation.id = id;
            restored.fileValidations.append(std::move(validation));
            restored.fileAttributes.append(current.fileAttributes.at(same));
        }
        restored.orderedIndex = list.orderedIndex;
        if (!missing.isEmpty()) {
            QList<int> newIndexOf(n, -1);
            int next = 0;
            for (qsizetype index = 0; index < n; ++index)
                newIndexOf[index] = missing.contains(static_cast<int>(index)) ? -1 : next++;
            QList<int> order;
            for (int index : std::as_const(restored.orderedIndex)) {
                if (newIndexOf.at(index) >= 0)
                    order.append(newIndexOf.at(index));
            }
            restored.orderedIndex = std::move(order);
        }
        return restored;
    }
};

void FileDataSource::replaceFiles(const QList<File>& newFiles, FileAction action,
    const std::optional<QList<QUrl>>& urls, std::stop_token stop)
{
    replaceFilesFromComponents(componentsOf(newFiles), action, urls, stop);
}

void FileDataSource::replaceFilesFromComponents(const FileComponents& newFiles, FileAction action,
    const std::optional<QList<QUrl>>& urls, std::stop_token stop)
{
    const QString name = getReplaceFilesActionName(newFiles.orderedIndex.size(), count(), action);
    const std::weak_ptr<FileDataSource> weakSelf = weak_from_this();
    const std::optional<QList<QUrl>> previousUrls = urls ? std::optional(openedUrls) : std::nullopt;
    const auto setUrls = [weakSelf, action, urls] {
        const auto self = weakSelf.lock();
        if (self && urls)
            self->openedUrls = action == FileAction::append ? self->openedUrls + *urls : *urls;
    };
    const auto restoreUrls = [weakSelf, previousUrls] {
        const auto self = weakSelf.lock();
        if (self && previousUrls)
            self->openedUrls = *previousUrls;
    };
    // The new files belong to the first run only: the step keeps what the
    // change left behind, never a second copy of what is in effect.
    auto input = std::make_shared<FileComponents>(newFiles);
    const auto held = std::make_shared<HeldFiles>();
    const auto heldList = std::make_shared<HeldList>();
    // A step of the list: it holds paths that a rename makes stale.
    const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), this);
    const auto firstRun = [weakSelf, input, heldList, action, stop, setUrls] {
        const auto self = weakSelf.lock();
        FileComponents files = std::exchange(*input, FileComponents {});
        if (!self)
            return;
        if (action != FileAction::append)
            heldList->hold(self->getAllComponents());
        setUrls();
        self->replaceAllComponents(files, action, false, stop);
        if (action != FileAction::append)
            self->reduceLater(heldList);
    };
    if (action == FileAction::append) {
        // The appended files by identity: a later undo may have laid the list
        // out anew, so their positions then name other files.
        const auto appendedIds = std::make_shared<QList<QUuid>>();
        const auto appendRun = [weakSelf, firstRun, appendedIds] {
            const auto self = weakSelf.lock();
            const qsizetype firstAppended = self ? self->m_fileSources.size() : 0;
            firstRun();
            if (!self)
                return;
            appendedIds->clear();
            for (qsizetype index = firstAppended; index < self->m_fileSources.size(); ++index)
                appendedIds->append(self->m_fileSources.at(index).id);
        };
        UndoManagerHelpers::perform(
            name, appendRun,
            [weakSelf, held, appendedIds, restoreUrls] {
                if (const auto self = weakSelf.lock()) {
                    held->components = self->takeFilesWithIds(*appendedIds);
                    restoreUrls();
                }
            },
            [weakSelf, held, setUrls] {
                if (const auto self = weakSelf.lock()) {
                    setUrls();
                    self->appendHeld(std::exchange(held->components, FileComponents {}));
                }
            });
        addUndoCost(appendedIds->size());
        return;
    }
    const qint64 previousCount = count();
    UndoManagerHelpers::perform(
        name, firstRun,
        [weakSelf, heldList, restoreUrls] {
            if (const auto self = weakSelf.lock()) {
                self->swapHeld(heldList);
                restoreUrls();
            }
        },
        [weakSelf, heldList, setUrls] {
            if (const auto self = weakSelf.lock()) {
                self->swapHeld(heldList);
                setUrls();
            }
        });
    // The step holds one list or the other, in whole or in part.
    addUndoCost(std::max<qint64>(previousCount, count()));
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
    QList<int> removed;
    for (int index : storageIndexes) {
        if (index >= 0 && index < m_fileSources.size())
            removed.append(index);
    }
    std::sort(removed.begin(), removed.end());
    const QString name = getReplaceFilesActionName(count() - removed.size(), count(), FileAction::remove);
    const std::weak_ptr<FileDataSource> weakSelf = weak_from_this();
    const auto held = std::make_shared<HeldFiles>();
    const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), this);
    const auto remove = [weakSelf, held, removed] {
        if (const auto self = weakSelf.lock())
            held->components = self->takeStored(removed);
    };
    UndoManagerHelpers::perform(name, remove, [weakSelf, held, removed] {
        if (const auto self = weakSelf.lock())
            self->restoreStored(std::exchange(held->components, FileComponents {}), removed);
    });
    addUndoCost(removed.size());
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

    FileComponents next;
    const auto take = [&](int index) {
        next.orderedIndex.append(static_cast<int>(next.orderedIndex.size()));
        appendRecord(next, newFiles, index);
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
    installComponents(std::move(next));
}

void FileDataSource::installComponents(FileComponents next)
{
    // The store may hold the last reference to the old lists.
    FileComponents::releaseInBackground(FileComponents { std::exchange(m_fileSources, std::move(next.fileSources)),
        std::exchange(m_fileTransforms, std::move(next.fileTransforms)),
        std::exchange(m_fileValidations, std::move(next.fileValidations)),
        std::exchange(m_fileAttributes, std::move(next.fileAttributes)),
        std::exchange(m_orderedIndex, std::move(next.orderedIndex)), m_fileGenerationId });

    ++m_fileGenerationId;
    Log::debug(FILES, "FileDataSource replaceAllFiles files: %ld, fileGenerationId: %ld", m_orderedIndex.size(), m_fileGenerationId);
    ++m_fileGenerationId;

    const QString function = QStringLiteral("replaceAllFiles(with:action:forceReplace:)");
    AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, function);
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, function);
}

void FileDataSource::swapHeld(const std::shared_ptr<HeldList>& held)
{
    cancelPendingTasks();
    FileComponents current = getAllComponents();
    FileComponents restored = held->restoreAgainst(current);
    held->hold(std::move(current));
    installComponents(std::move(restored));
    reduceLater(held);
}

void FileDataSource::reduceLater(const std::shared_ptr<HeldList>& held)
{
    const quint64 version = held->version;
    const std::weak_ptr<HeldList> weakHeld = held;
    // Copies that share their lists: nothing is copied here.
    BackgroundPool::start([weakHeld, version, whole = held->whole, inEffect = getAllComponents()]() mutable {
        auto reduced = std::make_shared<HeldList::Reduced>(HeldList::reduce(whole, inEffect));
        FileComponents::releaseInBackground(std::exchange(whole, {}));
        FileComponents::releaseInBackground(std::exchange(inEffect, {}));
        MainThread::post([weakHeld, version, reduced] {
            const auto held = weakHeld.lock();
            // A later undo or redo holds another list now.
            if (held && held->version == version && !held->reduced)
                held->takeReduced(std::move(*reduced));
        });
    });
}

FileComponents FileDataSource::takeFilesWithIds(const QList<QUuid>& ids)
{
    cancelPendingTasks();
    const QSet<QUuid> wanted(ids.cbegin(), ids.cend());
    const FileComponents current = getAllComponents();
    const qsizetype n = current.fileSources.size();
    // The new storage index of every kept record; -1 for a taken one.
    QList<int> newIndexOf(n, -1);
    FileComponents kept;
    FileComponents taken;
    reserveRecords(kept, n);
    reserveRecords(taken, ids.size());
    for (qsizetype index = 0; index < n; ++index) {
        if (wanted.contains(current.fileSources.at(index).id)) {
            appendRecord(taken, current, index);
        } else {
            newIndexOf[index] = static_cast<int>(kept.fileSources.size());
            appendRecord(kept, current, index);
        }
    }
    for (int index : current.orderedIndex) {
        if (newIndexOf.at(index) >= 0)
            kept.orderedIndex.append(newIndexOf.at(index));
    }
    installComponents(std::move(kept));
    return taken;
}

void FileDataSource::restoreAllComponents(FileComponents snapshot)
{
    cancelPendingTasks();
    installComponents(std::move(snapshot));
}

void FileDataSource::appendHeld(FileComponents appended)
{
    cancelPendingTasks();
    FileComponents next = getAllComponents();
    const qsizetype first = next.fileSources.size();
    for (qsizetype index = 0; index < appended.fileSources.size(); ++index) {
        appendRecord(next, appended, index);
        next.orderedIndex.append(static_cast<int>(first + index));
    }
    FileComponents::releaseInBackground(std::move(appended));
    installComponents(std::move(next));
}

FileComponents FileDataSource::takeStored(const QList<int>& sortedStorageIndexes)
{
    cancelPendingTasks();
    const FileComponents current = getAllComponents();
    const qsizetype n = current.fileSources.size();
    // The new storage index of every kept record; -1 for a removed one.
    QList<int> newIndexOf(n, -1);
    FileComponents kept;
    FileComponents removed;
    reserveRecords(kept, n - sortedStorageIndexes.size());
    reserveRecords(removed, sortedStorageIndexes.size());
    qsizetype next = 0;
    for (qsizetype index = 0; index < n; ++index) {
        if (next < sortedStorageIndexes.size() && sortedStorageIndexes.at(next) == index) {
            appendRecord(removed, current, index);
            ++next;
        } else {
            newIndexOf[index] = static_cast<int>(kept.fileSources.size());
            appendRecord(kept, current, index);
        }
    }
    // The removed records' rows, in their storage order, to put them back there.
    QList<int> rowOf(n, -1);
    for (qsizetype row = 0; row < current.orderedIndex.size(); ++row) {
        const int index = current.orderedIndex.at(row);
        rowOf[index] = static_cast<int>(row);
        if (newIndexOf.at(index) >= 0)
            kept.orderedIndex.append(newIndexOf.at(index));
    }
    for (int index : sortedStorageIndexes)
        removed.orderedIndex.append(rowOf.at(index));
    installComponents(std::move(kept));
    return removed;
}

void FileDataSource::restoreStored(FileComponents removed, const QList<int>& sortedStorageIndexes)
{
    cancelPendingTasks();
    const FileComponents current = getAllComponents();
    const qsizetype k = removed.fileSources.size();
    const qsizetype n = current.fileSources.size() + k;
    FileComponents next;
    reserveRecords(next, n);
    QList<int> oldIndexOf;
    oldIndexOf.reserve(current.fileSources.size());
    qsizetype taken = 0;
    for (qsizetype index = 0; index < n; ++index) {
        if (taken < k && sortedStorageIndexes.at(taken) == index) {
            appendRecord(next, removed, taken++);
        } else {
            oldIndexOf.append(static_cast<int>(index));
            appendRecord(next, current, oldIndexOf.size() - 1);
        }
    }
    // The removed records go back to their rows, the others keep their order.
    QList<std::pair<int, int>> rows; // row, storage index
    rows.reserve(k);
    for (qsizetype i = 0; i < k; ++i)
        rows.append({ removed.orderedIndex.at(i), sortedStorageIndexes.at(i) });
    std::sort(rows.begin(), rows.end());
    qsizetype nextRow = 0;
    for (int index : current.orderedIndex) {
        while (nextRow < k && rows.at(nextRow).first <= next.orderedIndex.size())
            next.orderedIndex.append(rows.at(nextRow++).second);
        next.orderedIndex.append(oldIndexOf.at(index));
    }
    while (nextRow < k)
        next.orderedIndex.append(rows.at(nextRow++).second);
    FileComponents::releaseInBackground(std::move(removed));
    installComponents(std::move(next));
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
