// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "files/FileQueue.h"
#include "platform/GlobalActors.h"

#include <gtest/gtest.h>

#include <future>

namespace {

File queuedFile(std::optional<qint64> index = std::nullopt, QUuid id = QUuid::createUuid())
{
    File file;
    file.index = index;
    file.source.id = id;
    return file;
}

QList<QUuid> idsOf(QList<File> files)
{
    QList<QUuid> ids;
    for (const File& file : files)
        ids << file.source.id;
    return ids;
}

} // namespace

// Every queue call runs on the transformation-queue executor, as in the application.
class FileQueueTest : public ::testing::Test {
protected:
    template <typename Work>
    auto onQueue(Work work)
    {
        std::packaged_task<decltype(work())()> task(std::move(work));
        auto result = task.get_future();
        GlobalActors::transformationQueue().submit([&task] { task(); });
        return result.get();
    }
    // Empties the queue and answers what was in it, front first.
    QList<File> drain()
    {
        return onQueue([this] {
            QList<File> files;
            while (auto file = queue.nextFile())
                files << *file;
            return files;
        });
    }
    FileQueue queue;
};

TEST_F(FileQueueTest, FilesLeaveFromTheFront)
{
    const File a = queuedFile(), b = queuedFile(), c = queuedFile();
    onQueue([&] {
        EXPECT_EQ(queue.nextFile(), std::nullopt);
        EXPECT_EQ(queue.count(), 0);
        queue.addToBack(a);
        queue.addToBack(b);
        queue.addToFront(c);
        return 0;
    });
    EXPECT_EQ(idsOf(drain()), (QList<QUuid> { c.source.id, a.source.id, b.source.id }));
    EXPECT_EQ(onQueue([&] { return queue.count(); }), 0);
}

TEST_F(FileQueueTest, AFileIsQueuedOnceByItsSourceId)
{
    const File a = queuedFile(1), b = queuedFile(2);
    const File newerA = queuedFile(10, a.source.id);
    const File newerB = queuedFile(20, b.source.id);
    onQueue([&] {
        queue.addToBack(a);
        queue.addToBack(b);
        queue.addToBack(newerA); // keeps its place and its queued copy
        EXPECT_TRUE(queue.contains(newerA));
        EXPECT_EQ(queue.count(), 2);
        EXPECT_EQ(queue.queuedIndexes(), "1, 2");
        queue.addToFront(newerB); // moves to the front as the new copy
        EXPECT_EQ(queue.count(), 2);
        EXPECT_EQ(queue.queuedIndexes(), "20, 1");
        return 0;
    });
    const QList<File> files = drain();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].index, 20);
    EXPECT_EQ(files[1].index, 1);
    EXPECT_FALSE(onQueue([&] { return queue.contains(a); }));
}

TEST_F(FileQueueTest, QueuedIndexesSkipFilesWithoutAPosition)
{
    onQueue([&] {
        queue.addToBack(queuedFile(3));
        queue.addToBack(queuedFile());
        queue.addToBack(queuedFile(7));
        EXPECT_EQ(queue.queuedIndexes(), "3, 7");
        queue.clear();
        EXPECT_EQ(queue.queuedIndexes(), "");
        EXPECT_EQ(queue.count(), 0);
        return 0;
    });
}

TEST_F(FileQueueTest, AFullQueueTakesNoNewFileAtEitherEnd)
{
    QList<File> waiting;
    for (int i = 0; i < FileQueue::MAX_COUNT; ++i)
        waiting << queuedFile(i);
    LogCapture log;
    onQueue([&] {
        for (const File& file : waiting)
            queue.addToBack(file);
        queue.addToBack(queuedFile(-1));
        queue.addToFront(queuedFile(-2));
        EXPECT_EQ(queue.count(), FileQueue::MAX_COUNT);
        return 0;
    });
    EXPECT_EQ(log.lines().filter("FileQueue dropped").size(), 2);
    EXPECT_TRUE(log.contains("FileQueue dropped 1 file, size is now: 5000"));

    log.clear();
    onQueue([&] {
        queue.addToFront(waiting.last()); // already queued: moves, nothing dropped
        return 0;
    });
    EXPECT_EQ(log.lines().filter("FileQueue dropped").size(), 0);
    QList<File> expected = waiting;
    expected.prepend(expected.takeLast());
    EXPECT_EQ(idsOf(drain()), idsOf(expected));
}
