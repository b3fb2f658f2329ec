// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FileAction.h"
#include "files/File.h"
#include "files/FileComponents.h"
#include "files/FileSortOrder.h"
#include "platform/Task.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

// The one store of the file list. It keeps the facets of every file in parallel
// arrays (storage order) plus a display order, and a generation number that
// rises on every replacement of the list and every write of the source facet,
// so that results computed for an older list never land in a newer one.
//
// Main thread only, except updateFiles, calculateLongest and the iterator's
// next(). Create it with std::make_shared: sort tasks and undo steps hold it.
class FileDataSource : public std::enable_shared_from_this<FileDataSource> {
public:
    // The most file records the undo history keeps for the list, in all: beyond
    // it the oldest steps go.
    static constexpr qint64 UNDO_HISTORY_FILES = 500000;

    // Answers whether the file at the first storage index goes before the one at
    // the second; throws SortCancelled when its sort was cancelled.
    using Comparator = std::function<bool(int, int)>;
    struct SortCancelled { };

    FileDataSource();
    ~FileDataSource();
    FileDataSource(const FileDataSource&) = delete;
    FileDataSource& operator=(const FileDataSource&) = delete;

    // Hooks of the layers above: run on every replacement of the list (they cancel
    // attribute preloading and validation), and to tick the sort menu.
    void addPendingTaskCanceller(std::function<void()> cancel);
    void setSortMenuSelector(std::function<void(SortMenuItem)> select);

    qint64 fileGenerationId() const { return m_fileGenerationId; }
    const QList<int>& orderedIndex() const { return m_orderedIndex; }
    FileSortOrder sortOrder() const { return m_sortOrder; }
    const TaskHandle& currentSortTask() const { return m_currentSortTask; }

    QList<QUrl> openedUrls;
    // The folder of the first opened location: itself when it is a folder, else
    // the folder holding it; empty when nothing was opened.
    QString openedFolder() const;
    QString longestOriginalPath;
    QString longestOriginalName;
    QString longestTransformedPath;
    QString longestTransformedName;

    // Reads: copies stamped with their storage index and the current generation.
    QList<File> getAllFiles() const;
    // The files of a snapshot in display order, as getAllFiles gives them; callable
    // from any thread, so that a worker, not the main thread, copies the list.
    static QList<File> filesOf(const FileComponents& components);
    // The same for a pass that makes every new name afresh: without the new
    // names and verdicts it would discard at once, but with what it keeps;
    // each transform is the initial one of its file.
    static QList<File> filesToTransformOf(const FileComponents& components);
    std::optional<File> getFile(int row) const;
    std::optional<File> getFileAtInternalIndex(qint64 index) const;
    std::optional<File> getLatestGeneration(const std::optional<File>& file) const;
    FileComponents getAllComponents() const;
    int count() const { return static_cast<int>(m_orderedIndex.size()); }
    const QList<FileSource>& unorderedFileSources() const { return m_fileSources; }
    const QList<FileTransform>& unorderedFileTransforms() const { return m_fileTransforms; }
    const QList<FileValidation>& unorderedFileValidations() const { return m_fileValidations; }
    const QList<std::optional<FileAttributes>>& unorderedFileAttributes() const { return m_fileAttributes; }
    bool isFileAttributeInitialized(const File& file) const;
    bool hasFilesToRename() const;

    // Write-backs.
    void setFileAttributes(const File& file, std::stop_token stop = {});
    // Writes the named facets of one file, unless its slot now holds another file.
    void mutate(const File& file, FileComponentMutations components);
    // Generation-checked write-back of many files, all or nothing; callable from
    // any thread. `caller` is the calling source file ("Brackenfold/Name.cpp").
    bool updateFiles(const QList<File>& files, FileComponentMutations components, const QString& caller,
        std::stop_token stop = {});

    // Changes of the list as a whole.
    void replaceFiles(const QList<File>& newFiles, FileAction action,
        const std::optional<QList<QUrl>>& urls = std::nullopt, std::stop_token stop = {});
    void replaceFilesNoUndo(const QList<File>& newFiles, FileAction action, bool forceReplace,
        std::stop_token stop = {});
    // The same as replaceFiles with the facets already apart (componentsOf, on
    // a worker): a replacement then costs the main thread nothing per file.
    void replaceFilesFromComponents(const FileComponents& newFiles, FileAction action,
        const std::optional<QList<QUrl>>& urls = std::nullopt, std::stop_token stop = {});
    // The facets of the files in their order; callable from any thread.
    static FileComponents componentsOf(QList<File> files);
    // Puts back a snapshot of getAllComponents as it was, storage and display
    // order alike, with no undo step.
    void restoreAllComponents(FileComponents snapshot);
    void clear();
    void removeFiles(const QSet<int>& storageIndexes);
    void move(const QList<int>& rows, int destination);
    void updateOrderedIndex(const QList<int>& newOrder);

    // Sorting.
    void updateCurrentSortTask(TaskHandle task);
    void cancelSort();
    void setSortOrder(FileSortOrder order);
    void sortBy(FileSortOrder order);
    void sortByWithoutUndo(FileSortOrder order);
    void sortImmediate(FileSortOrder order, std::stop_token stop = {});
    void calculateLongest(const std::optional<QList<File>>& files, std::stop_token stop = {});
    // The files in the order sortImmediate would give them once listed; callable
    // from any thread, so that a new list arrives sorted. None when cancelled.
    static std::optional<QList<File>> sorted(QList<File> files, FileSortOrder order, std::stop_token stop = {});

    // The rows one after the other; next() may be called from any thread.
    class AsyncFileIterator {
    public:
        explicit AsyncFileIterator(std::shared_ptr<FileDataSource> fileDataSource)
            : m_fileDataSource(std::move(fileDataSource))
        {
        }
        std::optional<File> next(std::stop_token stop = {});

    private:
        std::shared_ptr<FileDataSource> m_fileDataSource;
        int m_index = -1;
    };
    AsyncFileIterator makeAsyncIterator() { return AsyncFileIterator(shared_from_this()); }

private:
    struct SortingContext {
        QList<FileSource> fileSources;
        QList<FileTransform> fileTransforms;
        QList<std::optional<FileAttributes>> fileAttributes;
    };

    File assembleFile(int storageIndex) const;
    // Makes the record hold `folder` (an equal text) as its folder path, in its
    // information and its new path alike: the reader builds one copy a file,
    // the files of one folder need one.
    static void shareFolderPath(FileSource& source, FileTransform& transformed, const QString& folder);

    void replaceAllFiles(const QList<File>& newFiles, FileAction action, bool forceReplace, std::stop_token stop);
    void replaceAllComponents(const FileComponents& newFiles, FileAction action, bool forceReplace, std::stop_token stop);
    // Makes `next` the list as it stands, storage and display order alike.
    void installComponents(FileComponents next);
    void cancelPendingTasks();

    // The moves of the undo steps. Each step keeps only what it changed: the
    // list that is not in effect (a replacement), the files it appended, or
    // those it removed with their storage indexes and rows.
    struct HeldList;
    void swapHeld(const std::shared_ptr<HeldList>& held);
    // Lets a worker reduce the held list to what the list in effect lacks.
    void reduceLater(const std::shared_ptr<HeldList>& held);
    FileComponents takeFilesWithIds(const QList<QUuid>& ids);
    void appendHeld(FileComponents appended);
    FileComponents takeStored(const QList<int>& sortedStorageIndexes);
    void restoreStored(FileComponents removed, const QList<int>& sortedStorageIndexes);

    void doSortAndPublishResult(FileSortOrder order, const std::shared_ptr<TaskHandle>& run, std::stop_token stop);
    std::optional<Comparator> getComparator(FileSortOrder order, std::stop_token stop);
    static std::optional<Comparator> getComparator(FileSortOrder order, std::shared_ptr<const SortingContext> context,
        std::stop_token stop);
    QString beginSort();
    void publishSortResult(const QList<int>& sortedIndexes, FileSortOrder order, std::stop_token stop);
    void endSort(const QString& messageId, const TaskHandle& run);
    void setSortOrder(FileSortOrder order, const QList<int>& sortedIndexes);
    void selectSortMenu(FileSortOrder order);

    qint64 m_fileGenerationId = 0;
    QList<int> m_orderedIndex;
    FileSortOrder m_sortOrder = FileSortOrder::defaultSort;
    TaskHandle m_currentSortTask;
    QList<FileSource> m_fileSources;
    QList<FileTransform> m_fileTransforms;
    QList<FileValidation> m_fileValidations;
    QList<std::optional<FileAttributes>> m_fileAttributes;

    std::vector<std::function<void()>> m_pendingTaskCancellers;
    std::function<void(SortMenuItem)> m_sortMenuSelector;
    QObject m_observer; // owns the removeFiles observer
};
