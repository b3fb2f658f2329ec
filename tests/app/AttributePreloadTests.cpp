#include "AppTestSupport.h"
#include "files/FileAttributeLoader.h"
#include "tokens/FileAttributesWorker.h"

#include <QHash>

#include <condition_variable>
#include <mutex>
#include <thread>

// The preload of a list's attributes with a reader of the test's own: it
// counts the reads per file and holds the first one until it is let go.
class AttributePreloadTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        FileAttributesWorker::shared().setRuleUsage([this] { return ruleUsage ? ruleUsage() : false; });
        FileAttributeLoader::install([this](const QUrl& url) {
            std::unique_lock lock(mutex);
            ++reads[url];
            if (holdFirstRead && !firstReadStarted) {
                firstReadStarted = true;
                changed.notify_all();
                changed.wait_for(lock, std::chrono::seconds(120), [this] { return !holdFirstRead; });
            }
            return FileAttributeDictionary {};
        });
    }
    void TearDown() override
    {
        release();
        AppTest::TearDown();
        FileAttributeLoader::install({});
        FileAttributesWorker::shared().setRuleUsage({});
    }

    void release()
    {
        std::lock_guard lock(mutex);
        holdFirstRead = false;
        changed.notify_all();
    }
    bool readStarted()
    {
        std::lock_guard lock(mutex);
        return firstReadStarted;
    }
    QHash<QUrl, int> readsSoFar()
    {
        std::lock_guard lock(mutex);
        return reads;
    }

    std::function<bool()> ruleUsage; // on the main thread, as the worker asks it
    std::mutex mutex;
    std::condition_variable changed;
    bool holdFirstRead = false;
    bool firstReadStarted = false;
    QHash<QUrl, int> reads;
};

// A second preload asked for while the running one ends must not take the
// list before it knows whether one runs: the values just read are still on
// their way to the store, and their files would be read again.
TEST_F(AttributePreloadTest, APreloadAskedForAsTheRunningOneEndsReadsNoFileAgain)
{
    const QString folder = makeFolder({ "a.txt", "b.txt" });
    const QList<QUrl> urls { QUrl::fromLocalFile(folder + "/a.txt"), QUrl::fromLocalFile(folder + "/b.txt") };
    dataSource->replaceFiles({ File(urls[0], false), File(urls[1], false) }, FileAction::replace);
    ASSERT_TRUE(settleBackgroundWork());
    ASSERT_TRUE(readsSoFar().isEmpty());

    FileAttributesWorker& worker = FileAttributesWorker::shared();
    {
        std::lock_guard lock(mutex);
        holdFirstRead = true;
    }
    int asked = 0;
    ruleUsage = [&] {
        // The second decision asks while the first preload still runs; it is let
        // go here and ends before the decision reads the list.
        if (++asked == 2) {
            release();
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
            while (worker.currentTask().isValid() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
        }
        return true;
    };
    worker.preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return readStarted(); }));

    std::atomic_bool decided = false;
    std::thread second([&] {
        worker.preloadAllAttributes();
        decided = true;
    });
    const bool secondDecided = TestEnvironment::processEventsUntil([&] { return decided.load(); });
    release();
    second.join();
    ASSERT_TRUE(secondDecided);
    ASSERT_TRUE(settleBackgroundWork());

    EXPECT_EQ(readsSoFar().value(urls[0]), 1);
    EXPECT_EQ(readsSoFar().value(urls[1]), 1);
    for (const File& file : dataSource->getAllFiles())
        EXPECT_TRUE(file.attributesInitialized()) << file.source.fileInfo.name.toStdString();
}
