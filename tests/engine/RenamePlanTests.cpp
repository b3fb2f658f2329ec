// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTestSupport.h"
#include "engine/TransformationQueue.h"
#include "engine/TransformationUtil+renamePlan.h"

using TransformationUtil::getRenamingPlanFor;

class RenamePlanTest : public EngineRunTest {
protected:
    // The files the single-file queue holds now, front first.
    QList<File> queuedFiles()
    {
        // Shared with the job: a wait that gives up leaves it nothing dangling.
        const auto files = std::make_shared<QList<File>>();
        const TaskHandle probe = TaskHandle::start(GlobalActors::transformationQueue(), [files](std::stop_token) {
            FileQueue& queue = TransformationQueue::fileTransformQueue();
            while (std::optional<File> file = queue.nextFile())
                *files << *file;
        });
        // The main thread does not run meanwhile, so the queue's own drain
        // cannot take the files first.
        if (!probe.waitFinished(std::chrono::seconds(60))) {
            ADD_FAILURE() << "the queue's executor did not answer";
            return {};
        }
        return *files;
    }
};

TEST_F(RenamePlanTest, ADisabledRuleAndRulesBehindANonMatchingSelectAreStruckThrough)
{
    const File file(QUrl::fromLocalFile(touch(QStringLiteral("photo.jpg"))), false);
    Transformer disabled = prefixRule(QStringLiteral("X_"));
    disabled.disabled = true;
    const QList<Transformer> rules { prefixRule(QStringLiteral("A_")), disabled,
        selectMatchingRule(QStringLiteral("nothing-like-this")), suffixRule(QStringLiteral("_S")) };

    const QList<RenamePlanItem> plan = getRenamingPlanFor(file, rules);

    const QString folder = root.path() + QStringLiteral("/\n");
    const QList<RenamePlanItem> expected {
        { QStringLiteral("Original Name"), folder + QStringLiteral("photo.jpg"), true },
        { QStringLiteral("Prefix filename"), folder + QStringLiteral("A_photo.jpg"), true },
        { QStringLiteral("Prefix filename"), folder + QStringLiteral("A_photo.jpg"), false },
        { QStringLiteral("Select filename"), folder + QStringLiteral("A_photo.jpg"), true },
        { QStringLiteral("Suffix filename"), folder + QStringLiteral("A_photo.jpg"), false },
    };
    EXPECT_EQ(plan, expected);
    EXPECT_TRUE(queuedFiles().isEmpty());
}

TEST_F(RenamePlanTest, RowsOfAFileWithoutExtension)
{
    const File file(QUrl::fromLocalFile(touch(QStringLiteral("README"))), false);
    EXPECT_EQ(getRenamingPlanFor(file, {}).size(), 1);

    Transformer numbering = Transformer::newTransformer();
    numbering.type = TransformerType::numbering;
    const QList<RenamePlanItem> plan = getRenamingPlanFor(file, { suffixRule(QStringLiteral("_1")), numbering });
    ASSERT_EQ(plan.size(), 3);
    EXPECT_EQ(plan[1].fullPath, root.path() + QStringLiteral("/\nREADME_1"));
    EXPECT_EQ(plan[2].label, QStringLiteral("Number filename"));
    EXPECT_EQ(plan[2].fullPath, root.path() + QStringLiteral("/\nREADME_11"));
}

// The plan shows the quick result and hands the file to the queue, in front.
TEST_F(RenamePlanTest, AReplayWaitingForDataQueuesTheFileOnceAtHighPriority)
{
    File waiting(QUrl::fromLocalFile(touch(QStringLiteral("a.txt"))), false);
    File other(QUrl::fromLocalFile(touch(QStringLiteral("b.txt"))), false);
    TransformationQueue::enqueFileTransformation(other, TransformationQueue::TransformationPriority::normal);

    Transformer attributeRule = Transformer::newTransformer();
    attributeRule.type = TransformerType::prefix;
    attributeRule.properties.prefixText = TokenString::attribute(QStringLiteral("kMDItemKind"));
    const QList<RenamePlanItem> plan = getRenamingPlanFor(waiting, { attributeRule });
    ASSERT_EQ(plan.size(), 2);
    EXPECT_EQ(plan[1].fullPath, root.path() + QStringLiteral("/\na.txt"));

    const QList<File> queued = queuedFiles();
    ASSERT_EQ(queued.size(), 2);
    EXPECT_EQ(queued[0].source.id, waiting.source.id);
    EXPECT_EQ(queued[1].source.id, other.source.id);
}
