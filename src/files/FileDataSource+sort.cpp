#include "files/FileDataSource.h"

#include "core/AppNotification+Typed.h"
#include "core/UndoManager+perform.h"
#include "files/FileNameCollator.h"
#include "core/String+path.h"
#include "core/String+utilities.h"
#include "files/StableMergeSort.h"
#include "platform/Log.h"
#include "platform/MainThread.h"


namespace {
constexpr auto FILES = Log::Category::files;

// The first of the two with the greater character count.
QString longer(const QString& current, const QString& candidate)
{
    return String::longest({ current, candidate });
}

bool canonicallyEqual(const QString& a, const QString& b)
{
    return a == b || a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}
} // namespace

void FileDataSource::sortBy(FileSortOrder order)
{
    const FileSortOrder previousOrder = m_sortOrder;
    const QList<int> previousIndexes = m_orderedIndex;
    const std::weak_ptr<FileDataSource> weakSelf = weak_from_this();
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
        stableMergeSort(sorted, *comparator);
    } catch (const SortCancelled&) {
        return;
    }
    setSortOrder(order);
    updateOrderedIndex(sorted);
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
        stableMergeSort(sorted, *comparator);
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
    const auto collator = std::make_shared<FileNameCollator>();
    const auto checkCancelled = [stop] {
        if (stop.stop_requested())
            throw SortCancelled {};
    };
    using Key = const QString& (*)(const SortingContext&, int);
    const Key name = [](const SortingContext& c, int i) -> const QString& { return c.fileSources.at(i).fileInfo.name; };
    const Key path = [](const SortingContext& c, int i) -> const QString& { return c.fileSources.at(i).fileInfo.path; };
    const Key newName = [](const SortingContext& c, int i) -> const QString& { return c.fileTransforms.at(i).transformedName.value(); };
    const Key newPath = [](const SortingContext& c, int i) -> const QString& { return c.fileTransforms.at(i).transformedPath.value(); };

    const auto textOrder = [&](Key key, bool ascending) -> Comparator {
        return [context, collator, checkCancelled, key, ascending](int a, int b) {
            checkCancelled();
            const int result = collator->compare(key(*context, a), key(*context, b));
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
                const auto& attributes = context->fileAttributes.at(i);
                if (!attributes)
                    return context->fileSources.at(i).fileInfo.modificationDate;
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
    case FileSortOrder::defaultSort:
        return [context, collator, checkCancelled, path, name](int a, int b) {
            checkCancelled();
            for (Key key : { path, name }) {
                const QString& first = key(*context, a);
                const QString& second = key(*context, b);
                if (!canonicallyEqual(first, second))
                    return collator->compare(first, second) < 0;
            }
            return false;
        };
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
    QList<File> list;
    if (files)
        list = *files;
    else
        MainThread::runBlocking([&] { list = getAllFiles(); });
    QString originalPath, originalName, transformedPath, transformedName;
    for (const File& file : list) {
        if (stop.stop_requested()) {
            Log::debug(FILES, "Cancelled calculateLongest for %ld files.", list.size());
            break;
        }
        const ExtendedFileInfo& info = file.source.fileInfo;
        originalPath = longer(originalPath, info.path);
        originalName = longer(originalName, info.name + QLatin1Char('.') + info.ext);
        transformedPath = longer(transformedPath, file.transformed.transformedPath.value());
        transformedName = longer(transformedName,
            file.transformed.transformedName.value() + QLatin1Char('.') + file.transformed.transformedExt.value());
    }
    MainThread::runBlocking([&] {
        longestOriginalPath = originalPath;
        longestOriginalName = originalName;
        longestTransformedPath = transformedPath;
        longestTransformedName = transformedName;
    });
}
