// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineTestSupport.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "engine/FileValidationService.h"
#include "engine/FileValidationUtil.h"
#include "files/FileDataSource.h"
#include "platform/Task.h"

class FileValidationServiceTest : public EngineTest {
protected:
    // Runs the service from a worker, as the transformations do, and waits on the main thread.
    void validateFromWorker(const QList<File>& files, std::stop_token stop = {})
    {
        // The task owns what it uses: a wait that gives up leaves it nothing dangling.
        const auto done = std::make_shared<std::atomic<bool>>(false);
        TaskHandle task = TaskHandle::detached([files, stop, done](std::stop_token) {
            FileValidationService::validateFiles(files, stop);
            *done = true;
        });
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return done->load(); }, std::chrono::seconds(60)));
        TestEnvironment::drainEvents();
    }
};

TEST_F(FileValidationServiceTest, ChunksJoinInListOrderSoTheFirstFileKeepsTheName)
{
    QList<File> files;
    for (int i = 0; i < 4097; ++i) {
        File file(QUrl::fromLocalFile(path(QStringLiteral("f%1.txt").arg(i))), false);
        file.transformed.setTransformedFullPath(path(QStringLiteral("n%1.txt").arg(i)));
        files << file;
    }
    files[0].transformed.setTransformedFullPath(path(QStringLiteral("same.txt")));
    files[4096].transformed.setTransformedFullPath(path(QStringLiteral("same.txt")));

    for (int run = 0; run < 3; ++run) {
        LogCapture log;
        std::optional<QList<File>> validated = FileValidationService::validateFilesConcurrent(files);
        ASSERT_TRUE(validated);
        EXPECT_EQ(log.lines().filter(QStringLiteral("Validation chunk of 4096 files starting.")).size(), 1);
        EXPECT_EQ(log.lines().filter(QStringLiteral("Validation chunk of 1 files starting.")).size(), 1);
        ASSERT_EQ(validated->size(), files.size());
        EXPECT_EQ(validated->at(4096).source.id, files[4096].source.id);
        FileValidationUtil::validateUniquenessInterruptable(*validated);
        EXPECT_EQ(validated->at(0).transformed.uniqueSuffix, QString()) << "run " << run;
        EXPECT_EQ(validated->at(4096).transformed.uniqueSuffix, QStringLiteral(" 2")) << "run " << run;
    }
}

TEST_F(FileValidationServiceTest, ACancelledRunGivesNothing)
{
    std::stop_source source;
    source.request_stop();
    LogCapture log;
    QList<File> files { File(QUrl::fromLocalFile(touch(QStringLiteral("a.txt"))), false) };
    EXPECT_FALSE(FileValidationService::validateFilesConcurrent(files, source.get_token()));
    EXPECT_TRUE(log.contains(QStringLiteral("Cancelling all pending validation chunks.")));
    EXPECT_TRUE(FileValidationService::validateFilesConcurrent({}).value().isEmpty());
}

TEST_F(FileValidationServiceTest, VerdictsAreWrittenBackAndReported)
{
    auto store = std::make_shared<FileDataSource>();
    DependencyInjectionRegistry::shared().registerInstance(store);
    store->replaceFilesNoUndo({ File(QUrl::fromLocalFile(touch(QStringLiteral("a.txt"))), false),
                                  File(QUrl::fromLocalFile(touch(QStringLiteral("b.txt"))), false) },
        FileAction::replace, false);
    TestEnvironment::drainEvents();
    QList<File> files = store->getAllFiles();
    files[0].transformed.transformedName = QString();
    files[1].transformed.transformedName = QStringLiteral("c");

    NotificationRecorder recorder({ NotificationName::validationResult, NotificationName::dataSourceUpdated,
        NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator });
    LogCapture log;
    validateFromWorker(files);

    const QList<File> stored = store->getAllFiles();
    EXPECT_EQ(stored[0].validation.errors, QSet<QString> { FileValidationUtil::Message::empty });
    EXPECT_TRUE(stored[1].validation.errors.isEmpty());
    EXPECT_EQ(stored[1].transformed.transformedName.value(), QStringLiteral("c"));
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Validating 2 files.")));
    ASSERT_EQ(recorder.count(NotificationName::validationResult), 1);
    for (const Notification& n : recorder.received) {
        if (n.name != NotificationName::validationResult)
            continue;
        const FileValidationResultRef result = AppNotification::ValidationResult::get(n);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->errorCount, 1);
        EXPECT_EQ(result->renameCount, 1);
        EXPECT_EQ(result->totalCount, 2);
    }
    EXPECT_GE(recorder.count(NotificationName::dataSourceUpdated), 1);
    EXPECT_EQ(recorder.count(NotificationName::showProgressIndicator), 1);
    EXPECT_EQ(recorder.count(NotificationName::hideProgressIndicator), 1);
    EXPECT_TRUE(FileValidationService::isReady());
}

TEST_F(FileValidationServiceTest, AResultForAReplacedListIsNeverReported)
{
    auto store = std::make_shared<FileDataSource>();
    DependencyInjectionRegistry::shared().registerInstance(store);
    store->replaceFilesNoUndo({ File(QUrl::fromLocalFile(touch(QStringLiteral("a.txt"))), false) }, FileAction::replace, false);
    const QList<File> old = store->getAllFiles();
    store->replaceFilesNoUndo({ File(QUrl::fromLocalFile(touch(QStringLiteral("b.txt"))), false) }, FileAction::replace, false);
    TestEnvironment::drainEvents();

    NotificationRecorder recorder({ NotificationName::validationResult, NotificationName::hideProgressIndicator });
    LogCapture log;
    validateFromWorker(old);
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Validating files aborted.")));
    EXPECT_EQ(recorder.count(NotificationName::validationResult), 0);
    EXPECT_EQ(recorder.count(NotificationName::hideProgressIndicator), 1);
}

// Cancelling with no run going still tells the rule bar the counts of what
// the store holds, counted on a worker.
TEST_F(FileValidationServiceTest, CancelReportsTheCountsOfTheStore)
{
    auto store = std::make_shared<FileDataSource>();
    DependencyInjectionRegistry::shared().registerInstance(store);
    store->replaceFilesNoUndo({ File(QUrl::fromLocalFile(touch(QStringLiteral("a.txt"))), false),
                                  File(QUrl::fromLocalFile(touch(QStringLiteral("b.txt"))), false) },
        FileAction::replace, false);
    QList<File> files = store->getAllFiles();
    files[0].transformed.transformedName = QString();
    files[1].transformed.transformedName = QStringLiteral("c");
    validateFromWorker(files);

    NotificationRecorder recorder({ NotificationName::validationResult });
    FileValidationService::cancel();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.count(NotificationName::validationResult) == 1; }));
    const FileValidationResultRef result = AppNotification::ValidationResult::get(recorder.received.front());
    EXPECT_EQ(result->errorCount, 1);
    EXPECT_EQ(result->renameCount, 1);
    EXPECT_EQ(result->totalCount, 2);
}
