// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFixtures.h"
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "core/AppNotification+Typed.h"
#include "files/FileDataSource.h"
#include "platform/BackgroundPool.h"
#include "platform/MainWindowLocator.h"
#include "platform/Task.h"
#include "platform/UndoManager.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

class FileDataSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        store = std::make_shared<FileDataSource>();
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
    }
    void fill(const QStringList& paths) { store->replaceFilesNoUndo(makeFiles(paths), FileAction::replace, false); }
    QStringList listed() const { return fullPaths(store->getAllFiles()); }

    UndoManager undoManager;
    std::shared_ptr<FileDataSource> store;
};

TEST_F(FileDataSourceTest, ANewStoreIsEmpty)
{
    EXPECT_EQ(store->count(), 0);
    EXPECT_EQ(store->fileGenerationId(), 0);
    EXPECT_EQ(store->sortOrder(), FileSortOrder::defaultSort);
    EXPECT_TRUE(store->getAllFiles().isEmpty());
    EXPECT_FALSE(store->hasFilesToRename());
    LogCapture log;
    EXPECT_FALSE(store->updateFiles({ makeFile("/a") }, allFileComponents(), "Brackenfold/Test.cpp"));
    EXPECT_TRUE(log.lines().filter("updateFiles").isEmpty()) << log.lines().join('\n').toStdString();
}

TEST_F(FileDataSourceTest, GenerationRisesByTwoPerReplacementAndOnePerSourceWriteBack)
{
    fill({ "/a/1.txt", "/a/2.txt" });
    EXPECT_EQ(store->fileGenerationId(), 2);
    store->replaceFilesNoUndo(makeFiles({ "/a/3.txt" }), FileAction::append, false);
    EXPECT_EQ(store->fileGenerationId(), 4);

    QList<File> files = store->getAllFiles();
    for (const File& file : files)
        EXPECT_EQ(file.fileGenerationId, 4);
    files[0].transformed.transformedName = "one";
    EXPECT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp"));
    EXPECT_EQ(store->fileGenerationId(), 4);
    EXPECT_EQ(store->getFile(0)->transformed.transformedName.value(), "one");

    EXPECT_TRUE(store->updateFiles(files, allFileComponents(), "Brackenfold/Test.cpp"));
    EXPECT_EQ(store->fileGenerationId(), 5);

    // Neither single writes nor the display order touch the generation.
    store->mutate(store->getFile(1).value(), allFileComponents());
    store->updateOrderedIndex({ 2, 1, 0 });
    store->move({ 0 }, 3);
    EXPECT_EQ(store->fileGenerationId(), 5);

    // A copy read before the source write-back is stale now.
    EXPECT_FALSE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp"));
}

TEST_F(FileDataSourceTest, AStaleWriteIsRefusedAsAWhole)
{
    fill({ "/a/1.txt", "/a/2.txt", "/a/3.txt" });
    QList<File> files = store->getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = "new";
    files[2].fileGenerationId = std::nullopt;
    LogCapture log;
    EXPECT_FALSE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/TransformationService.cpp"));
    EXPECT_TRUE(log.contains("TransformationService: updateFiles: Aborted, due to fileGenerationId mismatch"));
    for (const File& file : store->getAllFiles())
        EXPECT_NE(file.transformed.transformedName.value(), "new");

    // A newer generation than the store's is accepted.
    files[2].fileGenerationId = store->fileGenerationId() + 5;
    EXPECT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp"));
}

TEST_F(FileDataSourceTest, AnInconsistentFileIsRefusedAndLogged)
{
    fill({ "/a/1.txt", "/a/2.txt" });
    QList<File> files = store->getAllFiles();
    File lost = files[1];
    lost.index = std::nullopt;
    LogCapture log;
    EXPECT_FALSE(store->updateFiles({ files[0], lost }, FileComponentMutation::validation, "Brackenfold/Test.cpp"));
    const QString line = log.lines().join("\n");
    EXPECT_TRUE(line.contains("⚠️ WARNING: updateFiles detected a data inconsistency:"));
    EXPECT_TRUE(line.contains("index:\n-1\n2"));
    EXPECT_FALSE(line.contains("source.id:"));

    // Another file at the index: refused unless the source itself is written.
    File other = makeFile("/b/other.txt");
    other.index = 0;
    other.fileGenerationId = store->fileGenerationId();
    EXPECT_FALSE(store->updateFiles({ other }, FileComponentMutation::attributes, "Brackenfold/Test.cpp"));
    EXPECT_TRUE(store->updateFiles({ other }, FileComponentMutation::source, "Brackenfold/Test.cpp"));
    EXPECT_EQ(store->getFile(0)->source.fileInfo.fullPath, "/b/other.txt");
}

TEST_F(FileDataSourceTest, AttributesAreClearedByUpdateButKeptByMutate)
{
    fill({ "/a/1.txt" });
    File file = store->getFile(0).value();
    file.attributes = FileAttributes {};
    store->setFileAttributes(file);
    EXPECT_TRUE(store->isFileAttributeInitialized(store->getFile(0).value()));
    file.attributes = std::nullopt;
    store->mutate(file, FileComponentMutation::attributes);
    EXPECT_TRUE(store->getFile(0)->attributesInitialized());
    EXPECT_TRUE(store->updateFiles({ file }, FileComponentMutation::attributes, "Brackenfold/Test.cpp"));
    EXPECT_FALSE(store->getFile(0)->attributesInitialized());
}

TEST_F(FileDataSourceTest, MutateOfAReplacedSlotIsRefused)
{
    fill({ "/a/1.txt" });
    File old = store->getFile(0).value();
    fill({ "/b/2.txt" });
    old.transformed.transformedName = "stale";
    old.attributes = FileAttributes {};
    store->mutate(old, allFileComponents());
    const File now = store->getFile(0).value();
    EXPECT_EQ(now.source.fileInfo.fullPath, "/b/2.txt");
    EXPECT_EQ(now.transformed.transformedName.value(), "2");
    EXPECT_FALSE(now.attributesInitialized());
    EXPECT_FALSE(store->getLatestGeneration(old).has_value());

    File current = now;
    current.transformed.transformedName = "fresh";
    store->mutate(current, FileComponentMutation::transformed);
    EXPECT_EQ(store->getFile(0)->transformed.transformedName.value(), "fresh");
}

// Swaps the list while a worker's write-back waits for the main thread: the
// write finds a newer generation at the moment it would land, and drops it.
class ReplaceBeforeSecondHop : public QObject {
public:
    std::function<void()> action;
    int hops = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == qApp && event->type() == QEvent::MetaCall && ++hops == 2 && action)
            action();
        return false;
    }
};

TEST_F(FileDataSourceTest, AWriteBackIsCheckedAgainWhenItLands)
{
    fill({ "/a/1.txt", "/a/2.txt" });
    QList<File> files = store->getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = "stale";

    ReplaceBeforeSecondHop interposer;
    interposer.action = [&] { fill({ "/b/3.txt", "/b/4.txt" }); };
    qApp->installEventFilter(&interposer);
    // The worker owns what it uses, and the filter goes before any ASSERT can
    // return: a wait that gives up leaves nothing dangling.
    const auto result = std::make_shared<std::atomic<int>>(-1);
    TaskHandle worker = TaskHandle::detached([store = store, files, result](std::stop_token) {
        *result = store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp") ? 1 : 0;
    });
    const bool landed = TestEnvironment::processEventsUntil([&] { return result->load() >= 0; });
    qApp->removeEventFilter(&interposer);
    ASSERT_TRUE(landed);

    EXPECT_EQ(result->load(), 0);
    EXPECT_EQ(interposer.hops, 2);
    EXPECT_EQ(listed(), (QStringList { "/b/3.txt", "/b/4.txt" }));
    for (const File& file : store->getAllFiles())
        EXPECT_NE(file.transformed.transformedName.value(), "stale");
}

TEST_F(FileDataSourceTest, AWriteOfSomeFilesLeavesTheOthersAsTheyWere)
{
    fill({ "/a/1.txt", "/a/2.txt", "/a/3.txt" });
    QList<File> files = store->getAllFiles();
    for (File& file : files) {
        file.transformed.transformedName = "first " + file.source.fileInfo.name;
        file.validation.insertWarning("first");
    }
    const FileComponentMutations components = FileComponentMutations(FileComponentMutation::transformed) | FileComponentMutation::validation;
    ASSERT_TRUE(store->updateFiles(files, components, "Brackenfold/Test.cpp"));

    File second = store->getFile(1).value();
    second.transformed.transformedName = "second";
    second.validation.clearValidationResults();
    ASSERT_TRUE(store->updateFiles({ second }, components, "Brackenfold/Test.cpp"));

    const QList<File> stored = store->getAllFiles();
    EXPECT_EQ(stored[0].transformed.transformedName.value(), "first 1");
    EXPECT_EQ(stored[1].transformed.transformedName.value(), "second");
    EXPECT_EQ(stored[2].transformed.transformedName.value(), "first 3");
    EXPECT_EQ(stored[0].validation.warnings, QSet<QString> { "first" });
    EXPECT_TRUE(stored[1].validation.warnings.isEmpty());
    EXPECT_EQ(stored[2].transformed.id(), stored[2].source.id);
}

// The validation writes the new names again with its verdicts: names that are
// as stored keep the stored list, a counter alone is written.
TEST_F(FileDataSourceTest, VerdictsWithTheStoredNamesKeepTheNamesAndACounterAloneIsWritten)
{
    fill({ "/a/1.txt", "/a/2.txt" });
    QList<File> files = store->getAllFiles();
    for (File& file : files)
        file.transformed.transformedName = "new " + file.source.fileInfo.name;
    ASSERT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp"));
    const FileComponentMutations components = FileComponentMutations(FileComponentMutation::transformed) | FileComponentMutation::validation;

    files = store->getAllFiles();
    files[0].validation.insertWarning("checked");
    const QList<FileTransform> namesBefore = store->unorderedFileTransforms();
    ASSERT_TRUE(store->updateFiles(files, components, "Brackenfold/Test.cpp"));
    EXPECT_TRUE(store->unorderedFileTransforms().isSharedWith(namesBefore));
    EXPECT_EQ(store->getFile(0)->validation.warnings, QSet<QString> { "checked" });

    files = store->getAllFiles();
    files[1].transformed.uniqueSuffix = " 2";
    ASSERT_TRUE(store->updateFiles(files, components, "Brackenfold/Test.cpp"));
    EXPECT_EQ(store->getFile(1)->transformed.transformedFullPath(), "/a/new 2 2.txt");
    EXPECT_EQ(store->getFile(0)->transformed.transformedFullPath(), "/a/new 1.txt");
}

// A preview's copy starts where a reset would: the initial new names, no
// verdicts but those no pass may clear (a listed item gone or replaced).
TEST_F(FileDataSourceTest, FilesToTransformStartFromTheInitialTransformAndKeepTheListedItemError)
{
    fill({ "/a/1.txt", "/a/.hidden" });
    QList<File> files = store->getAllFiles();
    for (File& file : files) {
        file.transformed.transformedName = "new";
        file.validation.insertWarning("old warning");
        file.validation.insertRuleError("old rule error");
    }
    files[1].validation.listedItemError = "The item is gone.";
    const FileComponentMutations components = FileComponentMutations(FileComponentMutation::transformed) | FileComponentMutation::validation;
    ASSERT_TRUE(store->updateFiles(files, components, "Brackenfold/Test.cpp"));

    const QList<File> fresh = FileDataSource::filesToTransformOf(store->getAllComponents());
    ASSERT_EQ(fresh.size(), 2);
    for (const File& file : fresh) {
        const FileTransform initial = FileTransform::initial(file.source.id, file.source.fileInfo, std::nullopt);
        EXPECT_EQ(file.transformed.transformedFullPath(), initial.transformedFullPath());
        EXPECT_TRUE(file.transformed.isDirty);
        EXPECT_TRUE(file.validation.warnings.isEmpty());
        EXPECT_TRUE(file.validation.ruleErrors.isEmpty());
    }
    EXPECT_TRUE(fresh[0].validation.errors.isEmpty());
    EXPECT_EQ(fresh[1].validation.errors, QSet<QString> { "The item is gone." });
}

TEST_F(FileDataSourceTest, AWriteBackKeepsSingleWritesMadeMeanwhile)
{
    fill({ "/a/1.txt", "/a/2.txt" });
    QList<File> files = store->getAllFiles();
    files[0].transformed.transformedName = "from preview";

    ReplaceBeforeSecondHop interposer;
    interposer.action = [&] {
        File second = store->getFile(1).value();
        second.transformed.transformedName = "from queue";
        store->mutate(second, FileComponentMutation::transformed);
    };
    qApp->installEventFilter(&interposer);
    const auto result = std::make_shared<std::atomic<int>>(-1);
    TaskHandle worker = TaskHandle::detached([store = store, file = files[0], result](std::stop_token) {
        *result = store->updateFiles({ file }, FileComponentMutation::transformed, "Brackenfold/Test.cpp") ? 1 : 0;
    });
    const bool landed = TestEnvironment::processEventsUntil([&] { return result->load() >= 0; });
    qApp->removeEventFilter(&interposer);
    ASSERT_TRUE(landed);

    EXPECT_EQ(result->load(), 1);
    EXPECT_EQ(store->getFile(0)->transformed.transformedName.value(), "from preview");
    EXPECT_EQ(store->getFile(1)->transformed.transformedName.value(), "from queue");
    // Snapshot, refused swap, snapshot, swap: the main thread never writes file by file.
    EXPECT_EQ(interposer.hops, 4);
}

// The reader builds one copy of the folder path a file; the store keeps one a
// folder, also for a file renamed within its folder.
TEST_F(FileDataSourceTest, FilesOfOneFolderShareOneCopyOfItsPath)
{
    const auto same = [](const QString& a, const QString& b) { return a == b && a.constData() == b.constData(); };
    const QList<File> files = makeFiles({ "/a/1.txt", "/a/2.txt", "/b/3.txt", "/a/4.txt" });
    ASSERT_FALSE(same(files[0].source.fileInfo.path, files[1].source.fileInfo.path));
    store->replaceFilesFromComponents(FileDataSource::componentsOf(files), FileAction::replace);
    const QList<FileSource>& sources = store->unorderedFileSources();
    EXPECT_TRUE(same(sources[0].fileInfo.path, sources[1].fileInfo.path));
    EXPECT_TRUE(same(sources[0].fileInfo.path, sources[3].fileInfo.path));
    EXPECT_TRUE(same(sources[1].fileInfo.path, store->unorderedFileTransforms()[1].transformedPath.value()));
    EXPECT_EQ(sources[2].fileInfo.path, "/b");

    File renamed = store->getFile(1).value();
    const File moved = makeFile("/a/9.txt");
    renamed.source.fileInfo = moved.source.fileInfo;
    renamed.transformed = FileTransform::initial(renamed.source.id, moved.source.fileInfo, std::nullopt);
    ASSERT_FALSE(same(renamed.source.fileInfo.path, sources[0].fileInfo.path));
    ASSERT_TRUE(store->updateFiles({ renamed }, FileComponentMutations(FileComponentMutation::source) | FileComponentMutation::transformed,
        "Brackenfold/Test.cpp"));
    EXPECT_EQ(store->getFile(1)->source.fileInfo.fullPath, "/a/9.txt");
    EXPECT_TRUE(same(store->unorderedFileSources()[1].fileInfo.path, store->unorderedFileSources()[0].fileInfo.path));
    EXPECT_TRUE(same(store->unorderedFileTransforms()[1].transformedPath.value(), store->unorderedFileSources()[0].fileInfo.path));
}

TEST_F(FileDataSourceTest, EveryChangeIsUndoneAndRedoneToTheExactList)
{
    store->replaceFiles(makeFiles({ "/a/1.txt", "/a/2.txt", "/a/3.txt" }), FileAction::replace, QList<QUrl> { QUrl::fromLocalFile("/a") });
    store->updateOrderedIndex({ 2, 0, 1 });
    const QStringList opened = listed();
    const QList<int> openedOrder = store->orderedIndex();
    EXPECT_EQ(undoManager.undoActionName(), "Open 3 files");

    struct Case {
        QString name;
        std::function<void()> change;
        QStringList after;
    };
    const Case cases[] = {
        { "Append 3 files",
            [&] { store->replaceFiles(makeFiles({ "/a/1.txt", "/b/4.txt", "/b/4.txt" }), FileAction::append); },
            { "/a/3.txt", "/a/1.txt", "/a/2.txt", "/b/4.txt" } },
        // An undo puts back the storage order too: 0 is /a/1.txt, 2 is /a/3.txt.
        { "Remove 2 files", [&] { store->removeFiles({ 0, 2 }); }, { "/a/2.txt" } },
        { "Remove 1 files", [&] { store->removeFiles({ 1, 7 }); }, { "/a/3.txt", "/a/1.txt" } },
        { "Clear 3 files", [&] { store->clear(); }, {} },
        { "Open 1 files", [&] { store->replaceFiles(makeFiles({ "/c/5.txt" }), FileAction::replace); }, { "/c/5.txt" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const qint64 generation = store->fileGenerationId();
        c.change();
        EXPECT_EQ(listed(), c.after);
        EXPECT_EQ(undoManager.undoActionName(), c.name);
        EXPECT_EQ(store->fileGenerationId(), generation + 2);
        undoManager.undo();
        EXPECT_EQ(listed(), opened);
        EXPECT_EQ(store->orderedIndex(), openedOrder);
        EXPECT_EQ(store->fileGenerationId(), generation + 4);
        undoManager.redo();
        EXPECT_EQ(listed(), c.after);
        undoManager.undo();
        EXPECT_EQ(listed(), opened);
    }
    EXPECT_EQ(store->openedUrls, QList<QUrl> { QUrl::fromLocalFile("/a") });
}

// Steps keep only what they changed, so the rows moved and the facets written
// after a step survive its undo and redo.
TEST_F(FileDataSourceTest, UndoPutsBackOnlyWhatTheStepChanged)
{
    fill({ "/a/0.txt", "/a/1.txt", "/a/2.txt", "/a/3.txt", "/a/4.txt" });
    store->updateOrderedIndex({ 4, 2, 0, 3, 1 });

    store->removeFiles({ 1, 3 });
    EXPECT_EQ(listed(), (QStringList { "/a/4.txt", "/a/2.txt", "/a/0.txt" }));
    QList<File> files = store->getAllFiles();
    files[0].transformed.transformedName = "four";
    ASSERT_TRUE(store->updateFiles(files, FileComponentMutation::transformed, "Brackenfold/Test.cpp"));
    undoManager.undo();
    EXPECT_EQ(listed(), (QStringList { "/a/4.txt", "/a/2.txt", "/a/0.txt", "/a/3.txt", "/a/1.txt" }));
    EXPECT_EQ(store->orderedIndex(), (QList<int> { 4, 2, 0, 3, 1 }));
    EXPECT_EQ(store->getFile(0)->transformed.transformedName.value(), "four");
    undoManager.redo();
    EXPECT_EQ(listed(), (QStringList { "/a/4.txt", "/a/2.txt", "/a/0.txt" }));
    undoManager.undo();

    // Removed rows at the ends and in the middle go back to their rows.
    store->removeFiles({ 4, 1, 0 });
    EXPECT_EQ(listed(), (QStringList { "/a/2.txt", "/a/3.txt" }));
    undoManager.undo();
    EXPECT_EQ(store->orderedIndex(), (QList<int> { 4, 2, 0, 3, 1 }));

    store->replaceFiles(makeFiles({ "/b/5.txt", "/b/6.txt" }), FileAction::append);
    store->move({ 6 }, 0); // a row move has no step of its own
    EXPECT_EQ(listed(), (QStringList { "/b/6.txt", "/a/4.txt", "/a/2.txt", "/a/0.txt", "/a/3.txt", "/a/1.txt", "/b/5.txt" }));
    undoManager.undo();
    EXPECT_EQ(listed(), (QStringList { "/a/4.txt", "/a/2.txt", "/a/0.txt", "/a/3.txt", "/a/1.txt" }));
    undoManager.redo();
    EXPECT_EQ(listed(), (QStringList { "/a/4.txt", "/a/2.txt", "/a/0.txt", "/a/3.txt", "/a/1.txt", "/b/5.txt", "/b/6.txt" }));
}

// A list laid out anew without a step of its own (as the undo of a new
// document does) must not make the append's undo take other files.
TEST_F(FileDataSourceTest, AnAppendIsUndoneByItsFilesWhereverTheyNowStand)
{
    store->replaceFiles(makeFiles({ "/a/1.txt", "/a/2.txt", "/a/3.txt" }), FileAction::replace);
    store->replaceFiles(makeFiles({ "/b/1.txt", "/b/2.txt" }), FileAction::append);
    store->updateOrderedIndex({ 4, 3, 2, 1, 0 });
    store->replaceFilesNoUndo(store->getAllFiles(), FileAction::replace, false);
    ASSERT_EQ(listed(), (QStringList { "/b/2.txt", "/b/1.txt", "/a/3.txt", "/a/2.txt", "/a/1.txt" }));
    undoManager.undo();
    EXPECT_EQ(listed(), (QStringList { "/a/3.txt", "/a/2.txt", "/a/1.txt" }));
    undoManager.redo();
    EXPECT_EQ(listed(), (QStringList { "/a/3.txt", "/a/2.txt", "/a/1.txt", "/b/2.txt", "/b/1.txt" }));
}

// A re-open holds what the list it replaced has in common with the new one by
// identity only; its undo still brings back that list exactly: the same ids,
// facts, storage and display order, however the new list was laid out since.
TEST_F(FileDataSourceTest, AReplacedListComesBackWholeFromWhatItsStepHolds)
{
    const auto settle = [] {
        BackgroundPool::waitForDone();
        TestEnvironment::drainEvents();
    };
    struct Case {
        const char* what;
        std::function<void()> meanwhile;
    };
    const QList<Case> cases {
        { "as left", [] {} },
        { "laid out anew", [&] {
             QList<File> files = store->getAllFiles();
             std::reverse(files.begin(), files.end());
             store->replaceFilesNoUndo(files, FileAction::replace, false);
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        undoManager.removeAllActions();
        QList<File> before = makeFiles({ "/a/1.txt", "/a/2.txt", "/a/3.txt", "/a/4.txt" });
        before[2].source.fileInfo.fileSize = 10;
        store->replaceFiles(before, FileAction::replace);
        store->updateOrderedIndex({ 3, 1, 0, 2 });
        const QList<File> opened = store->getAllFiles();

        // Read again: new ids, one file grown, one new.
        QList<File> again = makeFiles({ "/a/1.txt", "/a/2.txt", "/a/3.txt", "/a/4.txt", "/a/5.txt" });
        again[2].source.fileInfo.fileSize = 20;
        store->replaceFiles(again, FileAction::replace);
        settle();
        c.meanwhile();
        const QList<File> inEffect = store->getAllFiles();

        undoManager.undo();
        const QList<File> restored = store->getAllFiles();
        ASSERT_EQ(restored.size(), opened.size());
        for (qsizetype row = 0; row < opened.size(); ++row) {
            SCOPED_TRACE(row);
            EXPECT_EQ(restored[row].source.id, opened[row].source.id);
            EXPECT_EQ(restored[row].transformed.id(), opened[row].source.id);
            EXPECT_EQ(restored[row].validation.id, opened[row].source.id);
            EXPECT_EQ(restored[row].source.fileInfo.fullPath, opened[row].source.fileInfo.fullPath);
            EXPECT_EQ(restored[row].index, opened[row].index);
        }
        EXPECT_EQ(restored[3].source.fileInfo.fileSize, 10) << "the grown file comes back as it was";
        EXPECT_EQ(store->orderedIndex(), (QList<int> { 3, 1, 0, 2 }));

        // Redo brings back the list the undo took away, held the same way.
        settle();
        undoManager.redo();
        EXPECT_EQ(listed(), fullPaths(inEffect));
        EXPECT_EQ(store->getFile(0)->source.id, inEffect[0].source.id);
        settle();
        undoManager.undo();
        EXPECT_EQ(store->getAllFiles()[0].source.id, opened[0].source.id);
    }
}

// Each list step costs the files it holds; beyond the bound the oldest go and
// the newest stays, whatever it costs.
TEST_F(FileDataSourceTest, TheHistoryKeepsABoundedNumberOfFiles)
{
    undoManager.setCostLimit(6);
    store->replaceFiles(makeFiles({ "/a/1.txt", "/a/2.txt", "/a/3.txt" }), FileAction::replace); // 3
    store->replaceFiles(makeFiles({ "/b/1.txt", "/b/2.txt" }), FileAction::append);              // 2
    store->removeFiles({ 0 });                                                                   // 1
    EXPECT_EQ(undoManager.undoCount(), 3);
    EXPECT_EQ(undoManager.totalCost(), 6);
    store->replaceFiles(makeFiles({ "/c/1.txt", "/c/2.txt" }), FileAction::replace);             // 4
    EXPECT_EQ(undoManager.undoCount(), 2);
    EXPECT_EQ(undoManager.undoActionName(), "Open 2 files");
    undoManager.undo();
    undoManager.undo();
    EXPECT_EQ(listed(), (QStringList { "/a/1.txt", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b/2.txt" }));
    EXPECT_FALSE(undoManager.canUndo());
    // The undone steps wait as redo steps at the same cost.
    EXPECT_EQ(undoManager.totalCost(), 5);
    store->replaceFiles(makeFiles(QStringList(8, "/d/x.txt")), FileAction::replace);
    EXPECT_EQ(undoManager.undoCount(), 1);
    undoManager.undo();
    EXPECT_EQ(listed(), (QStringList { "/a/1.txt", "/a/2.txt", "/a/3.txt", "/b/1.txt", "/b/2.txt" }));
}

// A rename makes the list's steps stale: every one of them names the store.
TEST_F(FileDataSourceTest, EveryStepOfTheListNamesTheStore)
{
    bool foreignUndone = false;
    undoManager.registerUndo([&] { foreignUndone = true; });
    store->replaceFiles(makeFiles({ "/a/1.txt", "/a/2.txt" }), FileAction::replace);
    store->replaceFiles(makeFiles({ "/a/3.txt" }), FileAction::append);
    store->removeFiles({ 0 });
    store->clear();
    ASSERT_EQ(undoManager.undoCount(), 5);
    undoManager.removeAllActions(store.get());
    EXPECT_EQ(undoManager.undoCount(), 1);
    undoManager.undo();
    EXPECT_TRUE(foreignUndone);
}

TEST_F(FileDataSourceTest, OpenedUrlsFollowOpensAndTheirUndo)
{
    const QUrl a = QUrl::fromLocalFile("/a"), b = QUrl::fromLocalFile("/b");
    store->replaceFiles(makeFiles({ "/a/1.txt" }), FileAction::replace, QList<QUrl> { a });
    store->replaceFiles(makeFiles({ "/b/2.txt" }), FileAction::append, QList<QUrl> { b });
    EXPECT_EQ(store->openedUrls, (QList<QUrl> { a, b }));
    store->clear();
    EXPECT_EQ(store->openedUrls, (QList<QUrl> { a, b }));
    undoManager.undo();
    undoManager.undo();
    EXPECT_EQ(store->openedUrls, QList<QUrl> { a });
    EXPECT_EQ(listed(), QStringList { "/a/1.txt" });
}

TEST_F(FileDataSourceTest, AppendKeepsTheFirstOfDuplicatesAndReplaceKeepsThemAll)
{
    fill({ "/a/1.txt" });
    store->replaceFilesNoUndo(makeFiles({ "/a/1.txt" }), FileAction::append, false);
    EXPECT_EQ(listed(), QStringList { "/a/1.txt" });
    EXPECT_EQ(store->fileGenerationId(), 4);
    store->replaceFilesNoUndo(makeFiles({ "/b/2.txt", "/b/2.txt" }), FileAction::append, true);
    EXPECT_EQ(listed(), QStringList { "/b/2.txt" });
    store->replaceFilesNoUndo(makeFiles({ "/b/2.txt", "/b/2.txt" }), FileAction::replace, false);
    EXPECT_EQ(listed(), (QStringList { "/b/2.txt", "/b/2.txt" }));
    EXPECT_EQ(store->orderedIndex(), (QList<int> { 0, 1 }));
}

TEST_F(FileDataSourceTest, RemovingMatchesStorageIndexesNotRows)
{
    fill({ "/a/0.txt", "/a/1.txt", "/a/2.txt" });
    store->updateOrderedIndex({ 2, 0, 1 });
    AppNotification::RemoveFiles::post({ 0, 2 });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return store->count() == 1; }));
    EXPECT_EQ(listed(), QStringList { "/a/1.txt" });
    EXPECT_EQ(store->getFile(0)->index, 0);
    EXPECT_EQ(store->orderedIndex(), QList<int> { 0 });
    EXPECT_EQ(undoManager.undoActionName(), "Remove 2 files");
}

TEST_F(FileDataSourceTest, AReplacementCancelsPendingWorkAndAnnouncesItself)
{
    int cancelled = 0;
    store->addPendingTaskCanceller([&] { ++cancelled; });
    store->addPendingTaskCanceller({});
    TestEnvironment::drainEvents();
    NotificationRecorder recorder({ NotificationName::cancelPendingTransformationTasks,
        NotificationName::dataSourceUpdated, NotificationName::applyChanges });
    fill({ "/a/1.txt" });
    EXPECT_EQ(cancelled, 1);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 3; }));
    EXPECT_EQ(recorder.names(), (QStringList { NotificationName::cancelPendingTransformationTasks,
                                    NotificationName::dataSourceUpdated, NotificationName::applyChanges }));
    EXPECT_FALSE(recorder.received[1].userInfo.has_value());
}

TEST_F(FileDataSourceTest, MoveKeepsTheRelativeOrderAndReachesTheEnd)
{
    struct Case {
        QList<int> rows;
        int destination;
        QList<int> order;
    };
    const Case cases[] = {
        { { 0 }, 2, { 1, 0, 2, 3 } },
        { { 0, 2 }, 4, { 1, 3, 0, 2 } }, // to the end
        { { 3 }, 0, { 3, 0, 1, 2 } },
        { { 1, 2 }, 2, { 0, 1, 2, 3 } },
        { { 4 }, 0, { 0, 1, 2, 3 } }, // a row outside: nothing
        { { 0 }, 5, { 0, 1, 2, 3 } },
        { { 0 }, -1, { 0, 1, 2, 3 } },
    };
    for (const Case& c : cases) {
        fill({ "/a", "/b", "/c", "/d" });
        store->move(c.rows, c.destination);
        EXPECT_EQ(store->orderedIndex(), c.order) << "destination " << c.destination;
    }
}

TEST_F(FileDataSourceTest, ADisplayOrderOfTheWrongLengthIsRefused)
{
    fill({ "/a", "/b" });
    LogCapture log;
    store->updateOrderedIndex({ 1, 0, 2 });
    EXPECT_EQ(store->orderedIndex(), (QList<int> { 0, 1 }));
    EXPECT_TRUE(log.contains("🚩 RACE CONDITION: Update orderedIndex to 3 elements while the data source contains 2 elements"));
}

TEST_F(FileDataSourceTest, HasFilesToRenameComparesCanonicalFullPaths)
{
    fill({ "/a/b.txt", QString("/a/e\u0301.txt") });
    EXPECT_FALSE(store->hasFilesToRename());
    File file = store->getFile(1).value();
    file.transformed.transformedName = QString("\u00e9");
    store->mutate(file, FileComponentMutation::transformed);
    EXPECT_FALSE(store->hasFilesToRename());

    file = store->getFile(0).value();
    file.transformed.transformedExt = ".txt";
    store->mutate(file, FileComponentMutation::transformed);
    EXPECT_FALSE(store->hasFilesToRename());
    file.transformed.transformedName = "c";
    store->mutate(file, FileComponentMutation::transformed);
    EXPECT_TRUE(store->hasFilesToRename());
    file.validation.insertError("Invalid");
    store->mutate(store->getFile(1).value().withDirtyFlag(true), FileComponentMutation::validation);
    store->mutate(file, FileComponentMutation::validation);
    EXPECT_FALSE(store->hasFilesToRename());
}

TEST_F(FileDataSourceTest, TheIteratorYieldsEveryRowThenNothing)
{
    fill({ "/a", "/b" });
    store->updateOrderedIndex({ 1, 0 });
    auto iterator = store->makeAsyncIterator();
    EXPECT_EQ(iterator.next()->source.fileInfo.fullPath, "/b");
    EXPECT_EQ(iterator.next()->source.fileInfo.fullPath, "/a");
    EXPECT_FALSE(iterator.next().has_value());
    EXPECT_FALSE(store->getFile(-1).has_value());
    EXPECT_FALSE(store->getFile(2).has_value());
}
