// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileDataSource.h"

#include "core/AppNotification+Typed.h"
#include "core/UndoManager+perform.h"
#include "files/FileNameCollator.h"
#include "core/String+path.h"
#include "core/String+utilities.h"
#include "core/TextOffsets.h"
#include "files/StableMergeSort.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/MainWindowLocator.h"

#include <numeric>
#include <vector>


namespace {
constexpr auto FILES = Log::Category::files;
// Files whose sort keys one thread makes at a time.
constexpr qsizetype KEY_CHUNK_SIZE = 2048;

// The first text with the greatest character count. A text has no more
// characters than UTF-16 units, so most candidates are passed over uncounted.
struct Longest {
    QString text;
    qsizetype count = 0;

    void consider(const QString& candidate)
    {
        if (candidate.size() > count)
            take(candidate);
    }
    // "name.ext", built only when it may be longer.
    void consider(const QString& name, const QString& ext)
    {
        if (name.size() + 1 + ext.size() > count)
            take(name + QLatin1Char('.') + ext);
    }

private:
    void take(const QString& candidate)
    {
        if (const qsizetype characters = TextOffsets(candidate).characterCount(); characters > count) {
            text = candidate;
            count = characters;
        }
    }
};

// Texts that share their characters are equal without reading them.
bool sameText(const QString& a, const QString& b)
{
    return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

// The facets the comparisons read: the store's lists, or the files of a list
// being opened. `owner` keeps them alive as long as a comparator.
struct SortItems {
    std::shared_ptr<const void> owner;
    const QList<File>* files = nullptr;
    const QList<FileSource>* sources = nullptr;
    const QList<FileTransform>* transforms = nullptr;
    const QList<std::optional<FileAttributes>>* attributes = nullptr;

    qsizetype size() const { return files ? files->size() : sources->size(); }
    const FileSource& source(int i) const { return files ? files->at(i).source : sources->at(i); }
    const FileTransform& transform(int i) const { return files ? files->at(i).transformed : transforms->at(i); }
    const std::optional<FileAttributes>& attributesAt(int i) const
    {
        return files ? files->at(i).attributes : attributes->at(i);
    }
};

using Comparator = FileDataSource::Comparator;
using SortCancelled = FileDataSource::SortCancelled;

std::optional<Comparator> comparatorFor(FileSortOrder order, SortItems givenItems, std::stop_token stop)
{
    const auto context = std::make_shared<const SortItems>(std::move(givenItems));
    const auto checkCancelled = [stop] {
        if (stop.stop_requested())
            throw SortCancelled {};
    };
    using Key = const QString& (*)(const SortItems&, int);
    const Key name = [](const SortItems& c, int i) -> const QString& { return c.source(i).fileInfo.name; };
    const Key path = [](const SortItems& c, int i) -> const QString& { return c.source(i).fileInfo.path; };
    const Key newName = [](const SortItems& c, int i) -> const QString& { return c.transform(i).transformedName.value(); };
    const Key newPath = [](const SortItems& c, int i) -> const QString& { return c.transform(i).transformedPath.value(); };

    // Each text's collation key and canonical form, made once per file instead
    // of once per comparison. None when cancelled.
    struct TextKeys {
        QList<QString> canonical;
        QList<QByteArray> sortKeys;
    };
    const auto keysOf = [&](Key key) -> std::shared_ptr<const TextKeys> {
        auto keys = std::make_shared<TextKeys>();
        const qsizetype n = context->size();
        keys->canonical.resize(n);
        keys->sortKeys.resize(n);
        QString* const canonical = keys->canonical.data();
        QByteArray* const sortKeys = keys->sortKeys.data();
        // On all cores, a collator each: one is not to be shared between threads.
        const bool completed = forEachChunkConcurrently(n, KEY_CHUNK_SIZE, [&] {
            return [&, collator = FileNameCollator()](qsizetype begin, qsizetype end) {
                if (stop.stop_requested())
                    return false;
                const QString* previous = nullptr;
                for (qsizetype i = begin; i < end; ++i) {
                    const QString& text = key(*context, int(i));
                    // The files of one folder come together and share their path: its
                    // keys are made once, and shared they compare without being read.
                    if (previous && sameText(text, *previous)) {
                        canonical[i] = canonical[i - 1];
                        sortKeys[i] = sortKeys[i - 1];
                        continue;
                    }
                    canonical[i] = text.normalized(QString::NormalizationForm_C);
                    sortKeys[i] = collator.sortKey(text);
                    previous = &text;
                }
                return true;
            };
        });
        if (!completed)
            return nullptr;
        return keys;
    };
    const auto textOrder = [&](Key key, bool ascending) -> std::optional<Comparator> {
        const auto keys = keysOf(key);
        if (!keys)
            return std::nullopt;
        return [keys, checkCancelled, ascending](int a, int b) {
            checkCancelled();
            const int result = keys->sortKeys.at(a).compare(keys->sortKeys.at(b));
            return ascending ? result < 0 : result > 0;
        };
    };
    const auto numericOrder = [&](Key key, bool ascending) -> Comparator {
        return [context, checkCancelled, key, ascending](int a, int b) {
            checkCancelled();
            const quint64 first = String::numeric(key(*context, a));
            const quint64 second = String::numeric(key(*context, b));
            return ascending ? first < second : first > second;
        };
    };
    // Undated files are unordered against every other file, so this is no strict
    // weak order; the merge sort copes with that. A file whose attributes are not
    // loaded yet (attributes are read only while a rule uses them) is dated by
    // what the disk said when it entered the list.
    const auto dateOrder = [&](bool ascending) -> Comparator {
        return [context, checkCancelled, ascending](int a, int b) {
            checkCancelled();
            const auto dateOf = [&](int i) -> std::optional<QDateTime> {
                const auto& attributes = context->attributesAt(i);
                if (!attributes)
                    return context->source(i).fileInfo.modificationDate;
                const auto attribute = caseInsensitiveValue(attributes->attributes, QStringLiteral("date-modified"));
                return attribute ? attribute->attributeValue.dateValue() : std::nullopt;
            };
            const auto first = dateOf(a);
            const auto second = dateOf(b);
            if (!first || !second)
                return false;
            return ascending ? *first < *second : *first > *second;
        };
    };

    switch (order) {
    case FileSortOrder::none:
        return std::nullopt;
    case FileSortOrder::defaultSort: {
        const auto paths = keysOf(path);
        const auto names = paths ? keysOf(name) : nullptr;
        if (!names)
            return std::nullopt;
        return [paths, names, checkCancelled](int a, int b) {
            checkCancelled();
            // Texts of one canonical form have equal keys, so different keys
            // mean different texts; equal keys are told apart by the texts.
            for (const TextKeys* keys : { paths.get(), names.get() }) {
                const int order = keys->sortKeys.at(a).compare(keys->sortKeys.at(b));
                if (order != 0)
                    return order < 0;
                if (!sameText(keys->canonical.at(a), keys->canonical.at(b)))
                    return false;
            }
            return false;
        };
    }
    case FileSortOrder::byNameAscending: return textOrder(name, true);
    case FileSortOrder::byNameDescending: return textOrder(name, false);
    case FileSortOrder::byTransformedNameAscending: return textOrder(newName, true);
    case FileSortOrder::byTransformedNameDescending: return textOrder(newName, false);
    case FileSortOrder::byPathAscending: return textOrder(path, true);
    case FileSortOrder::byPathDescending: return textOrder(path, false);
    case FileSortOrder::byTransformedPathAscending: return textOrder(newPath, true);
    case FileSortOrder::byTransformedPathDescending: return textOrder(newPath, false);
    case FileSortOrder::byDateModifiedAscending: return dateOrder(true);
    case FileSortOrder::byDateModifiedDescending: return dateOrder(false);
    case FileSortOrder::byNumericNameAscending: return numericOrder(name, true);
    case FileSortOrder::byNumericNameDescending: return numericOrder(name, false);
    case FileSortOrder::byNumericTransformedNameAscending: return numericOrder(newName, true);
    case FileSortOrder::byNumericTransformedNameDescending: return numericOrder(newName, false);
    }
    return std::nullopt;
}

} // namespace

void FileDataSource::sortBy(FileSortOrder order)
{
    const FileSortOrder previousOrder = m_sortOrder;
    const QList<int> previousIndexes = m_orderedIndex;
    const std::weak_ptr<FileDataSource> weakSelf = weak_from_this();
    // A step of the list: its order fits the list as it is now.
    const UndoManager::TargetScope listStep(MainWindowLocator::undoManager(), this);
    UndoManagerHelpers::perform(
        menuDescription(order),
        [weakSelf, order] {
            if (const auto self = weakSelf.lock())
                self->sortByWithoutUndo(order);
        },
        [weakSelf, previousOrder, previousIndexes] {
            if (const auto self = weakSelf.lock())
                self->setSortOrder(previousOrder, previousIndexes);
        });
}

void FileDataSource::sortByWithoutUndo(FileSortOrder order)
{
    const auto self = shared_from_this();
    const auto run = std::make_shared<TaskHandle>();
    // The task reads its own handle only on the main thread, after this returns.
    TaskHandle task = TaskHandle::detached([self, order, run](std::stop_token stop) {
        self->doSortAndPublishResult(order, run, stop);
    });
    *run = task;
    updateCurrentSortTask(task);
}

void FileDataSource::sortImmediate(FileSortOrder order, std::stop_token stop)
{
    const std::optional<Comparator> comparator = getComparator(order, stop);
    if (!comparator)
        return;
    QList<int> sorted = m_orderedIndex;
    try {
        concurrentStableMergeSort(sorted, *comparator);
    } catch (const SortCancelled&) {
        return;
    }
    setSortOrder(order);
    updateOrderedIndex(sorted);
}

std::optional<QList<File>> FileDataSource::sorted(QList<File> files, FileSortOrder order, std::stop_token stop)
{
    // The comparisons read the files where they are; then each moves to its place.
    const qsizetype n = files.size();
    QList<int> indexes(n);
    std::iota(indexes.begin(), indexes.end(), 0);
    {
        SortItems items;
        items.files = &files;
        const std::optional<Comparator> comparator = comparatorFor(order, std::move(items), stop);
        if (!comparator && stop.stop_requested())
            return std::nullopt;
        if (!comparator)
            return files;
        try {
            concurrentStableMergeSort(indexes, *comparator);
        } catch (const SortCancelled&) {
            return std::nullopt;
        }
    }
    // Into place along the cycles of the order: no second list of files.
    File* const items = files.data();
    std::vector<bool> placed(n, false);
    for (qsizetype start = 0; start < n; ++start) {
        if (placed[start] || indexes.at(start) == start)
            continue;
        File held = std::move(items[start]);
        qsizetype to = start;
        for (qsizetype from = indexes.at(to); from != start; from = indexes.at(to)) {
            items[to] = std::move(items[from]);
            placed[to] = true;
            to = from;
        }
        items[to] = std::move(held);
        placed[to] = true;
    }
    return files;
}

void FileDataSource::doSortAndPublishResult(FileSortOrder order, const std::shared_ptr<TaskHandle>& run,
    std::stop_token stop)
{
    const std::optional<Comparator> comparator = getComparator(order, stop);
    if (!comparator)
        return;
    QString messageId;
    MainThread::runBlocking([&] { messageId = beginSort(); });
    QList<int> sorted;
    MainThread::runBlocking([&] { sorted = m_orderedIndex; });
    try {
        concurrentStableMergeSort(sorted, *comparator);
    } catch (const SortCancelled&) {
        Log::debug(FILES, "🔷 Sort %{public}s aborted", rawValue(order));
        MainThread::runBlocking([&] { endSort(messageId, *run); });
        return;
    }
    MainThread::runBlocking([&] {
        publishSortResult(sorted, order, stop);
        endSort(messageId, *run);
    });
}

std::optional<FileDataSource::Comparator> FileDataSource::getComparator(FileSortOrder order, std::stop_token stop)
{
    auto context = std::make_shared<SortingContext>();
    bool empty = true;
    MainThread::runBlocking([&] {
        empty = m_orderedIndex.isEmpty();
        context->fileSources = m_fileSources;
        context->fileTransforms = m_fileTransforms;
        context->fileAttributes = m_fileAttributes;
    });
    if (empty)
        return std::nullopt;
    return getComparator(order, std::move(context), stop);
}

std::optional<FileDataSource::Comparator> FileDataSource::getComparator(FileSortOrder order,
    std::shared_ptr<const SortingContext> context, std::stop_token stop)
{
    SortItems items;
    items.sources = &context->fileSources;
    items.transforms = &context->fileTransforms;
    items.attributes = &context->fileAttributes;
    items.owner = std::move(context);
    return comparatorFor(order, std::move(items), stop);
}

QString FileDataSource::beginSort()
{
    Log::debug(FILES, "🔹 Begin Sorting %s for %ld files.", menuDescription(m_sortOrder), m_orderedIndex.size());
    AppNotification::post(NotificationName::disableUserInput, {}, std::nullopt, QStringLiteral("beginSort()"));
    return AppNotification::ShowProgressIndicator::post(QStringLiteral("Sorting..."), QStringLiteral("beginSort()"));
}

void FileDataSource::publishSortResult(const QList<int>& sortedIndexes, FileSortOrder order, std::stop_token stop)
{
    const qsizetype n = m_orderedIndex.size();
    if (stop.stop_requested()) {
        Log::debug(FILES, "🔷 finishSort cancelled for %ld files.", n);
        return;
    }
    Log::debug(FILES, "🔷 finishSort completed for %ld files.", n);
    setSortOrder(order);
    updateOrderedIndex(sortedIndexes);
    const QString function = QStringLiteral("publishSortResult(_:_:)");
    AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, function);
    AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, function);
}

void FileDataSource::endSort(const QString& messageId, const TaskHandle& run)
{
    if (m_currentSortTask == run) {
        m_currentSortTask.cancel();
        m_currentSortTask = TaskHandle();
    }
    AppNotification::post(NotificationName::enableUserInput, {}, std::nullopt, QStringLiteral("endSort(messageId:)"));
    AppNotification::HideProgressIndicator::post(messageId, QStringLiteral("endSort(messageId:)"));
}

void FileDataSource::setSortOrder(FileSortOrder order, const QList<int>& sortedIndexes)
{
    setSortOrder(order);
    updateOrderedIndex(sortedIndexes);
    AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt,
        QStringLiteral("setSortOrder(sortOrder:sortedIndexes:)"));
}

void FileDataSource::calculateLongest(const std::optional<QList<File>>& files, std::stop_token stop)
{
    Longest originalPath, originalName, transformedPath, transformedName;
    bool cancelled = false;
    const auto consider = [&](const ExtendedFileInfo& info, const FileTransform& transformed) {
        if (stop.stop_requested()) {
            cancelled = true;
            return false;
        }
        originalPath.consider(info.path);
        originalName.consider(info.name, info.ext);
        transformedPath.consider(transformed.transformedPath.value());
        transformedName.consider(transformed.transformedName.value(), transformed.transformedExt.value());
        return true;
    };
    qsizetype count = 0;
    if (files) {
        count = files->size();
        for (const File& file : *files) {
            if (!consider(file.source.fileInfo, file.transformed))
                break;
        }
    } else {
        // The store's lists are shared, not copied: the main thread only hands them over.
        FileComponents snapshot;
        MainThread::runBlocking([&] { snapshot = getAllComponents(); });
        count = snapshot.orderedIndex.size();
        for (int index : std::as_const(snapshot.orderedIndex)) {
            if (!consider(snapshot.fileSources.at(index).fileInfo, snapshot.fileTransforms.at(index)))
                break;
        }
    }
    if (cancelled)
        Log::debug(FILES, "Cancelled calculateLongest for %ld files.", count);
    MainThread::runBlocking([&] {
        longestOriginalPath = originalPath.text;
        longestOriginalName = originalName.text;
        longestTransformedPath = transformedPath.text;
        longestTransformedName = transformedName.text;
    });
}
