// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "TestEnvironment.h"
#include "files/FileFixtures.h"

#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "files/FileAttributeLoader.h"
#include "files/FileDataSource.h"
#include "tokens/FileAttribute+add.h"
#include "tokens/FileAttributesWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// An attribute reader that hands out one load per permit while gated, and
// counts the loads of every file.
class ScriptedLoader {
public:
    FileAttributeDictionary load(const QUrl& url)
    {
        std::unique_lock lock(m_mutex);
        ++m_entered;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return !m_gated || m_permits > 0; });
        if (m_gated)
            --m_permits;
        m_loads.append(url);
        if (m_clock)
            m_clock->advance(m_step);
        FileAttributeDictionary attributes;
        AttributeDictionary::add(attributes, "name", url.fileName());
        return attributes;
    }
    void gate()
    {
        std::lock_guard lock(m_mutex);
        m_gated = true;
    }
    void permit(int count = 1)
    {
        std::lock_guard lock(m_mutex);
        m_permits += count;
        m_changed.notify_all();
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_gated = false;
        m_changed.notify_all();
    }
    int entered() const
    {
        std::lock_guard lock(m_mutex);
        return m_entered;
    }
    QList<QUrl> loads() const
    {
        std::lock_guard lock(m_mutex);
        return m_loads;
    }
    void advanceOnEveryLoad(ManualClock* clock, Clock::Duration step)
    {
        m_clock = clock;
        m_step = step;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_gated = false;
    int m_permits = 0;
    int m_entered = 0;
    QList<QUrl> m_loads;
    ManualClock* m_clock = nullptr;
    Clock::Duration m_step {};
};

class AttributePreloading : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_shared<FileDataSource>();
        DependencyInjectionRegistry::shared().registerInstance(store);
        worker().setRuleUsage([this] { return rulesUseAttributes.load(); });
        FileAttributeLoader::install([this](const QUrl& url) { return loader.load(url); });
    }
    void TearDown() override
    {
        loader.open();
        worker().cancel();
        waitUntilIdle();
        worker().setRuleUsage({});
        worker().setClock(nullptr);
        FileAttributeLoader::install({});
    }

    static FileAttributesWorker& worker() { return FileAttributesWorker::shared(); }

    void list(const QStringList& paths)
    {
        store->replaceFilesNoUndo(makeFiles(paths), FileAction::replace, false);
        TestEnvironment::drainEvents();
    }
    // Runs `work` on another thread (the worker hops to this one meanwhile).
    static void offMainThread(const std::function<void()>& work)
    {
        std::atomic<bool> done = false;
        std::thread thread([&] {
            work();
            done = true;
        });
        EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return done.load(); }));
        thread.join();
    }
    // Every started preload has ended and its writes have reached the store.
    void waitUntilIdle()
    {
        EXPECT_TRUE(TestEnvironment::processEventsUntil([] {
            const TaskHandle task = FileAttributesWorker::shared().currentTask();
            return !task.isValid() || task.isFinished();
        }));
        TestEnvironment::drainEvents();
    }
    QList<bool> loaded() const
    {
        QList<bool> flags;
        for (int storageIndex : store->orderedIndex())
            flags << store->unorderedFileAttributes().at(storageIndex).has_value();
        return flags;
    }

    std::shared_ptr<FileDataSource> store;
    std::atomic<bool> rulesUseAttributes = true;
    ScriptedLoader loader;
};

TEST_F(AttributePreloading, LoadsEachMissingFileOnceAndAsksForOnePreview)
{
    list({ "/p/a.jpg", "/p/b.mp3", "/p/c.txt" });
    NotificationRecorder recorder({ NotificationName::applyChanges, NotificationName::showProgressIndicator,
        NotificationName::hideProgressIndicator });
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loaded() == QList<bool> { true, true, true }; }));
    waitUntilIdle();

    EXPECT_EQ(loader.loads().size(), 3);
    EXPECT_EQ(recorder.names(), (QStringList { NotificationName::showProgressIndicator,
                                    NotificationName::hideProgressIndicator, NotificationName::applyChanges }));
    const auto attributes = store->getFile(1)->attributes;
    ASSERT_TRUE(attributes.has_value());
    EXPECT_EQ((*attributes)["name"]->attributeValue, AttributeValue::string("b.mp3"));

    // Nothing is missing any more: no second load, no indicator.
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributes(); });
    waitUntilIdle();
    EXPECT_EQ(loader.loads().size(), 3);
    EXPECT_EQ(recorder.count(NotificationName::showProgressIndicator), 1);
}

TEST_F(AttributePreloading, NothingIsReadWhileNoRuleUsesAttributes)
{
    rulesUseAttributes = false;
    list({ "/p/a.jpg" });
    NotificationRecorder recorder({ NotificationName::applyChanges, NotificationName::showProgressIndicator });
    LogCapture log;
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributes(); });
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributesNow(); });
    waitUntilIdle();
    EXPECT_TRUE(loader.loads().isEmpty());
    EXPECT_TRUE(recorder.received.empty());
    EXPECT_FALSE(worker().currentTask().isValid());
    EXPECT_TRUE(log.contains("🔹 preloadAllAttributesNow for 0 files."));
}

TEST_F(AttributePreloading, AResultForAReplacedListIsNeverWritten)
{
    list({ "/old/1", "/old/2", "/old/3" });
    loader.gate();
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loader.entered() == 1; }));

    // The new list reuses the storage indexes of the old one.
    list({ "/new/1", "/new/2" });
    loader.open();
    waitUntilIdle();
    EXPECT_EQ(loaded(), (QList<bool> { false, false }));
    EXPECT_EQ(loader.loads().first(), QUrl::fromLocalFile("/old/1"));
}

TEST_F(AttributePreloading, ReplacingTheListCancelsThroughTheStoresHook)
{
    store->addPendingTaskCanceller(&FileAttributesWorker::cancelPreload);
    list({ "/old/1", "/old/2", "/old/3" });
    loader.gate();
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loader.entered() == 1; }));
    const TaskHandle running = worker().currentTask();
    list({ "/new/1" });
    EXPECT_TRUE(running.isCancelled());
    loader.open();
    waitUntilIdle();
    EXPECT_EQ(loader.loads().size(), 1) << "stopped before the next file";
    EXPECT_EQ(loaded(), QList<bool> { false });
}

TEST_F(AttributePreloading, OnePreloadAtATimeAndOnlyItsOwnEndClearsIt)
{
    list({ "/p/1", "/p/2" });
    loader.gate();
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loader.entered() == 1; }));
    const TaskHandle first = worker().currentTask();
    ASSERT_TRUE(first.isValid());

    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributes(); });
    EXPECT_EQ(worker().currentTask(), first) << "a running preload is not restarted";

    // Cancelled but not forgotten: the next call starts a successor, which runs
    // after the first has let go of the executor.
    FileAttributesWorker::cancelPreload();
    EXPECT_EQ(worker().currentTask(), first);
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributes(); });
    const TaskHandle second = worker().currentTask();
    ASSERT_TRUE(second.isValid());
    EXPECT_NE(second, first);

    loader.permit();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return first.isFinished() && loader.entered() == 2; }));
    EXPECT_EQ(worker().currentTask(), second) << "the first task's end left the successor's handle alone";
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributes(); });
    EXPECT_EQ(worker().currentTask(), second);

    loader.open();
    waitUntilIdle();
    EXPECT_FALSE(worker().currentTask().isValid());
    EXPECT_EQ(loaded(), (QList<bool> { true, true }));
    EXPECT_EQ(loader.loads().size(), 3) << "the first file of the cancelled run is read again";
}

TEST_F(AttributePreloading, CancellingKeepsWhatWasWrittenAndPostsNoPreview)
{
    list({ "/p/1", "/p/2", "/p/3" });
    loader.gate();
    loader.permit();
    NotificationRecorder recorder({ NotificationName::applyChanges, NotificationName::hideProgressIndicator });
    LogCapture log;
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loaded().first() && loader.entered() == 2; }));
    worker().cancel();
    EXPECT_FALSE(worker().currentTask().isValid());
    loader.open();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return log.contains("🔹 Preloading attributes aborted, task cancelled."); }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(loaded(), (QList<bool> { true, false, false }));
    EXPECT_EQ(recorder.names(), QStringList { NotificationName::hideProgressIndicator });
    EXPECT_TRUE(log.contains("🔹 Cancelling Preload Attributes."));
}

TEST_F(AttributePreloading, ThePreviewIsAskedForAtMostEveryTwoSeconds)
{
    ManualClock clock;
    worker().setClock(&clock);
    loader.advanceOnEveryLoad(&clock, 900ms);
    list({ "/p/1", "/p/2", "/p/3", "/p/4", "/p/5", "/p/6", "/p/7" });
    LogCapture log;
    worker().preloadAllAttributes();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return loader.loads().size() == 7; }));
    waitUntilIdle();
    QStringList progress;
    for (const QString& line : log.lines()) {
        if (line.contains("🔹 Preloading attributes: "))
            progress << line.mid(line.indexOf("🔹"));
    }
    // 2700 ms after the start, then 5400 ms; 6300 ms is under 2 seconds later.
    EXPECT_EQ(progress, (QStringList { "🔹 Preloading attributes: 3/7", "🔹 Preloading attributes: 6/7" }));
}

TEST_F(AttributePreloading, LoadingNowFillsTheStoreBeforeReturning)
{
    list({ "/p/1", "/p/2" });
    offMainThread([] { FileAttributesWorker::shared().preloadAllAttributesNow(); });
    TestEnvironment::drainEvents();
    EXPECT_EQ(loaded(), (QList<bool> { true, true }));

    // A stopped caller reads nothing.
    list({ "/q/1" });
    std::stop_source stopped;
    stopped.request_stop();
    offMainThread([&] { FileAttributesWorker::shared().preloadAllAttributesNow(stopped.get_token()); });
    TestEnvironment::drainEvents();
    EXPECT_EQ(loaded(), QList<bool> { false });
}

} // namespace
