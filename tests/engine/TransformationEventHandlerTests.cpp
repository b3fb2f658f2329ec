// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"
#include "engine/TransformationEventHandler.h"

namespace {

void postNow(const QString& name)
{
    NotificationCenter::defaultCenter().post(Notification { name, {}, std::nullopt });
}

} // namespace

class TransformationEventHandlerTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt") });
        setRules({ prefixRule(QStringLiteral("A_")) });
        TestEnvironment::drainEvents(); // the listing's own applyChanges
        handler = std::make_unique<TransformationEventHandler>();
    }
    void TearDown() override
    {
        waitForExecutors();
        handler.reset();
        EngineRunTest::TearDown();
    }

    bool quickTaskIdle() const { return !handler->transformationQuickTask().isValid(); }
    bool renameTaskIdle() const { return !handler->transformationTask().isValid(); }

    std::unique_ptr<TransformationEventHandler> handler;
};

// The newer preview cancels the older one in the middle of its pass: the older
// writes nothing, its end does not clear the newer handle, and the newer
// preview's names are what the store shows.
TEST_F(TransformationEventHandlerTest, APreviewCancelledByANewerOneWritesNothing)
{
    LogCapture log;
    int passes = 0;
    QStringList namesWhenSecondStarted;
    bool newerHandleHeldWhenSecondStarted = false;
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(&observer, NotificationName::showProgressIndicator,
        [&](const Notification& notification) {
            if (AppNotification::ShowProgressIndicator::get(notification).message != QStringLiteral("Transforming..."))
                return;
            if (++passes == 1) {
                // The user edits the rule while the first preview runs.
                Transformer edited = transformers->list().first();
                edited.properties.prefixText = TokenString::string(QStringLiteral("B_"));
                transformers->updateTransformers({ edited });
                postNow(NotificationName::applyChanges);
            } else {
                namesWhenSecondStarted = newNames();
                newerHandleHeldWhenSecondStarted = handler->transformationQuickTask().isValid();
            }
        });

    postNow(NotificationName::applyChanges);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return passes == 2 && quickTaskIdle(); }));
    waitForExecutors();

    EXPECT_EQ(namesWhenSecondStarted, QStringList({ QStringLiteral("a.txt"), QStringLiteral("b.txt") }));
    EXPECT_TRUE(newerHandleHeldWhenSecondStarted);
    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("B_a.txt"), QStringLiteral("B_b.txt") }));
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Cancelled transformAllFilesQuick for 2 files.")));
    EXPECT_EQ(log.lines().filter(QStringLiteral("Cancelling pending transformation tasks [transformationQuickTask]")).size(), 1);
}

TEST_F(TransformationEventHandlerTest, ApplyChangesWithoutAHeldPreviewCancelsNothing)
{
    LogCapture log;
    postNow(NotificationName::applyChanges);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return quickTaskIdle(); }));
    waitForExecutors();
    EXPECT_FALSE(log.contains(QStringLiteral("Cancelling pending transformation tasks [transformationQuickTask]")));
    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt") }));
}

TEST_F(TransformationEventHandlerTest, ASecondRenameRequestIsDroppedWhileOneIsHeld)
{
    LogCapture log;
    Notification commit { NotificationName::commitChanges, {}, QVariantMap { { QStringLiteral("force"), false } } };
    NotificationCenter::defaultCenter().post(commit);
    NotificationCenter::defaultCenter().post(commit);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return renameTaskIdle(); }, std::chrono::seconds(30)));
    waitForExecutors();

    EXPECT_EQ(log.lines().filter(QStringLiteral("transformationTask already running.")).size(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("🟩 Beginning long running process.")).size(), 1);
    EXPECT_TRUE(exists(QStringLiteral("A_a.txt")));
    EXPECT_TRUE(exists(QStringLiteral("A_b.txt")));

    // Once the run has ended, a new request starts a new run.
    setRules({ suffixRule(QStringLiteral("_2")) });
    NotificationCenter::defaultCenter().post(commit);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return renameTaskIdle(); }, std::chrono::seconds(30)));
    waitForExecutors();
    EXPECT_TRUE(exists(QStringLiteral("A_a_2.txt")));
}

// Each cancel stops only its own task, and only a held one.
TEST_F(TransformationEventHandlerTest, EachCancelStopsOnlyItsOwnTask)
{
    LogCapture log;
    postNow(NotificationName::abortProcess);
    postNow(NotificationName::cancelPendingTransformationTasks);
    EXPECT_FALSE(log.contains(QStringLiteral("abortProcessEvent")));
    EXPECT_FALSE(log.contains(QStringLiteral("Cancelling pending transformation tasks [transformationQuickTask]")));

    // Keep the executor busy so that both tasks are still held while we cancel.
    std::atomic<bool> release = false;
    const TaskHandle blocker = TaskHandle::start(GlobalActors::transformation(), [&](std::stop_token) {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    postNow(NotificationName::applyChanges);
    postNow(NotificationName::commitChanges);

    postNow(NotificationName::cancelPendingTransformationTasks);
    EXPECT_TRUE(quickTaskIdle());
    EXPECT_FALSE(renameTaskIdle());

    postNow(NotificationName::applyChanges);
    postNow(NotificationName::abortProcess);
    EXPECT_TRUE(renameTaskIdle());
    EXPECT_FALSE(quickTaskIdle());
    EXPECT_TRUE(log.contains(QStringLiteral("abortProcessEvent")));

    release = true;
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return quickTaskIdle(); }));
    waitForExecutors();
    // The rename run was cancelled before it began: nothing renamed.
    EXPECT_FALSE(log.contains(QStringLiteral("🟩 Beginning long running process.")));
    EXPECT_TRUE(exists(QStringLiteral("a.txt")));
    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt") }));
}
