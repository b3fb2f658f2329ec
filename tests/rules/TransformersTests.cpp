// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotificationRecorder.h"
#include "RuleFixtures.h"
#include "TestEnvironment.h"

#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/FileAction.h"
#include "files/FileDataSource.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"

#include <QFile>

namespace {

class TransformersTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        TestEnvironment::drainEvents();
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
        RulesTest::TearDown();
    }

    static Transformer rule(TransformerType type = TransformerType::simple)
    {
        return makeRule(type);
    }
    QStringList ids() const
    {
        QStringList list;
        for (const Transformer& t : transformers.list())
            list << t.id;
        return list;
    }
    // What the notifications posted since the last call delivered, by name.
    QStringList delivered()
    {
        TestEnvironment::drainEvents();
        const QStringList names = recorder.names();
        recorder.received.clear();
        return names;
    }
    QUrl recipeFile(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return QUrl::fromLocalFile(path);
    }

    UndoManager undoManager;
    Transformers transformers;
    NotificationRecorder recorder { { NotificationName::applyChanges, NotificationName::transformButtonUpdated,
        NotificationName::updateButtonView, NotificationName::updateWindowTitle, NotificationName::dataSourceUpdated } };
};

} // namespace

TEST_F(TransformersTest, AnEmptyListAnswersNothing)
{
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(transformers.transformer(QStringLiteral("x")), std::nullopt);
    EXPECT_EQ(transformers.transformer(0), std::nullopt);
    EXPECT_EQ(transformers.transformer(-1), std::nullopt);
    EXPECT_EQ(transformers.currentTransformer(), std::nullopt);
    EXPECT_FALSE(transformers.hasPathScope());
    EXPECT_FALSE(transformers.usesFileAttributes());
    EXPECT_FALSE(transformers.contains(std::optional<qsizetype>(0)));
    EXPECT_FALSE(transformers.containsId(std::nullopt));

    transformers.load({});
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    const QStringList names = delivered();
    EXPECT_TRUE(names.contains(NotificationName::transformButtonUpdated));
    EXPECT_TRUE(names.contains(NotificationName::applyChanges));
}

TEST_F(TransformersTest, LoadingSelectsTheFirstRuleAndLooksUpById)
{
    const Transformer a = rule(), b = rule(TransformerType::prefix), c = rule(TransformerType::set);
    transformers.load({ a, b, c });
    EXPECT_EQ(transformers.currentTransformerId(), a.id);
    EXPECT_EQ(transformers.transformer(b.id)->type, TransformerType::prefix);
    EXPECT_EQ(transformers.indexOf(c.id), 2);
    EXPECT_EQ(transformers.transformer(2)->id, c.id);
    EXPECT_TRUE(transformers.contains(std::optional<Transformer>(b)));
    EXPECT_FALSE(transformers.contains(std::optional<Transformer>(rule())));
    EXPECT_TRUE(transformers.contains(std::optional<qsizetype>(2)));
    EXPECT_FALSE(transformers.contains(std::optional<qsizetype>(3)));
    EXPECT_FALSE(transformers.contains(std::optional<qsizetype>(-1)));
}

TEST_F(TransformersTest, RulesSharingAnIdAreNotFoundById)
{
    const Transformer a = rule();
    Transformer twin = rule(TransformerType::set);
    twin.id = a.id;
    transformers.load({ a, twin, rule() });
    EXPECT_EQ(transformers.transformer(a.id), std::nullopt);
    EXPECT_EQ(transformers.transformer(transformers.list()[2].id), std::nullopt);
    EXPECT_EQ(transformers.indexOf(a.id), 1);
}

TEST_F(TransformersTest, InsertDeleteAndMoveKeepTheCurrentRuleSensible)
{
    const Transformer a = rule(), b = rule(), c = rule();
    transformers.load({ a, b });
    delivered();
    transformers.insert(c, 10);
    EXPECT_EQ(ids(), (QStringList { a.id, b.id, c.id }));
    EXPECT_EQ(transformers.currentTransformerId(), c.id);

    EXPECT_FALSE(transformers.deleteTransformer(3));
    EXPECT_FALSE(transformers.deleteTransformer(-1));
    EXPECT_EQ(transformers.count(), 3);
    EXPECT_TRUE(transformers.deleteTransformer(2));
    EXPECT_EQ(transformers.currentTransformerId(), b.id);
    transformers.deleteTransformer(a.id);
    EXPECT_EQ(transformers.currentTransformerId(), b.id);
    transformers.deleteTransformer(QStringLiteral("unknown"));
    EXPECT_EQ(transformers.count(), 1);
    EXPECT_TRUE(transformers.deleteTransformer(0));
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    EXPECT_TRUE(delivered().isEmpty());

    struct Case {
        qsizetype from, to;
        QList<int> order;
    };
    const Case moves[] = { { 0, 2, { 1, 2, 0 } }, { 2, 0, { 2, 0, 1 } }, { 0, 1, { 1, 0, 2 } },
        { 1, 1, { 0, 1, 2 } }, { 0, 3, { 0, 1, 2 } }, { -1, 1, { 0, 1, 2 } } };
    const QStringList start { a.id, b.id, c.id };
    for (const Case& m : moves) {
        transformers.load({ a, b, c });
        transformers.selectTransformer(b.id);
        transformers.move(m.from, m.to);
        QStringList expected;
        for (int i : m.order)
            expected << start[i];
        EXPECT_EQ(ids(), expected) << m.from << " " << m.to;
        EXPECT_EQ(transformers.currentTransformerId(), b.id);
        EXPECT_EQ(transformers.indexOf(b.id), expected.indexOf(b.id));
    }
}

TEST_F(TransformersTest, SelectionFollowsIdsAndIndexes)
{
    const Transformer a = rule(), b = rule();
    transformers.load({ a, b });
    transformers.selectTransformer(QStringLiteral("unknown"));
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    transformers.selectTransformerAt(1);
    EXPECT_EQ(transformers.currentTransformerId(), b.id);
    EXPECT_EQ(transformers.currentTransformer()->id, b.id);
    transformers.selectTransformerAt(2);
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    transformers.selectTransformerAt(0);
    transformers.selectTransformerAt(-1);
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    transformers.selectTransformerAt(0);
    transformers.selectTransformerAt(std::nullopt);
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
}

TEST_F(TransformersTest, TheCurrentSelectRuleIsTheLastEnabledOneUpToTheCurrentRule)
{
    const Transformer s1 = rule(TransformerType::select), r = rule();
    Transformer s2 = rule(TransformerType::select);
    s2.disabled = true;
    const Transformer t = rule();
    transformers.load({ s1, r, s2, t });
    transformers.selectTransformer(t.id);
    EXPECT_EQ(transformers.currentSelectTransformer()->id, s1.id);
    transformers.selectTransformer(s1.id);
    EXPECT_EQ(transformers.currentSelectTransformer()->id, s1.id);

    s2.disabled = false;
    transformers.load({ s1, r, s2, t });
    transformers.selectTransformer(std::nullopt);
    EXPECT_EQ(transformers.currentSelectTransformer()->id, s2.id);
    transformers.selectTransformer(r.id);
    EXPECT_EQ(transformers.currentSelectTransformer()->id, s1.id);
    transformers.deleteTransformer(qsizetype(0));
    EXPECT_EQ(transformers.currentTransformerId(), r.id);
    EXPECT_EQ(transformers.currentSelectTransformer(), std::nullopt); // s1 is gone
    transformers.move(1, 0); // s2 before r
    EXPECT_EQ(transformers.currentSelectTransformer()->id, s2.id);
    transformers.move(0, 2); // s2 after r and t
    EXPECT_EQ(transformers.currentSelectTransformer(), std::nullopt);
}

TEST_F(TransformersTest, AddOrReplaceAppendsOrReplacesAndAlwaysAnnounces)
{
    Transformer a = rule();
    transformers.load({ a });
    delivered();

    transformers.addOrReplaceTransformer(a);
    EXPECT_EQ(transformers.count(), 1);
    QStringList names = delivered();
    EXPECT_TRUE(names.contains(NotificationName::updateButtonView));
    EXPECT_TRUE(names.contains(NotificationName::applyChanges));

    a.properties.simpleFindText = "x";
    transformers.addOrReplaceTransformer(a);
    EXPECT_EQ(transformers.list()[0].properties.simpleFindText, "x");

    const Transformer b = rule();
    transformers.addOrReplaceTransformer(b);
    EXPECT_EQ(ids(), (QStringList { a.id, b.id }));
    EXPECT_EQ(transformers.currentTransformerId(), a.id);
}

TEST_F(TransformersTest, UpdatesFromARunReplaceOnlyChangedRules)
{
    const Transformer a = rule(TransformerType::numbering), b = rule();
    transformers.load({ a, b });
    delivered();
    Transformer advanced = a;
    advanced.state.randomNumberGenerator.number(QUuid::createUuid(), 2, 10);
    Transformer stranger = rule();
    LogCapture log;
    transformers.updateTransformers({ advanced, b, stranger });
    EXPECT_EQ(transformers.list()[0].state, advanced.state);
    EXPECT_EQ(transformers.count(), 2);
    EXPECT_EQ(log.lines().filter("Updating transformer").size(), 1);
    EXPECT_TRUE(delivered().isEmpty());

    transformers.replaceTransformers({ b });
    EXPECT_EQ(ids(), QStringList { b.id });
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    EXPECT_TRUE(delivered().isEmpty());
}

TEST_F(TransformersTest, EnablingARuleAnnouncesTheChange)
{
    const Transformer a = rule();
    transformers.load({ a });
    delivered();
    transformers.updateEnabledState(a.id, false);
    EXPECT_TRUE(transformers.list()[0].disabled);
    const QStringList names = delivered();
    for (const QString& name : { NotificationName::updateButtonView, NotificationName::applyChanges,
             NotificationName::transformButtonUpdated })
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    transformers.updateEnabledState(QStringLiteral("unknown"), true);
    transformers.updateEnabledState(std::nullopt, true);
    EXPECT_TRUE(delivered().isEmpty());
}

TEST_F(TransformersTest, PathScopeAndFileAttributesLookAtEveryRule)
{
    Transformer attribute = makeRule(TransformerType::suffix, [](auto& p) { p.suffixText = TokenString::attribute("kind"); });
    attribute.disabled = true;
    const Transformer inFind = makeRule(TransformerType::regex, [](auto& p) { p.regexFindText = TokenString::attribute("kind"); });
    const Transformer fullPath = makeRule(TransformerType::simple, {}, TransformScope::fullPath);
    const Transformer extension = makeRule(TransformerType::simple, {}, TransformScope::ext);
    transformers.load({ inFind, extension });
    EXPECT_FALSE(transformers.usesFileAttributes());
    EXPECT_FALSE(transformers.hasPathScope());
    transformers.load({ inFind, fullPath });
    EXPECT_TRUE(transformers.hasPathScope()) << "a full-path rule edits the path too";
    transformers.load({ inFind, extension, attribute, makeRule(TransformerType::set, {}, TransformScope::path) });
    EXPECT_TRUE(transformers.usesFileAttributes());
    EXPECT_TRUE(transformers.hasPathScope());
}

TEST_F(TransformersTest, TheRecipeFileNamesTheDocument)
{
    const QUrl url = recipeFile(QStringLiteral("My Recipe.recipe"));
    transformers.setRecipeUrl(url);
    EXPECT_EQ(transformers.recipeUrl(), url);
    EXPECT_EQ(transformers.recipeName(), "My Recipe");
    QStringList names = delivered();
    EXPECT_TRUE(names.contains(NotificationName::updateWindowTitle));
    EXPECT_TRUE(names.contains(NotificationName::dataSourceUpdated));

    int cancelled = 0;
    transformers.setValidationCanceller([&] { ++cancelled; });
    transformers.load({ rule() });
    transformers.clear();
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    EXPECT_EQ(transformers.recipeUrl(), std::nullopt);
    EXPECT_EQ(transformers.recipeName(), "");
    EXPECT_EQ(cancelled, 1);
}

TEST_F(TransformersTest, ResetLeavesOneNewRule)
{
    transformers.setRecipeUrl(recipeFile(QStringLiteral("old.recipe")));
    transformers.load({ rule(TransformerType::set), rule(TransformerType::select) });
    delivered();
    transformers.reset();
    ASSERT_EQ(transformers.count(), 1);
    EXPECT_EQ(transformers.list()[0].type, TransformerType::simple);
    EXPECT_EQ(transformers.currentTransformerId(), transformers.list()[0].id);
    EXPECT_EQ(transformers.recipeUrl(), std::nullopt);
    const QStringList names = delivered();
    for (const QString& name : { NotificationName::updateWindowTitle, NotificationName::updateButtonView,
             NotificationName::applyChanges, NotificationName::transformButtonUpdated })
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
}

TEST_F(TransformersTest, ClearAllIsOneUndoableStep)
{
    const Transformer a = rule(), b = rule(TransformerType::prefix);
    const QUrl url = recipeFile(QStringLiteral("Holiday.recipe"));
    transformers.load({ a, b });
    transformers.setRecipeUrl(url);
    transformers.selectTransformer(b.id);
    delivered();

    AppNotification::post(NotificationName::clearAllTransformers);
    const QStringList names = delivered();
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(transformers.recipeUrl(), std::nullopt);
    EXPECT_EQ(transformers.recipeName(), "");
    for (const QString& name : { NotificationName::transformButtonUpdated, NotificationName::applyChanges,
             NotificationName::updateWindowTitle, NotificationName::dataSourceUpdated })
        EXPECT_TRUE(names.contains(name)) << name.toStdString();
    ASSERT_TRUE(undoManager.canUndo());
    EXPECT_EQ(undoManager.undoActionName(), "Clear All Transformers");

    undoManager.undo();
    EXPECT_EQ(ids(), (QStringList { a.id, b.id }));
    EXPECT_EQ(transformers.currentTransformerId(), a.id);
    EXPECT_EQ(transformers.recipeUrl(), url);
    EXPECT_EQ(transformers.recipeName(), "Holiday");
    EXPECT_TRUE(delivered().contains(NotificationName::updateWindowTitle));
    ASSERT_TRUE(undoManager.canRedo());
    EXPECT_EQ(undoManager.redoActionName(), "Clear All Transformers");

    undoManager.redo();
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(transformers.recipeUrl(), std::nullopt);
    undoManager.undo();
    EXPECT_EQ(transformers.count(), 2);
}

TEST_F(TransformersTest, ClearAllWorksWithoutAnUndoManager)
{
    MainWindowLocator::setUndoManager(nullptr);
    transformers.load({ rule(), rule() });
    transformers.clearAllTransformersEvent();
    EXPECT_TRUE(transformers.isEmpty());
}

TEST_F(TransformersTest, ResetRandomNumbersGivesTheCurrentRuleAFreshGenerator)
{
    auto dataSource = std::make_shared<FileDataSource>();
    dataSource->replaceFilesNoUndo(makeFiles({ "/data/a.jpg", "/data/b.jpg", "/data/c.jpg" }), FileAction::replace, false);
    DependencyInjectionRegistry::shared().registerInstance(dataSource);

    Transformer numbering = rule(TransformerType::numbering);
    numbering.state.randomNumberGenerator.number(QUuid::createUuid(), 2, 10);
    const Transformer other = rule(TransformerType::numbering);
    transformers.load({ numbering, other });
    delivered();

    AppNotification::post(NotificationName::resetRandomNumbers);
    const QStringList names = delivered();
    const UniqueRandomNumberGenerator& generator = transformers.list()[0].state.randomNumberGenerator;
    EXPECT_EQ(generator.minimumCount, 3);
    EXPECT_TRUE(generator.numbers.isEmpty());
    EXPECT_TRUE(generator.uniqueNumbers.isEmpty());
    EXPECT_EQ(transformers.list()[1].state, other.state);
    EXPECT_TRUE(names.contains(NotificationName::updateButtonView));
    EXPECT_TRUE(names.contains(NotificationName::applyChanges));

    // Without a current rule nothing changes.
    transformers.selectTransformer(std::nullopt);
    transformers.resetRandomNumbersEvent();
    EXPECT_TRUE(delivered().isEmpty());
}
