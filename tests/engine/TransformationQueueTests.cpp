// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "engine/TransformationQueue.h"

using TransformationQueue::TransformationPriority;

class TransformationQueueTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt") });
        TestEnvironment::drainEvents();
    }

    void enqueueAll(TransformationPriority priority = TransformationPriority::normal)
    {
        for (const File& file : fileDataSource->getAllFiles())
            TransformationQueue::enqueFileTransformation(file, priority);
    }
    // Until the drain has logged its end and let go of its handle.
    void waitForDrain(const LogCapture& log)
    {
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
            return !log.lines().filter(QStringLiteral("fileTransformQueue: End processing")).isEmpty()
                && !TransformationQueue::isProcessing();
        }));
        waitForExecutors();
    }
};

TEST_F(TransformationQueueTest, ACleanFileIsNotQueued)
{
    LogCapture log;
    File clean = fileDataSource->getAllFiles().first();
    clean.transformed.isDirty = false;
    clean.transformed.lateUpdateRequired = false;
    TransformationQueue::enqueFileTransformation(clean, TransformationPriority::high);
    waitForExecutors();
    EXPECT_FALSE(TransformationQueue::isProcessing());
    EXPECT_TRUE(log.lines().filter(QStringLiteral("fileTransformQueue: Start processing")).isEmpty());
}

TEST_F(TransformationQueueTest, EachFileIsTransformedFromTheStoreAndWrittenBack)
{
    setRules({ prefixRule(QStringLiteral("A_")) });
    LogCapture log;
    NotificationRecorder recorder({ NotificationName::dataSourceUpdated });
    enqueueAll();
    waitForDrain(log);

    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt") }));
    for (const File& file : fileDataSource->getAllFiles()) {
        EXPECT_FALSE(file.transformed.isDirty);
        EXPECT_TRUE(file.validation.errors.isEmpty());
    }
    EXPECT_TRUE(log.contains(QStringLiteral("fileTransformQueue: End processing 2 queued files")));
    EXPECT_GE(recorder.count(NotificationName::dataSourceUpdated), 1);
}

TEST_F(TransformationQueueTest, AFailingFileIsLoggedWrittenBackAndTheNextOneProcessed)
{
    setRules({ failingRule() });
    LogCapture log;
    enqueueAll();
    waitForDrain(log);

    EXPECT_EQ(log.lines().filter(QStringLiteral("fileTransformQueue: Transformation failed:")).size(), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("fileTransformQueue: End processing 2 queued files")));
    for (const File& file : fileDataSource->getAllFiles())
        EXPECT_FALSE(file.validation.errors.isEmpty()) << file.source.fileInfo.name.toStdString();
}

// The queued copies belong to a list that was replaced before the drain got to
// them: their slots now hold other files, which are left alone.
TEST_F(TransformationQueueTest, FilesOfAReplacedListAreSkipped)
{
    setRules({ prefixRule(QStringLiteral("A_")) });
    LogCapture log;
    enqueueAll();
    listFiles({ QStringLiteral("c.txt"), QStringLiteral("d.txt") });
    waitForDrain(log);

    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("c.txt"), QStringLiteral("d.txt") }));
    EXPECT_TRUE(log.contains(QStringLiteral("fileTransformQueue: End processing 0 queued files")));
}
