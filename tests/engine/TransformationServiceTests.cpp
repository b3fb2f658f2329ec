// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "core/AppNotification+Typed.h"

// The preview of all files, run as the event handler runs it.
class TransformationServiceTest : public EngineRunTest {
protected:
    void SetUp() override
    {
        EngineRunTest::SetUp();
        listFiles({ QStringLiteral("a.txt"), QStringLiteral("b.txt") });
        setRules({ prefixRule(QStringLiteral("A_")) });
        TestEnvironment::drainEvents();
    }

    // Calls `hook` on the main thread while the preview's busy indicator shows:
    // after the pass took its copies, before it writes back.
    void duringPass(std::function<void()> hook)
    {
        NotificationCenter::defaultCenter().addObserver(&observer, NotificationName::showProgressIndicator,
            [hook = std::move(hook)](const Notification& notification) {
                if (AppNotification::ShowProgressIndicator::get(notification).message == QStringLiteral("Transforming..."))
                    hook();
            });
    }

    QObject observer;
};

TEST_F(TransformationServiceTest, ThePreviewWritesTheNewNamesValidatesAndTellsTheTable)
{
    LogCapture log;
    NotificationRecorder recorder({ NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator,
        NotificationName::dataSourceUpdated });
    runPreview();

    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("A_a.txt"), QStringLiteral("A_b.txt") }));
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Starting transform all 2 files (quick) [called from: ]")));
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Validating 2 files.")));
    EXPECT_TRUE(log.contains(QStringLiteral("🔷 Transforming all 2 files (quick) finished, needsLateUpdate: false")));
    EXPECT_EQ(recorder.count(NotificationName::showProgressIndicator), recorder.count(NotificationName::hideProgressIndicator));
    EXPECT_GE(recorder.count(NotificationName::dataSourceUpdated), 1);
    // Files on disk are untouched by a preview.
    EXPECT_TRUE(exists(QStringLiteral("a.txt")));
}

TEST_F(TransformationServiceTest, AnEmptyListDoesNothing)
{
    listFiles({});
    TestEnvironment::drainEvents();
    LogCapture log;
    NotificationRecorder recorder({ NotificationName::showProgressIndicator, NotificationName::dataSourceUpdated });
    runPreview();
    EXPECT_TRUE(recorder.received.empty());
    EXPECT_TRUE(log.lines().filter(QStringLiteral("Starting transform all")).isEmpty());
}

TEST_F(TransformationServiceTest, AListReplacedDuringThePassRefusesTheWriteBack)
{
    duringPass([this] { listFiles({ QStringLiteral("c.txt"), QStringLiteral("d.txt") }); });
    LogCapture log;
    NotificationRecorder recorder({ NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator,
        NotificationName::dataSourceUpdated });
    runPreview();

    EXPECT_EQ(newNames(), QStringList({ QStringLiteral("c.txt"), QStringLiteral("d.txt") }));
    EXPECT_FALSE(log.contains(QStringLiteral("🔷 Validating 2 files.")));
    EXPECT_EQ(recorder.count(NotificationName::showProgressIndicator), 1);
    EXPECT_EQ(recorder.count(NotificationName::hideProgressIndicator), 1);
    EXPECT_GE(recorder.count(NotificationName::dataSourceUpdated), 1);
}

// The pass hands back the run state it reached; the edit made meanwhile stays.
TEST_F(TransformationServiceTest, ARuleEditedDuringThePassKeepsTheEdit)
{
    const QString id = transformers->list().first().id;
    ASSERT_EQ(transformers->list().first().state.randomNumberGenerator.minimumCount, 1);
    duringPass([this] {
        Transformer edited = transformers->list().first();
        edited.properties.prefixText = TokenString::string(QStringLiteral("B_"));
        transformers->updateTransformers({ edited });
    });
    runPreview();

    const Transformer rule = *transformers->transformer(id);
    EXPECT_EQ(rule.properties.prefixText, TokenString::string(QStringLiteral("B_")));
    EXPECT_EQ(rule.state.randomNumberGenerator.minimumCount, 2);
}
