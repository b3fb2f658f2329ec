// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/OpenFolderEventHandler.h"
#include "core/AppNotification+Typed.h"
#include "files/FileAttributeLoader.h"
#include "tokens/FileAttributesWorker.h"
#include "tokens/MediaFixtures.h"

#include <QHash>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The real readers over a listed folder that holds more than files: named
// pipes and links to a device, under the names of songs, movies and photos,
// and a large file of zeros. The preload reaches the end of the list.
TEST_F(AppTest, PipesAndDevicesInAListedFolderDoNotHoldThePreload)
{
    makeWindow();
    OpenFolderEventHandler handler;
    const QString folder = makeFolder({});
    const QStringList pipes { "x.mp3", "x.m4a", "x.flac", "x.wav", "x.ogg", "x.mov", "x.jpg" };
    for (const QString& name : pipes)
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/" + name).constData(), 0600), 0);
    for (const QString name : { ".mp3", "zero.mov", "zero.jpg" })
        ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(folder + "/" + name).constData()), 0);
    QFile zeros(folder + "/zeros.mp3");
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.resize(qint64(200) * 1024 * 1024));
    zeros.close();
    ASSERT_TRUE(MediaFixtures::writeMp3(folder + "/song.mp3", { { "TIT2", { "Song" } } }, 8));
    const qsizetype listed = pipes.size() + 3 + 2;

    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, false, FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return dataSource->count() == listed && !handler.openFilesTask().isValid(); }));
    FileAttributesWorker& worker = FileAttributesWorker::shared();
    worker.setRuleUsage([] { return true; });
    worker.preloadAllAttributes();
    const bool settled = settleBackgroundWork(std::chrono::seconds(120));
    if (!settled) {
        // A reader stuck in a pipe is let go, so that the test ends.
        for (const QString& name : pipes)
            ::close(::open(QFile::encodeName(folder + "/" + name).constData(), O_WRONLY | O_NONBLOCK));
        settleBackgroundWork();
    }
    worker.setRuleUsage({});
    ASSERT_TRUE(settled);

    for (const File& file : dataSource->getAllFiles()) {
        const std::string name = (file.source.fileInfo.name + "." + file.source.fileInfo.ext).toStdString();
        ASSERT_TRUE(file.attributesInitialized()) << name;
        const FileAttributeDictionary attributes = file.fileAttributes().attributes;
        EXPECT_TRUE(attributes.contains("kind")) << name;
        if (file.source.fileInfo.name == "song") {
            EXPECT_TRUE(attributes.contains("id3-title")) << name;
            continue;
        }
        for (const QString& key : attributes.keys())
            EXPECT_FALSE(key.startsWith("media-") || key.startsWith("id3-") || key.startsWith("{")) << name << " " << key.toStdString();
    }
}
