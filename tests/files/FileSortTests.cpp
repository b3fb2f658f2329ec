// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFixtures.h"
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification.h"
#include "files/FileDataSource.h"
#include "files/FileNameCollator.h"
#include "files/StableMergeSort.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>

class FileSortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        store = std::make_shared<FileDataSource>();
        store->setSortMenuSelector([this](SortMenuItem item) { ticked << static_cast<int>(item); });
    }
    void TearDown() override
    {
        waitForSort();
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
    }
    void waitForSort()
    {
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return store->currentSortTask().isFinished(); }));
    }
    QStringList listed() const { return fullPaths(store->getAllFiles()); }

    // Folders, names with numbers, a folder in the list, equal names.
    void fillMixed()
    {
        QList<File> files = makeFiles({ "/b/file10.txt", "/a/x.txt", "/b/file2.txt", "/a/x.jpg", "/a/B1c3.txt" });
        files.insert(2, makeFile("/a", true));
        files[0].transformed.transformedName = "z";
        files[3].transformed.transformedName = "a9";
        store->replaceFilesNoUndo(files, FileAction::replace, false);
    }

    UndoManager undoManager;
    std::shared_ptr<FileDataSource> store;
    QList<int> ticked;
};

TEST_F(FileSortTest, EachOrderSortsTheMixedList)
{
    struct Case {
        FileSortOrder order;
        QStringList expected;
    };
    const QStringList added { "/b/file10.txt", "/a/x.txt", "/a", "/b/file2.txt", "/a/x.jpg", "/a/B1c3.txt" };
    const Case cases[] = {
        { FileSortOrder::none, added },
        { FileSortOrder::defaultSort, { "/a", "/a/B1c3.txt", "/a/x.txt", "/a/x.jpg", "/b/file2.txt", "/b/file10.txt" } },
        { FileSortOrder::byNameAscending, { "/a", "/a/B1c3.txt", "/b/file2.txt", "/b/file10.txt", "/a/x.txt", "/a/x.jpg" } },
        { FileSortOrder::byNameDescending, { "/a/x.txt", "/a/x.jpg", "/b/file10.txt", "/b/file2.txt", "/a/B1c3.txt", "/a" } },
        { FileSortOrder::byPathAscending, { "/a/x.txt", "/a", "/a/x.jpg", "/a/B1c3.txt", "/b/file10.txt", "/b/file2.txt" } },
        { FileSortOrder::byPathDescending, { "/b/file10.txt", "/b/file2.txt", "/a/x.txt", "/a", "/a/x.jpg", "/a/B1c3.txt" } },
        { FileSortOrder::byNumericNameAscending, { "/a/x.txt", "/a", "/a/x.jpg", "/b/file2.txt", "/b/file10.txt", "/a/B1c3.txt" } },
        { FileSortOrder::byNumericNameDescending, { "/a/B1c3.txt", "/b/file10.txt", "/b/file2.txt", "/a/x.txt", "/a", "/a/x.jpg" } },
        { FileSortOrder::byTransformedNameAscending, { "/a", "/b/file2.txt", "/a/B1c3.txt", "/a/x.txt", "/a/x.jpg", "/b/file10.txt" } },
        { FileSortOrder::byNumericTransformedNameDescending, { "/a/B1c3.txt", "/b/file2.txt", "/b/file10.txt", "/a/x.txt", "/a", "/a/x.jpg" } },
        { FileSortOrder::byTransformedPathAscending, { "/a/x.txt", "/a", "/a/x.jpg", "/a/B1c3.txt", "/b/file10.txt", "/b/file2.txt" } },
        { FileSortOrder::byDateModifiedAscending, added },
    };
    for (const Case& c : cases) {
        fillMixed();
        // A list being opened is sorted alike, each file moved whole.
        const std::optional<QList<File>> opened = FileDataSource::sorted(store->getAllFiles(), c.order);
        ASSERT_TRUE(opened);
        EXPECT_EQ(fullPaths(*opened), c.expected) << rawValue(c.order).toStdString();
        for (const File& file : *opened) {
            EXPECT_EQ(file.transformed.id(), file.source.id);
            EXPECT_EQ(file.validation.id, file.source.id);
        }
        store->sortImmediate(c.order);
        EXPECT_EQ(listed(), c.expected) << rawValue(c.order).toStdString();
    }
}

// One name in two canonically equal spellings (marks in another order, composed
// or not) is one name: the sort keeps such files in the order given.
TEST_F(FileSortTest, CanonicallyEqualNamesAreEqual)
{
    const QString composed = QString::fromUtf8("/c/\u1ead.txt");        // a with circumflex and dot below
    const QString marksBelowFirst = QString::fromUtf8("/c/a\u0323\u0302.txt");
    const QString marksAboveFirst = QString::fromUtf8("/c/a\u0302\u0323.txt"); // not in canonical order
    const FileNameCollator collator;
    EXPECT_EQ(collator.compare(marksAboveFirst.mid(3), composed.mid(3)), 0);
    EXPECT_EQ(collator.sortKey(marksAboveFirst.mid(3)), collator.sortKey(composed.mid(3)));
    for (const FileSortOrder order : { FileSortOrder::defaultSort, FileSortOrder::byNameAscending }) {
        for (const QStringList& given : { QStringList { marksAboveFirst, "/c/b.txt", composed, marksBelowFirst },
                 QStringList { composed, marksBelowFirst, "/c/b.txt", marksAboveFirst } }) {
            QStringList expected = given;
            expected.removeAll("/c/b.txt");
            expected << "/c/b.txt";
            const std::optional<QList<File>> sorted = FileDataSource::sorted(makeFiles(given), order);
            ASSERT_TRUE(sorted);
            EXPECT_EQ(fullPaths(*sorted), expected) << rawValue(order).toStdString();
        }
    }
}

TEST_F(FileSortTest, UndatedFilesStayPutAmongDatedOnes)
{
    QList<File> files = makeFiles({ "/a/3", "/a/none", "/a/1", "/a/2" });
    const auto dated = [](int day) {
        FileAttributes attributes;
        attributes.attributes.insert("Date-Modified",
            { "Date-Modified", "Date-Modified", AttributeValue::date(QDateTime(QDate(2024, 1, day), QTime(0, 0), Qt::UTC)) });
        return attributes;
    };
    files[0].attributes = dated(3);
    files[1].attributes = FileAttributes {};
    files[2].attributes = dated(1);
    files[3].attributes = dated(2);
    store->replaceFilesNoUndo(files, FileAction::replace, false);
    store->sortImmediate(FileSortOrder::byDateModifiedAscending);
    const QStringList ascending = listed();
    EXPECT_EQ(ascending.size(), 4);
    EXPECT_LT(ascending.indexOf("/a/1"), ascending.indexOf("/a/2"));
    store->sortImmediate(FileSortOrder::byDateModifiedDescending);
    const QStringList descending = listed();
    EXPECT_LT(descending.indexOf("/a/2"), descending.indexOf("/a/1"));
}

TEST_F(FileSortTest, FilesWithoutLoadedAttributesSortByTheirDateOnDisk)
{
    QList<File> files = makeFiles({ "/a/3", "/a/1", "/a/loaded", "/a/2" });
    const auto day = [](int d) { return QDateTime(QDate(2024, 1, d), QTime(0, 0), Qt::UTC); };
    files[0].source.fileInfo.modificationDate = day(3);
    files[1].source.fileInfo.modificationDate = day(1);
    files[3].source.fileInfo.modificationDate = day(2);
    // Loaded attributes win over the date read when the file entered the list.
    files[2].source.fileInfo.modificationDate = day(9);
    FileAttributes loaded;
    loaded.attributes.insert("date-modified", { "date-modified", "date-modified", AttributeValue::date(day(4)) });
    files[2].attributes = loaded;
    store->replaceFilesNoUndo(files, FileAction::replace, false);

    store->sortImmediate(FileSortOrder::byDateModifiedAscending);
    EXPECT_EQ(listed(), (QStringList { "/a/1", "/a/2", "/a/3", "/a/loaded" }));
    store->sortImmediate(FileSortOrder::byDateModifiedDescending);
    EXPECT_EQ(listed(), (QStringList { "/a/loaded", "/a/3", "/a/2", "/a/1" }));
}

TEST_F(FileSortTest, TheMergeSortIsStableAndEndsForAnyAnswer)
{
    QList<int> values { 5, 1, 4, 1, 3, 9, 2, 6 };
    stableMergeSort(values, [](int a, int b) { return a / 2 < b / 2; });
    EXPECT_EQ(values, (QList<int> { 1, 1, 3, 2, 5, 4, 6, 9 }));

    int calls = 0;
    QList<int> many(1000);
    std::iota(many.begin(), many.end(), 0);
    stableMergeSort(many, [&](int a, int b) { return (++calls % 3 == 0) && a != b; });
    EXPECT_EQ(many.size(), 1000);
    EXPECT_LE(calls, 1000 * 10);
}

TEST_F(FileSortTest, TheSortOnAllCoresIsTheStableSortAndPassesOnAFailure)
{
    // Long enough for several runs; few distinct keys, so stability shows.
    QList<int> values(50'003);
    for (qsizetype i = 0; i < values.size(); ++i)
        values[i] = int((i * 7919) % values.size());
    const auto byThousands = [](int a, int b) { return a / 1000 < b / 1000; };
    QList<int> expected = values;
    std::stable_sort(expected.begin(), expected.end(), byThousands);
    QList<int> sorted = values;
    concurrentStableMergeSort(sorted, byThousands);
    EXPECT_EQ(sorted, expected);

    // A cancellation thrown on whichever thread reaches the caller; the list stays.
    std::atomic<int> calls = 0;
    QList<int> cancelled = values;
    EXPECT_THROW(concurrentStableMergeSort(cancelled, [&](int a, int b) {
        if (++calls == 30'000)
            throw FileDataSource::SortCancelled {};
        return a < b;
    }), FileDataSource::SortCancelled);
    EXPECT_EQ(cancelled, values);
}

TEST_F(FileSortTest, AListOfManyFoldersSortsAsTheCollatorComparesIt)
{
    // Thousands of files, folders of unequal sizes, names shared between
    // folders: the keys are made in chunks, and a folder spans chunk ends.
    QStringList paths;
    for (int i = 0; i < 9000; ++i)
        paths << QStringLiteral("/f%1/Name%2.txt").arg((i / 45) % 131).arg((i * 13) % 997);
    QList<File> files = makeFiles(paths);
    const FileNameCollator collator;
    const auto sortedBy = [&](auto before) {
        QList<File> expected = files;
        std::stable_sort(expected.begin(), expected.end(), before);
        return fullPaths(expected);
    };
    const QStringList byName = sortedBy([&](const File& a, const File& b) {
        return collator.compare(a.source.fileInfo.name, b.source.fileInfo.name) < 0;
    });
    const QStringList byFolderThenName = sortedBy([&](const File& a, const File& b) {
        const int folders = collator.compare(a.source.fileInfo.path, b.source.fileInfo.path);
        return folders != 0 ? folders < 0 : collator.compare(a.source.fileInfo.name, b.source.fileInfo.name) < 0;
    });
    const std::optional<QList<File>> named = FileDataSource::sorted(files, FileSortOrder::byNameAscending);
    ASSERT_TRUE(named);
    EXPECT_EQ(fullPaths(*named), byName);
    const std::optional<QList<File>> defaults = FileDataSource::sorted(files, FileSortOrder::defaultSort);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(fullPaths(*defaults), byFolderThenName);
}

TEST_F(FileSortTest, ASortCancelledHalfWayLeavesTheListAsItWas)
{
    QList<int> values { 4, 3, 2, 1, 0 };
    int calls = 0;
    EXPECT_THROW(stableMergeSort(values, [&](int a, int b) {
        if (++calls == 4)
            throw FileDataSource::SortCancelled {};
        return a < b;
    }), FileDataSource::SortCancelled);
    EXPECT_EQ(values, (QList<int> { 4, 3, 2, 1, 0 }));

    // The store's own run: cancelled once it has begun, before it publishes.
    fillMixed();
    const QStringList before = listed();
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(&observer, NotificationName::showProgressIndicator,
        [&](const Notification&) { store->cancelSort(); });
    NotificationRecorder recorder({ NotificationName::enableUserInput, NotificationName::hideProgressIndicator });
    LogCapture log;
    store->sortByWithoutUndo(FileSortOrder::byNameDescending);
    waitForSort();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 2; }));
    EXPECT_TRUE(log.contains("🔷 Sort byNameDescending aborted"));
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(store->sortOrder(), FileSortOrder::defaultSort);
}

TEST_F(FileSortTest, SortIsUndoneToTheExactOrderAndRedoneBySortingAgain)
{
    fillMixed();
    store->updateOrderedIndex({ 5, 4, 3, 2, 1, 0 });
    const QStringList before = listed();
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::dataSourceUpdated, NotificationName::applyChanges });

    store->sortBy(FileSortOrder::byNumericNameAscending);
    waitForSort();
    EXPECT_EQ(undoManager.undoActionName(), "Sort by numeric name ascending");
    EXPECT_EQ(store->sortOrder(), FileSortOrder::byNumericNameAscending);
    EXPECT_EQ(ticked.last(), static_cast<int>(SortMenuItem::byNumericNameAscending));
    const QStringList sorted = listed();
    EXPECT_NE(sorted, before);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 2; }));

    undoManager.undo();
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(store->sortOrder(), FileSortOrder::defaultSort);
    EXPECT_EQ(ticked.last(), static_cast<int>(SortMenuItem::defaultSort));

    undoManager.redo();
    waitForSort();
    EXPECT_EQ(listed(), sorted);
    EXPECT_EQ(store->sortOrder(), FileSortOrder::byNumericNameAscending);

    // The step is the list's: it goes with the list's steps, however often redone.
    undoManager.removeAllActions(store.get());
    EXPECT_FALSE(undoManager.canUndo());
}

TEST_F(FileSortTest, NoSortAndAnEmptyListChangeNothing)
{
    LogCapture log;
    store->sortBy(FileSortOrder::byNameAscending);
    waitForSort();
    EXPECT_EQ(store->sortOrder(), FileSortOrder::defaultSort);
    EXPECT_TRUE(ticked.isEmpty());
    EXPECT_FALSE(log.contains("🔹 Begin Sorting Default Sort for 0 files."));

    fillMixed();
    const QStringList before = listed();
    store->sortBy(FileSortOrder::none);
    EXPECT_EQ(undoManager.undoActionName(), "No Sort");
    waitForSort();
    EXPECT_TRUE(store->currentSortTask().isValid()) << "a run without comparator keeps its handle";
    EXPECT_EQ(listed(), before);
    EXPECT_EQ(store->sortOrder(), FileSortOrder::defaultSort);
    store->cancelSort();
}

TEST_F(FileSortTest, LongestTextsKeepTheFirstOfEqualLength)
{
    store->calculateLongest(std::nullopt);
    EXPECT_EQ(store->longestOriginalName, "");
    store->replaceFilesNoUndo(makeFiles({ "/p/abc.txt", "/p/xyz.txt", "/longer/a" }), FileAction::replace, false);
    store->calculateLongest(std::nullopt);
    EXPECT_EQ(store->longestOriginalName, "abc.txt");
    EXPECT_EQ(store->longestOriginalPath, "/longer");
    EXPECT_EQ(store->longestTransformedName, "abc.txt");
    store->calculateLongest(makeFiles({ "/q/a" }));
    EXPECT_EQ(store->longestOriginalName, "a.");
}

TEST(FileSortOrderTest, RawValuesAndMenuItems)
{
    EXPECT_EQ(rawValue(FileSortOrder::defaultSort), "default");
    EXPECT_EQ(fileSortOrderFromRawValue("default"), FileSortOrder::defaultSort);
    EXPECT_FALSE(fileSortOrderFromRawValue("defaultSort").has_value());
    EXPECT_EQ(allFileSortOrders().size(), 16);
    for (FileSortOrder order : allFileSortOrders()) {
        EXPECT_EQ(fileSortOrderFromRawValue(rawValue(order)), order);
        if (order != FileSortOrder::defaultSort && order != FileSortOrder::none)
            EXPECT_TRUE(menuDescription(order).startsWith("Sort by "));
    }
    EXPECT_EQ(sortMenuItem(FileSortOrder::none), SortMenuItem::noSort);
    EXPECT_EQ(static_cast<int>(sortMenuItem(FileSortOrder::byTransformedPathDescending)), 215);
    EXPECT_EQ(static_cast<int>(sortMenuItem(FileSortOrder::byNumericNameAscending)), 204);
}
