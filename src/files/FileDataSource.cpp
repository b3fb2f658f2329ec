// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileDataSource.h"

#include "core/AppNotification+Typed.h"
#include "core/Logger.h"
#include "core/String+path.h"
#include "core/String+utilities.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "platform/Prefault.h"

#include <memory>
#include <QFileInfo>

#include <atomic>
#include <vector>

namespace {
constexpr auto FILES = Log::Category::files;

bool canonicallyEqual(const QString& a, const QString& b)
{
    return a == b || a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}
} // namespace

FileDataSource::FileDataSource()
{
    NotificationCenter::defaultCenter().addObserver(&m_observer, NotificationName::removeFiles,
        [this](const Notification& notification) { removeFiles(AppNotification::RemoveFiles::get(notification)); });
}

FileDataSource::~FileDataSource() = default;

void FileDataSource::addPendingTaskCanceller(std::function<void()> cancel)
{
    m_pendingTaskCancellers.push_back(std::move(cancel));
}

void FileDataSource::setSortMenuSelector(std::function<void(SortMenuItem)> select)
{
    m_sortMenuSelector = std::move(select);
}

void FileDataSource::shareFolderPath(FileSource& source, FileTransform& transformed, const QString& folder)
{
    if (transformed.transformedPath.value() == source.fileInfo.path)
        transformed.transformedPath = folder;
    source.fileInfo.path = folder;
}

File FileDataSource::assembleFile(int storageIndex) const
{
    return File(storageIndex, m_fileGenerationId, m_fileSources.at(storageIndex), m_fileTransforms.at(storageIndex),
        m_fileValidations.at(storageIndex), m_fileAttributes.at(storageIndex));
}

QList<File> FileDataSource::getAllFiles() const
{
    return filesOf(getAllComponents());
}

namespace {

enum class FileCopy { whole, toTransform };

QList<File> filesOf(const FileComponents& components, FileCopy copy)
{
    const qsizetype n = components.orderedIndex.size();
    if (components.fileSources.size() != n || components.fileTransforms.size() != n
        || components.fileValidations.size() != n || components.fileAttributes.size() != n) {
        Log::error(FILES, "MISMATCH IN COUNTS");
        return {};
    }
    // Made in place on all cores, not made empty first on one: each copy
    // reads records that lie apart in memory, and the time goes in waiting
    // for those reads and for the new pages, not in work.
    QArrayDataPointer<File> storage(QTypedArrayData<File>::allocate(n));
    if (n > 0 && !storage.data())
        return {};
    File* const first = storage.data();
    constexpr qsizetype CHUNK_SIZE = 4096;
    forEachChunkConcurrently(n, CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            Prefault::chunkForWriting(first + begin, std::size_t(end - begin) * sizeof(File));
            for (qsizetype row = begin; row < end; ++row) {
                const int storageIndex = components.orderedIndex.at(row);
                File& file = *std::construct_at(first + row);
                file.index = storageIndex;
                file.fileGenerationId = components.fileGenerationId;
                file.source = components.fileSources.at(storageIndex);
                const FileValidation& validation = components.fileValidations.at(storageIndex);
                if (copy == FileCopy::whole) {
                    file.transformed = components.fileTransforms.at(storageIndex);
                    file.validation = validation;
                } else {
                    // The transform every rule pass starts from, made here on all cores.
                    file.transformed = FileTransform::initial(file.source.id, file.source.fileInfo, std::nullopt);
                    file.validation.id = validation.id;
                    file.validation.listedItemError = validation.listedItemError;
                    // As a reset leaves them: a listed item gone or replaced stays an error.
                    file.validation.clearAll();
                }
                file.attributes = components.fileAttributes.at(storageIndex);
            }
            return true;
        };
    });
    // Every chunk ran to its end: all n are made, and the list owns them.
    storage.size = n;
    return QList<File>(std::move(storage));
}

} // namespace

QList<File> FileDataSource::filesOf(const FileComponents& components)
{
    return ::filesOf(components, FileCopy::whole);
}

QList<File> FileDataSource::filesToTransformOf(const FileComponents& components)
{
    return ::filesOf(components, FileCopy::toTransform);
}

std::optional<File> FileDataSource::getFile(int row) const
{
    if (row < 0 || row >= count())
        return std::nullopt;
    return assembleFile(m_orderedIndex.at(row));
}

std::optional<File> FileDataSource::getFileAtInternalIndex(qint64 index) const
{
    if (index < 0 || index >= m_fileSources.size())
        return std::nullopt;
    return assembleFile(static_cast<int>(index));
}

std::optional<File> FileDataSource::getLatestGeneration(const std::optional<File>& file) const
{
    if (!file || !file->index || *file->index < 0 || *file->index >= m_fileSources.size())
        return std::nullopt;
    const int index = static_cast<int>(*file->index);
    if (m_fileSources.at(index).id != file->source.id)
        return std::nullopt;
    return assembleFile(index);
}

QString FileDataSource::openedFolder() const
{
    if (openedUrls.isEmpty() || !openedUrls.first().isLocalFile())
        return {};
    const QFileInfo opened(FileUrl::path(openedUrls.first()));
    return opened.isDir() ? opened.absoluteFilePath() : opened.absolutePath();
}

FileComponents FileDataSource::getAllComponents() const
{
    return FileComponents { m_fileSources, m_fileTransforms, m_fileValidations, m_fileAttributes, m_orderedIndex,
        m_fileGenerationId };
}

bool FileDataSource::isFileAttributeInitialized(const File& file) const
{
    if (file.attributes)
        return true;
    if (!file.index || *file.index < 0 || *file.index >= m_fileAttributes.size())
        return false;
    return m_fileAttributes.at(static_cast<int>(*file.index)).has_value();
}

bool FileDataSource::hasFilesToRename() const
{
    for (const FileValidation& validation : m_fileValidations) {
        if (!validation.errors.isEmpty())
            return false;
    }
    for (int storageIndex : m_orderedIndex) {
        const FileTransform& transform = m_fileTransforms.at(storageIndex);
        if (!canonicallyEqual(transform.transformedFullPath(), m_fileSources.at(storageIndex).fileInfo.fullPath))
            return true;
    }
    return false;
}

void FileDataSource::setFileAttributes(const File& file, std::stop_token stop)
{
    if (stop.stop_requested() || !file.index || *file.index < 0 || *file.index >= m_fileAttributes.size()
        || !file.attributes || file.fileGenerationId.value_or(-1) < m_fileGenerationId)
        return;
    m_fileAttributes[static_cast<int>(*file.index)] = file.attributes;
}

void FileDataSource::mutate(const File& file, FileComponentMutations components)
{
    if (!file.index || *file.index < 0 || *file.index >= count())
        return;
    const int index = static_cast<int>(*file.index);
    // The slot may hold another file since the copy was read (the list was
    // replaced): then nothing of this file belongs there.
    if (m_fileSources.at(index).id != file.source.id)
        return;
    if (components.testFlag(FileComponentMutation::source))
        m_fileSources[index] = file.source;
    if (components.testFlag(FileComponentMutation::transformed))
        m_fileTransforms[index] = file.transformed;
    if (components.testFlag(FileComponentMutation::validation))
        m_fileValidations[index] = file.validation;
    if (components.testFlag(FileComponentMutation::attributes) && file.attributes)
        m_fileAttributes[index] = file.attributes;
}

namespace {

// Puts the updated facets back: the whole list when the store's list is still
// the one the snapshot was taken from, else (another write touched single
// elements meanwhile) only the elements of the written files.
template <typename T>
void writeBack(QList<T>& stored, const QList<T>& snapshot, const QList<T>& updated, const QList<File>& files)
{
    if (stored.isSharedWith(snapshot)) {
        stored = updated;
        return;
    }
    for (const File& file : files) {
        const int index = static_cast<int>(*file.index);
        stored[index] = updated.at(index);
    }
}

constexpr qsizetype MERGE_CHUNK_SIZE = 4096;

// The facet list after a write: the written files' facets, the others from the
// snapshot. Made afresh instead of detached from the snapshot, which would copy
// every element only to overwrite most of them.
// Copied in place on all cores, as filesOf makes the files.
template <typename T, typename Facet>
QList<T> merged(const QList<T>& snapshot, const QList<File>& files, Facet facet)
{
    const qsizetype n = snapshot.size();
    std::vector<const File*> writer(n);
    for (const File& file : files)
        writer[*file.index] = &file;
    return listMadeConcurrently<T>(n, MERGE_CHUNK_SIZE, [&](qsizetype i) -> T {
        return writer[i] ? facet(*writer[i]) : snapshot.at(i);
    });
}

// How often the merge is done again on the caller's thread, from newer lists,
// before the main thread writes element by element.
constexpr int MERGE_ATTEMPTS = 3;

} // namespace

bool FileDataSource::updateFiles(const QList<File>& files, FileComponentMutations components, const QString& caller,
    std::stop_token stop)
{
    const QString prefix = Logger::calledBy(caller, QString());
    for (int attempt = 1;; ++attempt) {
        FileComponents snapshot;
        MainThread::runBlocking([&] { snapshot = getAllComponents(); });
        if (snapshot.orderedIndex.isEmpty())
            return false;

        const qint64 generation = snapshot.fileGenerationId;
        const qsizetype n = snapshot.orderedIndex.size();
        const auto isInStep = [&](const File& file) {
            const qint64 index = file.index.value_or(-1);
            if (file.fileGenerationId.value_or(-1) < generation || index < 0 || index >= n)
                return false;
            if (components.testFlag(FileComponentMutation::source))
                return true;
            const FileSource& stored = snapshot.fileSources.at(index);
            return stored.id == file.source.id && stored.fileInfo.hasSameURL(file.source.fileInfo);
        };
        // Looked over on all cores; the first file out of step is told below.
        // New names written once already need not be merged again (the
        // validation writes them with its verdicts, mostly unchanged).
        const bool writesTransforms = components.testFlag(FileComponentMutation::transformed);
        std::atomic<bool> transformsDiffer = false;
        std::atomic<qsizetype> firstOutOfStep = files.size();
        const bool looked = forEachChunkConcurrently(files.size(), MERGE_CHUNK_SIZE, [&] {
            return [&](qsizetype begin, qsizetype end) {
                bool differ = false;
                for (qsizetype i = begin; i < end && i < firstOutOfStep; ++i) {
                    const File& file = files.at(i);
                    if (isInStep(file)) {
                        differ = differ || (writesTransforms && !(file.transformed == snapshot.fileTransforms.at(*file.index)));
                        continue;
                    }
                    qsizetype known = firstOutOfStep;
                    while (i < known && !firstOutOfStep.compare_exchange_weak(known, i)) { }
                    break;
                }
                if (differ)
                    transformsDiffer = true;
                return !stop.stop_requested();
            };
        });
        if (!looked || stop.stop_requested()) {
            Log::debug(FILES, "%{public}s: updateFiles: Aborted", prefix);
            return false;
        }
        if (firstOutOfStep < files.size()) {
            const File& file = files.at(firstOutOfStep);
            if (file.fileGenerationId.value_or(-1) < generation) {
                Log::debug(FILES, "%{public}s: updateFiles: Aborted, due to fileGenerationId mismatch", prefix);
                return false;
            }
            const qint64 index = file.index.value_or(-1);
            const bool inside = index >= 0 && index < n;
            bool consistent = inside;
            if (inside && !components.testFlag(FileComponentMutation::source)) {
                const FileSource& stored = snapshot.fileSources.at(index);
                consistent = stored.id == file.source.id && stored.fileInfo.hasSameURL(file.source.fileInfo);
            }
            if (!consistent) {
                QStringList lines;
                lines << QStringLiteral("⚠️ WARNING: updateFiles detected a data inconsistency:");
                lines << QStringLiteral("calledBy: %1\nfileGenerationId:\n%2\n%3")
                             .arg(prefix)
                             .arg(file.fileGenerationId.value_or(0))
                             .arg(generation);
                lines << QStringLiteral("index:\n%1\n%2").arg(index).arg(n);
                if (inside) {
                    const FileSource& stored = snapshot.fileSources.at(index);
                    lines << QStringLiteral("source.id:\n%1\n%2")
                                 .arg(file.source.id.toString(QUuid::WithoutBraces).toUpper(),
                                     stored.id.toString(QUuid::WithoutBraces).toUpper());
                    lines << QStringLiteral("sourceUrl:\n%1\n%2")
                                 .arg(file.source.fileInfo.url().toString(), stored.fileInfo.url().toString());
                }
                Log::error(FILES, "%{public}s: %{public}s", prefix, lines.join(QLatin1Char('\n')));
                return false;
            }
        }
        FileComponents updated = snapshot;
        if (components.testFlag(FileComponentMutation::source))
            updated.fileSources = merged(snapshot.fileSources, files, [](const File& file) -> const FileSource& { return file.source; });
        if (writesTransforms && transformsDiffer)
            updated.fileTransforms = merged(snapshot.fileTransforms, files, [](const File& file) -> const FileTransform& { return file.transformed; });
        if (components.testFlag(FileComponentMutation::validation))
            updated.fileValidations = merged(snapshot.fileValidations, files, [](const File& file) -> const FileValidation& { return file.validation; });
        if (components.testFlag(FileComponentMutation::attributes))
            updated.fileAttributes = merged(snapshot.fileAttributes, files, [](const File& file) -> const std::optional<FileAttributes>& { return file.attributes; });
        // A file renamed within its folder keeps the stored copy of the folder path.
        if (components.testFlag(FileComponentMutation::source) && components.testFlag(FileComponentMutation::transformed)) {
            for (const File& file : files) {
                const qsizetype i = *file.index;
                const QString& folder = snapshot.fileSources.at(i).fileInfo.path;
                if (updated.fileSources.at(i).fileInfo.path == folder)
                    shareFolderPath(updated.fileSources[i], updated.fileTransforms[i], folder);
            }
        }
        if (stop.stop_requested()) {
            Log::debug(FILES, "%{public}s: updateFiles (%ld) aborted.", prefix, files.size());
            return false;
        }

        bool written = false;
        bool mergeAgain = false;
        MainThread::runBlocking([&] {
            // Checked again at the moment of writing: a replacement of the list (or a
            // write of the source facet) since the snapshot makes every result stale.
            if (m_fileGenerationId != generation) {
                Log::debug(FILES, "%{public}s: updateFiles: Aborted, due to fileGenerationId mismatch", prefix);
                return;
            }
            if (stop.stop_requested()) {
                Log::debug(FILES, "%{public}s: updateFiles (%ld) aborted.", prefix, files.size());
                return;
            }
            // The main thread swaps whole lists only; a list written meanwhile
            // is merged again over there.
            const bool untouched = (!components.testFlag(FileComponentMutation::source)
                                       || m_fileSources.isSharedWith(snapshot.fileSources))
                && (!components.testFlag(FileComponentMutation::transformed)
                    || m_fileTransforms.isSharedWith(snapshot.fileTransforms))
                && (!components.testFlag(FileComponentMutation::validation)
                    || m_fileValidations.isSharedWith(snapshot.fileValidations))
                && (!components.testFlag(FileComponentMutation::attributes)
                    || m_fileAttributes.isSharedWith(snapshot.fileAttributes));
            if (!untouched && attempt < MERGE_ATTEMPTS) {
                mergeAgain = true;
                return;
            }
            if (components.testFlag(FileComponentMutation::source))
                writeBack(m_fileSources, snapshot.fileSources, updated.fileSources, files);
            if (components.testFlag(FileComponentMutation::transformed))
                writeBack(m_fileTransforms, snapshot.fileTransforms, updated.fileTransforms, files);
            if (components.testFlag(FileComponentMutation::validation))
                writeBack(m_fileValidations, snapshot.fileValidations, updated.fileValidations, files);
            if (components.testFlag(FileComponentMutation::attributes))
                writeBack(m_fileAttributes, snapshot.fileAttributes, updated.fileAttributes, files);
            if (components.testFlag(FileComponentMutation::source))
                ++m_fileGenerationId;
            written = true;
        });
        if (!mergeAgain)
            return written;
    }
}

void FileDataSource::updateCurrentSortTask(TaskHandle task)
{
    m_currentSortTask.cancel();
    m_currentSortTask = std::move(task);
}

void FileDataSource::cancelSort()
{
    if (!m_currentSortTask.isValid())
        return;
    Log::debug(FILES, "🔹 Cancelling Sorting. ");
    m_currentSortTask.cancel();
    m_currentSortTask = TaskHandle();
}

void FileDataSource::setSortOrder(FileSortOrder order)
{
    m_sortOrder = order;
    selectSortMenu(order);
}

void FileDataSource::selectSortMenu(FileSortOrder order)
{
    if (m_sortMenuSelector)
        m_sortMenuSelector(sortMenuItem(order));
}

std::optional<File> FileDataSource::AsyncFileIterator::next(std::stop_token stop)
{
    if (stop.stop_requested())
        return std::nullopt;
    ++m_index;
    std::optional<File> file;
    MainThread::runBlocking([&] { file = m_fileDataSource->getFile(m_index); });
    if (stop.stop_requested())
        return std::nullopt;
    return file;
}
