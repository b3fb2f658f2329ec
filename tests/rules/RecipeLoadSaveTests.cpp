// SPDX-License-Identifier: GPL-3.0-or-later
#include "RuleFixtures.h"
#include "TestEnvironment.h"
#include "files/FileFixtures.h"

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "core/AppNotification.h"
#include "platform/NotificationCenter.h"
#include "platform/BackgroundPool.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "tokens/TokenString.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>

#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct Alert {
    QString message;
    QString informative;
};

class RecipeLoadSaveTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        dataSource = std::make_shared<FileDataSource>();
        DependencyInjectionRegistry::shared().registerInstance(dataSource);
        // A sort order takes effect only on a list with files in it.
        dataSource->replaceFilesNoUndo(makeFiles({ "/a/b.txt", "/a/c.txt" }), FileAction::replace, true);
        transformers.setAlertPresenter([this](const QString& message, const QString& informative) {
            alerts.push_back({ message, informative });
        });
        transformers.setRecipeRememberer([this](const QUrl& url) { remembered << url; });
        TestEnvironment::drainEvents();
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
        RulesTest::TearDown();
    }

    QUrl writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return QUrl::fromLocalFile(file.fileName());
    }
    QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Opens and waits until the recipe has taken effect or was refused.
    template <typename Source>
    void open(const Source& recipe)
    {
        transformers.loadRecipe(recipe);
        EXPECT_TRUE(recipesLoaded());
    }
    bool recipesLoaded()
    {
        return TestEnvironment::processEventsUntil([&] { return !transformers.isLoadingRecipe(); });
    }
    bool sortedBy(FileSortOrder order)
    {
        return TestEnvironment::processEventsUntil([&] { return dataSource->sortOrder() == order; });
    }
    QStringList ids() const
    {
        QStringList list;
        for (const Transformer& t : transformers.list())
            list << t.id;
        return list;
    }
    // A document with two rules, a recipe file and a sort order of its own.
    void startWith(const QUrl& url)
    {
        transformers.load({ makeRule(TransformerType::prefix), makeRule(TransformerType::suffix) });
        transformers.setRecipeUrl(url);
        dataSource->sortByWithoutUndo(FileSortOrder::byPathDescending);
        ASSERT_TRUE(sortedBy(FileSortOrder::byPathDescending));
        undoManager.removeAllActions();
    }

    UndoManager undoManager;
    std::shared_ptr<FileDataSource> dataSource;
    Transformers transformers;
    std::vector<Alert> alerts;
    QList<QUrl> remembered;
};

const QByteArray kRecipe = R"({"recipe_format_version":"9.0","sortOrder":"byNameDescending","transformers":[
    {"id":"transformer_1A","type":"numbering","properties":{"numberStartText":"5"}},
    {"id":"transformer_1B","type":"simple","transformScope":"extension","properties":{"simpleFindText":"x"}}]})";

} // namespace

TEST_F(RecipeLoadSaveTest, OpeningIsOneUndoStepForRulesFileAndSortOrder)
{
    const QUrl before = writeFile("before.recipe", "{}");
    startWith(before);
    const QStringList previousIds = ids();
    const QUrl url = writeFile("r.recipe", kRecipe);

    open(url);
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_EQ(transformers.list().at(0).properties.numberStart, 5);
    EXPECT_EQ(transformers.currentTransformerId(), QString("transformer_1A"));
    EXPECT_EQ(transformers.recipeUrl(), url);
    EXPECT_EQ(transformers.recipeName(), "r");
    EXPECT_TRUE(sortedBy(FileSortOrder::byNameDescending));
    EXPECT_EQ(remembered, QList<QUrl>({ url }));
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(undoManager.undoCount(), 1);
    EXPECT_EQ(undoManager.undoActionName(), "Open Recipe");

    undoManager.undo();
    EXPECT_EQ(ids(), previousIds);
    EXPECT_EQ(transformers.currentTransformerId(), previousIds.first());
    EXPECT_EQ(transformers.recipeUrl(), before);
    EXPECT_TRUE(sortedBy(FileSortOrder::byPathDescending));

    undoManager.redo();
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_EQ(transformers.recipeUrl(), url);
    EXPECT_TRUE(sortedBy(FileSortOrder::byNameDescending));
}

TEST_F(RecipeLoadSaveTest, ARecipeWithoutRulesGivesAnEmptyList)
{
    startWith(writeFile("before.recipe", "{}"));
    open(writeFile("empty.recipe", "{}"));
    EXPECT_TRUE(transformers.isEmpty());
    EXPECT_EQ(transformers.currentTransformerId(), std::nullopt);
    EXPECT_EQ(undoManager.undoActionName(), "Open Recipe");
}

// Neither a damaged nor a newer recipe changes anything of the document.
TEST_F(RecipeLoadSaveTest, ARefusedRecipeLeavesTheDocumentAsItWas)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString informative; // empty: only the message is fixed
        bool remembered;
    };
    const QString incompatible = QStringLiteral(
        "The Recipe file is created by an incompatible version of Brackenfold.\n\nThe opened file format has version %1"
        "\nCurrently supported file format is version 9.1");
    const Case cases[] = {
        { "newer.recipe", R"({"recipe_format_version":"10","transformers":[]})", incompatible.arg("10"), true },
        { "patch.recipe", R"({"recipe_format_version":"9.1.1"})", incompatible.arg("9.1.1"), true },
        { "minor.recipe", R"({"recipe_format_version":"9.2.0"})", incompatible.arg("9.2.0"), true },
        { "truncated.recipe", kRecipe.left(60), {}, false },
        { "badtype.recipe", R"({"transformers":[{"type":"simple","properties":{}},{"type":"simple","properties":{"simpleWildcards":2}}]})", {}, false },
        { "token.recipe", R"({"transformers":[{"type":"simple","properties":{"simpleFindText":"a","simpleReplaceText":[{"type":"future-kind","value":"x"}]}}]})", {}, false },
        { "binary.recipe", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), {}, false },
    };
    const QUrl before = writeFile("before.recipe", "{}");
    startWith(before);
    const QList<Transformer> rules = transformers.list();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alerts.clear();
        remembered.clear();
        const QUrl url = writeFile(c.name, c.bytes);
        open(url);
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].message, "Unable to load Recipe");
        if (!c.informative.isEmpty())
            EXPECT_EQ(alerts[0].informative, c.informative);
        else
            EXPECT_TRUE(alerts[0].informative.startsWith("The data couldn’t be read because it isn’t in the correct format."))
                << alerts[0].informative.toStdString();
        EXPECT_EQ(remembered.isEmpty(), !c.remembered);
        EXPECT_EQ(transformers.list(), rules);
        EXPECT_EQ(transformers.recipeUrl(), before);
        EXPECT_EQ(undoManager.undoCount(), 0);
        TestEnvironment::drainEvents();
        EXPECT_EQ(dataSource->sortOrder(), FileSortOrder::byPathDescending);
    }
}

TEST_F(RecipeLoadSaveTest, AMissingFileIsReportedByItsPath)
{
    LogCapture log;
    const QString path = dir.filePath("gone.recipe");
    open(QUrl::fromLocalFile(path));
    const QString text = "Recipe file '" + path + "' does not exist.";
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Unable to load Recipe");
    EXPECT_EQ(alerts[0].informative, text);
    EXPECT_TRUE(log.contains(text));
    EXPECT_TRUE(remembered.isEmpty());
}

// A named pipe, a link to one, a folder and a file over the size limit are
// refused with a message, without waiting for a writer and without reading.
TEST_F(RecipeLoadSaveTest, OnlyARegularFileOfBoundedSizeIsReadAsARecipe)
{
    const QString pipe = dir.filePath("pipe.recipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("link.recipe")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.recipe"));
    {
        QFile huge(dir.filePath("huge.recipe"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(Recipe::MAX_FILE_SIZE + 1)) << "a sparse file, nothing written";
    }
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        { "pipe.recipe", "because it is not a regular file" },
        { "link.recipe", "because it is not a regular file" },
        { "folder.recipe", "because it is not a regular file" },
        { "huge.recipe", "is too large to be a recipe" },
    };
    startWith(QUrl::fromLocalFile(dir.filePath("before.recipe")));
    const QStringList before = ids();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alerts.clear();
        // Should the read wait in open(2) after all, a writer comes to end the
        // wait, so the failure is reported instead of hanging the run.
        std::mutex mutex;
        std::condition_variable loaded;
        bool done = false;
        bool released = false;
        std::thread rescue([&] {
            std::unique_lock lock(mutex);
            if (loaded.wait_for(lock, std::chrono::seconds(30), [&] { return done; }))
                return;
            released = true;
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        });
        transformers.loadRecipe(QUrl::fromLocalFile(dir.filePath(c.name)));
        EXPECT_TRUE(recipesLoaded());
        {
            std::lock_guard lock(mutex);
            done = true;
        }
        loaded.notify_one();
        rescue.join();
        EXPECT_FALSE(released) << "the load waited for a writer";
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].message, "Unable to load Recipe");
        EXPECT_TRUE(alerts[0].informative.contains(c.name)) << alerts[0].informative.toStdString();
        EXPECT_TRUE(alerts[0].informative.contains(c.reason)) << alerts[0].informative.toStdString();
        EXPECT_EQ(ids(), before);
        EXPECT_TRUE(remembered.isEmpty());
    }
}

// Recipe text from the command line: no file, nothing remembered, no alert.
TEST_F(RecipeLoadSaveTest, JsonTextLoadsWithoutAFile)
{
    startWith(writeFile("before.recipe", "{}"));
    open(QString::fromUtf8(kRecipe));
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_EQ(transformers.recipeUrl(), std::nullopt);
    EXPECT_EQ(transformers.recipeName(), "");
    EXPECT_TRUE(remembered.isEmpty());
    EXPECT_EQ(undoManager.undoActionName(), "Open Recipe");

    // Text that is no recipe is shown, as a file would be.
    LogCapture log;
    open(QStringLiteral("{\"transformers\": 1}"));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Unable to load Recipe");
    EXPECT_TRUE(alerts[0].informative.startsWith("The recipe text could not be read."));
    EXPECT_TRUE(log.contains("Unable to load recipe from JSON: \"{\"transformers\": 1}\""));
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
}

TEST_F(RecipeLoadSaveTest, RepeatedIdsInARecipeAreMadeUnique)
{
    open(QStringLiteral(
        R"({"transformers":[{"id":"transformer_5","type":"simple","properties":{}},{"id":"transformer_5","type":"prefix","properties":{}}]})"));
    ASSERT_EQ(transformers.count(), 2);
    EXPECT_EQ(transformers.list().at(0).id, "transformer_5");
    EXPECT_NE(transformers.list().at(1).id, "transformer_5");
    EXPECT_TRUE(transformers.transformer(transformers.list().at(1).id).has_value());
}

// Whatever ids a recipe holds, the loaded rules and the rules added after them
// have ids of their own, and each is found by its id.
TEST_F(RecipeLoadSaveTest, CraftedIdsLeaveEveryRuleFoundById)
{
    open(QStringLiteral(R"({"transformers":[)"
        R"({"id":"transformer_7FFFFFFFFFFFFFFF","type":"simple","properties":{}},)"
        R"({"id":"transformer_7FFFFFFFFFFFFFFF","type":"prefix","properties":{}},)"
        R"({"id":"transformer_-8000000000000000","type":"suffix","properties":{}},)"
        R"({"id":"transformer_99999999999999999999","type":"set","properties":{}},)"
        R"({"id":"transformer_nothex","type":"trim","properties":{}},)"
        R"({"id":"transformer_-8000000000000000","type":"insert","properties":{}}]})"));
    ASSERT_EQ(transformers.count(), 6);
    for (int i = 0; i < 3; ++i)
        transformers.addOrReplaceTransformer(Transformer::newTransformer());
    transformers.insert(Transformer::newTransformer(), 0);
    ASSERT_EQ(transformers.count(), 10);

    QSet<QString> seen;
    for (qsizetype i = 0; i < transformers.count(); ++i) {
        const QString id = transformers.list().at(i).id;
        SCOPED_TRACE(id.toStdString());
        EXPECT_FALSE(seen.contains(id));
        seen.insert(id);
        EXPECT_EQ(transformers.indexOf(id), i);
        const auto found = transformers.transformer(id);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->type, transformers.list().at(i).type);
    }
}

// Saving keeps each rule's own kind of settings; the rules in the list keep all of theirs.
TEST_F(RecipeLoadSaveTest, SavingWritesTheRecipeAndRemembersIt)
{
    Transformer simple = makeRule(TransformerType::simple, [](TransformerProperties& p) {
        p.simpleFindText = "a";
        p.numberStart = 7;
        p.numberFormat = "roman";
    });
    transformers.load({ simple });
    dataSource->sortByWithoutUndo(FileSortOrder::byDateModifiedAscending);
    ASSERT_TRUE(sortedBy(FileSortOrder::byDateModifiedAscending));
    const QString path = dir.filePath("saved.recipe");

    ASSERT_TRUE(transformers.saveRecipe(QUrl::fromLocalFile(path)));
    const QByteArray written = readFile(path);
    EXPECT_EQ(written,
        QByteArray(R"({"recipe_format_version":"9.1","sortOrder":"byDateModifiedAscending","transformers":[{"id":")")
            + simple.id.toUtf8()
            + R"(","properties":{"conversionType":null,"simpleFindText":"a"},"transformScope":"filename","type":"simple"}]})");
    EXPECT_EQ(transformers.list().at(0).properties.numberStart, 7);
    EXPECT_EQ(transformers.recipeUrl(), QUrl::fromLocalFile(path));
    EXPECT_EQ(remembered, QList<QUrl>({ QUrl::fromLocalFile(path) }));
    EXPECT_EQ(undoManager.undoCount(), 0);
    EXPECT_TRUE(alerts.empty());

    // What was saved opens again to the same rules.
    transformers.load({});
    open(QUrl::fromLocalFile(path));
    ASSERT_EQ(transformers.count(), 1);
    EXPECT_EQ(transformers.list().at(0), simple);
}

// A failed save says why, keeps the earlier file and the document's recipe file.
// Root writes into any folder: only a user sees the refusal.
TEST_F(RecipeLoadSaveTest, ASaveIntoAReadOnlyFolderIsReportedAndKeepsTheEarlierFileAsUser)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QUrl before = writeFile("before.recipe", "{}");
    startWith(before);
    QDir(dir.path()).mkdir("locked");
    const QString locked = dir.filePath("locked");
    const QUrl lockedRecipe = QUrl::fromLocalFile(locked + "/r.recipe");
    {
        QFile earlier(lockedRecipe.toLocalFile());
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const bool saved = transformers.saveRecipe(lockedRecipe);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_FALSE(saved);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Unable to save Recipe");
    EXPECT_TRUE(alerts[0].informative.contains(lockedRecipe.toLocalFile()));
    EXPECT_EQ(readFile(lockedRecipe.toLocalFile()), "earlier");
    EXPECT_EQ(transformers.recipeUrl(), before);
    EXPECT_TRUE(remembered.isEmpty());
    EXPECT_EQ(QDir(locked).entryList(QDir::Files | QDir::Hidden), QStringList({ "r.recipe" }));
}

TEST_F(RecipeLoadSaveTest, AFailedSaveIsReportedAndKeepsTheEarlierFile)
{
    const QUrl before = writeFile("before.recipe", "{}");
    startWith(before);
    LogCapture log;

    // A folder that is a file: nothing can be made in it, whoever runs the test.
    const QUrl underFile = QUrl::fromLocalFile(before.toLocalFile() + "/r.recipe");
    EXPECT_FALSE(transformers.saveRecipe(underFile));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, "Unable to save Recipe");
    const QString logStart = QStringLiteral("Unable to save to %1,error: ").arg(underFile.toString());
    EXPECT_TRUE(std::any_of(log.lines().cbegin(), log.lines().cend(),
        [&](const QString& line) { return line.startsWith(logStart); }));
    alerts.clear();

    // The disk fills up while writing: the earlier file stays whole.
    const QUrl full = writeFile("full.recipe", "earlier");
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved16 = transformers.saveRecipe(full);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved16);
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_EQ(readFile(full.toLocalFile()), "earlier");

    EXPECT_EQ(transformers.recipeUrl(), before);
    EXPECT_TRUE(remembered.isEmpty());
    // No temporary file left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({ "before.recipe", "defaults.json", "full.recipe" }));
}

// Before the window (and its undo manager) exists, a recipe still opens; only
// the undo step is missing.
TEST_F(RecipeLoadSaveTest, ARecipeOpenedBeforeTheWindowIsNotDropped)
{
    MainWindowLocator::setUndoManager(nullptr);
    open(writeFile("early.recipe", kRecipe));
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_TRUE(sortedBy(FileSortOrder::byNameDescending));
    EXPECT_EQ(undoManager.undoCount(), 0);
}

// Recipes are read off the main thread: one asked for later never overtakes
// one still being read, whatever their sizes, and each is its own undo step.
TEST_F(RecipeLoadSaveTest, RecipesTakeEffectInTheOrderTheyWereAskedFor)
{
    startWith(writeFile("before.recipe", "{}"));
    // Large enough to be read well after the small ones.
    QByteArray large = R"({"transformers":[)";
    for (int i = 0; i < 20000; ++i)
        large += QByteArray(i ? "," : "") + R"({"type":"simple","properties":{"simpleFindText":"x"}})";
    large += "]}";
    const QUrl largeUrl = writeFile("large.recipe", large);
    const QUrl smallUrl = writeFile("small.recipe", kRecipe);

    transformers.loadRecipe(largeUrl);
    transformers.loadRecipe(QStringLiteral(R"({"transformers":[{"type":"suffix","properties":{}}]})"));
    transformers.loadRecipe(QUrl::fromLocalFile(dir.filePath("gone.recipe")));
    transformers.loadRecipe(smallUrl);
    EXPECT_TRUE(transformers.isLoadingRecipe());
    ASSERT_TRUE(recipesLoaded());

    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_EQ(transformers.recipeUrl(), smallUrl);
    EXPECT_EQ(remembered, QList<QUrl>({ largeUrl, smallUrl }));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(alerts[0].informative.contains("gone.recipe"));
    EXPECT_FALSE(transformers.hasUnsavedChanges());
    ASSERT_EQ(undoManager.undoCount(), 3);
    undoManager.undo();
    ASSERT_EQ(transformers.count(), 1);
    EXPECT_EQ(transformers.list().at(0).type, TransformerType::suffix);
    undoManager.undo();
    EXPECT_EQ(transformers.count(), 20000);
    EXPECT_EQ(transformers.recipeUrl(), largeUrl);
    EXPECT_FALSE(transformers.hasUnsavedChanges());
}

// The document may go while its recipe is read; the read then changes nothing.
TEST_F(RecipeLoadSaveTest, ARecipeReadForAGoneDocumentIsDropped)
{
    auto document = std::make_unique<Transformers>();
    bool warned = false;
    document->setAlertPresenter([&](const QString&, const QString&) { warned = true; });
    document->loadRecipe(writeFile("r.recipe", kRecipe));
    document->loadRecipe(QUrl::fromLocalFile(dir.filePath("gone.recipe")));
    document.reset();
    // Both reads end, and their answers reach the main thread, after the document went.
    BackgroundPool::waitForDone();
    TestEnvironment::drainEvents();
    EXPECT_FALSE(warned);
    EXPECT_EQ(undoManager.undoCount(), 0);
}

// Whether the rules differ from the recipe file follows every edit, back and
// forth, also while the answers for unchanged rules are reused.
TEST_F(RecipeLoadSaveTest, UnsavedChangesFollowEveryEditAndItsReversal)
{
    open(writeFile("r.recipe", kRecipe));
    ASSERT_EQ(transformers.count(), 2);
    const Transformer numbering = transformers.list().at(0);
    const Transformer simple = transformers.list().at(1);
    EXPECT_FALSE(transformers.hasUnsavedChanges());

    Transformer edited = simple;
    edited.properties.simpleFindText = QStringLiteral("y");
    transformers.updateTransformers({ edited });
    EXPECT_TRUE(transformers.hasUnsavedChanges());
    transformers.updateTransformers({ simple });
    EXPECT_FALSE(transformers.hasUnsavedChanges()) << "back as the file holds it";

    // A field of another kind is not stored, so it changes nothing.
    edited = simple;
    edited.properties.prefixText = TokenString::string(QStringLiteral("p"));
    transformers.updateTransformers({ edited });
    EXPECT_FALSE(transformers.hasUnsavedChanges());

    transformers.move(0, 1);
    EXPECT_TRUE(transformers.hasUnsavedChanges());
    transformers.move(1, 0);
    EXPECT_FALSE(transformers.hasUnsavedChanges());
    transformers.deleteTransformer(1);
    EXPECT_TRUE(transformers.hasUnsavedChanges());
    transformers.insert(simple, 1);
    EXPECT_FALSE(transformers.hasUnsavedChanges());

    edited = numbering;
    edited.disabled = true;
    transformers.updateTransformers({ edited });
    EXPECT_TRUE(transformers.hasUnsavedChanges());
    ASSERT_TRUE(transformers.saveRecipe(transformers.recipeUrl().value()));
    EXPECT_FALSE(transformers.hasUnsavedChanges());
    transformers.updateTransformers({ numbering });
    EXPECT_TRUE(transformers.hasUnsavedChanges()) << "the file now holds the disabled rule";
}

// A recipe read while input is blocked (a rename run) waits for the end of the
// block: the run keeps the rules it started with.
TEST_F(RecipeLoadSaveTest, ARecipeReadDuringARunTakesEffectAfterIt)
{
    // Told at once, as the rename run tells it.
    const auto block = [](const QString& name) { NotificationCenter::defaultCenter().post(Notification { name, {}, std::nullopt }); };
    startWith(writeFile("before.recipe", "{}"));
    const QStringList before = ids();
    block(NotificationName::disableUserInput);
    block(NotificationName::disableUserInput);
    const QUrl url = writeFile("r.recipe", kRecipe);
    transformers.loadRecipe(url);
    transformers.loadRecipe(QUrl::fromLocalFile(dir.filePath("gone.recipe")));
    BackgroundPool::waitForDone();
    TestEnvironment::drainEvents();
    EXPECT_TRUE(transformers.isLoadingRecipe());
    EXPECT_EQ(ids(), before);
    EXPECT_TRUE(alerts.empty());

    block(NotificationName::enableUserInput);
    TestEnvironment::drainEvents();
    EXPECT_EQ(ids(), before) << "still blocked once";
    block(NotificationName::enableUserInput);
    EXPECT_FALSE(transformers.isLoadingRecipe());
    EXPECT_EQ(ids(), QStringList({ "transformer_1A", "transformer_1B" }));
    EXPECT_EQ(transformers.recipeUrl(), url);
    EXPECT_EQ(alerts.size(), 1u);
}
