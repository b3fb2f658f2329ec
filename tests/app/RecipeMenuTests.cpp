// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/AccessoryPanelView.h"
#include "app/OpenDocumentMenuAction.h"
#include "app/OpenPanel.h"
#include "app/OpenMostRecentRecipeHandler.h"
#include "app/OpenRecipeMenuAction.h"
#include "app/RecentRecipeList.h"
#include "app/SaveRecipeMenuAction.h"
#include "core/AppNotification+Typed.h"
#include "core/Preference.h"
#include "platform/DefaultsStore.h"
#include "platform/NotificationCenter.h"
#include "rules/Transformers.h"
#include "tokenui/LookupTablePanelController.h"
#include "uikit/FileDialogFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <map>

namespace {

template <typename T>
T* globalAction()
{
    for (QObject* action : MainMenu::globalMenuActions())
        if (auto* typed = qobject_cast<T*>(action))
            return typed;
    return nullptr;
}

// The shared objects of start-up with preferences of the test's own.
class RecipeAppTest : public AppTest {
protected:
    void SetUp() override
    {
        store = std::make_unique<DefaultsStore>(settings.filePath(QStringLiteral("defaults.json")));
        Preference::setStore(store.get());
        AppTest::SetUp();
        dataSource->replaceFilesNoUndo({}, FileAction::replace, true);
        AppDelegate::installServiceHooks();
        recentRecipes = DependencyInjectionRegistry::get<RecentRecipeList>("test", "test", 0);
        transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
        ASSERT_TRUE(recentRecipes && transformers);
    }
    void TearDown() override
    {
        AppTest::TearDown();
        Preference::setStore(nullptr);
    }

    QString writeRecipe(const QString& folder, const QString& name, const QByteArray& bytes = "{}")
    {
        const QString path = folder + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QMenu* recentMenu()
    {
        for (QAction* top : window->menuBar()->actions())
            if (top->text() == "&File")
                for (QAction* item : top->menu()->actions())
                    if (item->text() == "Recent Recipes")
                        return item->menu();
        return nullptr;
    }
    QStringList stored() { return Preference::stringArrayFor(PreferenceKey::recentRecipes); }
    // Recipes are read off the main thread.
    bool recipesLoaded()
    {
        return TestEnvironment::processEventsUntil([&] { return !transformers->isLoadingRecipe(); });
    }
    void openRecipe(const QString& path)
    {
        transformers->loadRecipe(QUrl::fromLocalFile(path));
        EXPECT_TRUE(recipesLoaded());
    }

    QTemporaryDir settings;
    std::unique_ptr<DefaultsStore> store;
    std::shared_ptr<RecentRecipeList> recentRecipes;
    std::shared_ptr<Transformers> transformers;
    ScriptedAlertPresenter alerts;
};

const QByteArray kTwoRules = R"({"recipe_format_version":"9.1","transformers":[
    {"id":"transformer_A1","type":"prefix","properties":{}},{"id":"transformer_A2","type":"suffix","properties":{}}]})";

} // namespace

TEST_F(RecipeAppTest, TheRecentListKeepsTheNewestFirstOncePerFileAndAtMostTen)
{
    const QString folder = makeFolder({});
    QStringList paths;
    for (int i = 0; i < 12; ++i)
        paths << writeRecipe(folder, QStringLiteral("r%1.recipe").arg(i));
    for (const QString& path : paths.mid(0, 3))
        recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(path));
    EXPECT_EQ(recentRecipes->list(), QStringList({ paths[2], paths[1], paths[0] }));

    // The path as opened is kept: a link and a path through ".." are entries
    // of their own; only another spelling of the same accents is the same path.
    QFile::link(paths[0], folder + "/link.recipe");
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(folder + "/link.recipe"));
    EXPECT_EQ(recentRecipes->list(), QStringList({ folder + "/link.recipe", paths[2], paths[1], paths[0] }));
    const QString throughParent = folder + "/../" + QFileInfo(folder).fileName() + "/r1.recipe";
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(throughParent));
    EXPECT_EQ(recentRecipes->list().first(), throughParent);
    const QString composed = writeRecipe(folder, QString::fromUtf8("caf\u00e9.recipe"));
    const QString decomposed = folder + QString::fromUtf8("/cafe\u0301.recipe");
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(composed));
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(decomposed));
    EXPECT_EQ(recentRecipes->list().size(), 6);
    EXPECT_EQ(recentRecipes->list().first(), decomposed);
    EXPECT_EQ(stored(), recentRecipes->list());

    for (const QString& path : paths)
        recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(path));
    ASSERT_EQ(recentRecipes->list().size(), RecentRecipeList::MAX_SIZE);
    EXPECT_EQ(recentRecipes->list().first(), paths[11]);
    EXPECT_EQ(recentRecipes->list().last(), paths[2]);
    EXPECT_EQ(stored(), recentRecipes->list());
    // A new start reads the same list back.
    EXPECT_EQ(RecentRecipeList().list(), recentRecipes->list());

    recentRecipes->clear();
    EXPECT_TRUE(recentRecipes->isEmpty());
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(RecipeAppTest, AStoredValueThatIsNoListOfTextsGivesAnEmptyList)
{
    store->setValue(PreferenceKey::recentRecipes.rawValue, QJsonArray({ "/a.recipe", 3 }));
    EXPECT_TRUE(RecentRecipeList().isEmpty());
    store->setValue(PreferenceKey::recentRecipes.rawValue, QStringLiteral("/a.recipe"));
    EXPECT_TRUE(RecentRecipeList().isEmpty());
    store->setValue(PreferenceKey::recentRecipes.rawValue, QJsonArray({ "/a.recipe", "/b.recipe" }));
    EXPECT_EQ(RecentRecipeList().list(), QStringList({ "/a.recipe", "/b.recipe" }));
}

TEST_F(RecipeAppTest, TheMenuShowsExistingRecipesAndClearMenu)
{
    makeWindow();
    QMenu* menu = recentMenu();
    ASSERT_NE(menu, nullptr);
    recentRecipes->updateMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), RecentRecipeList::CLEAR_MENU_TITLE);
    EXPECT_FALSE(menu->actions()[0]->isEnabled());

    const QString folder = makeFolder({});
    QDir(folder).mkdir("b");
    const QString folderRecipe = writeRecipe(folder + "/b", ".recipe");
    const QString plain = writeRecipe(folder, "plain.recipe");
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(folderRecipe));
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(plain));
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "plain.recipe");
    EXPECT_EQ(items[0]->toolTip(), plain);
    EXPECT_EQ(items[0]->objectName(), plain);
    EXPECT_EQ(items[1]->text(), "/b");
    EXPECT_EQ(items[1]->toolTip(), folderRecipe);
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), RecentRecipeList::CLEAR_MENU_TITLE);
    window->validateMenuItems();
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_TRUE(items[3]->isEnabled());

    // A recipe that went stays listed but not shown.
    QFile::remove(plain);
    QFile::remove(folderRecipe);
    recentRecipes->updateMenu();
    items = menu->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[0]->isSeparator());
    EXPECT_EQ(items[1]->text(), RecentRecipeList::CLEAR_MENU_TITLE);
    EXPECT_EQ(recentRecipes->list().size(), 2);

    // Clear Menu empties the list through the window's routing.
    items[1]->trigger();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recentRecipes->isEmpty(); }));
    EXPECT_EQ(menu->actions().size(), 1);
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
}

TEST_F(RecipeAppTest, ARecentEntryOpensItsRecipe)
{
    makeWindow();
    const QString path = writeRecipe(makeFolder({}), "two.recipe", kTwoRules);
    recentRecipes->rememberRecipeAt(QUrl::fromLocalFile(path));
    QAction* entry = recentMenu()->actions().value(0);
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->count() == 2; }));
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(path));
    EXPECT_EQ(window->undoManager().undoActionName(), "Open Recipe");
}

TEST_F(RecipeAppTest, OpeningAndSavingRememberTheRecipe)
{
    makeWindow();
    const QString folder = makeFolder({});
    const QString opened = writeRecipe(folder, "opened.recipe", kTwoRules);
    openRecipe(opened);
    const QString saved = folder + "/saved.recipe";
    ASSERT_TRUE(transformers->saveRecipe(QUrl::fromLocalFile(saved)));
    EXPECT_EQ(recentRecipes->list(), QStringList({ saved, opened }));
    EXPECT_EQ(recentMenu()->actions().value(0)->text(), "saved.recipe");
}

// A failed load or save is shown to the user, with the reason.
TEST_F(RecipeAppTest, FailuresAreShownAsWarnings)
{
    makeWindow();
    const QString folder = makeFolder({});
    const QString damaged = writeRecipe(folder, "damaged.recipe", "{\"transformers\": [");
    transformers->loadRecipe(QUrl::fromLocalFile(damaged));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return alerts.requests.size() == 1; }));
    EXPECT_EQ(alerts.requests[0].messageText, "Unable to load Recipe");
    EXPECT_TRUE(recentRecipes->isEmpty());

    EXPECT_FALSE(transformers->saveRecipe(QUrl::fromLocalFile(damaged + "/x.recipe")));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return alerts.requests.size() == 2; }));
    EXPECT_EQ(alerts.requests[1].messageText, "Unable to save Recipe");
    EXPECT_TRUE(alerts.requests[1].informativeText.contains(damaged + "/x.recipe"));
}

TEST_F(RecipeAppTest, AnOpenRecipeRequestWithAFileAndTextOpensTheFile)
{
    makeWindow();
    const QString path = writeRecipe(makeFolder({}), "two.recipe", kTwoRules);
    NotificationCenter::defaultCenter().post({ NotificationName::openRecipe, {},
        QVariantMap { { "url", QUrl::fromLocalFile(path) }, { "json", QStringLiteral("{\"transformers\":[]}") } } });
    ASSERT_TRUE(recipesLoaded());
    EXPECT_EQ(transformers->count(), 2);
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(path));

    AppNotification::OpenRecipe::postJson(QStringLiteral("{\"transformers\":[]}"));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->isEmpty(); }));
    EXPECT_EQ(transformers->recipeUrl(), std::nullopt);
}

TEST_F(RecipeAppTest, SaveWritesToTheRecipeFileWithoutAPanel)
{
    makeWindow();
    auto* save = globalAction<SaveRecipeMenuAction>();
    ASSERT_NE(save, nullptr);
    const QString path = writeRecipe(makeFolder({}), "doc.recipe", kTwoRules);
    openRecipe(path);
    transformers->deleteTransformer(1);
    ASSERT_TRUE(window->sendAction("saveRecipe:", nullptr));
    TestEnvironment::drainEvents();
    EXPECT_EQ(save->savePanel(), nullptr);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("transformer_A1"));
    EXPECT_FALSE(written.contains("transformer_A2"));

    // Without a recipe file Save asks for one.
    transformers->setRecipeUrl(std::nullopt);
    ASSERT_TRUE(window->sendAction("saveRecipe:", nullptr));
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return save->savePanel() != nullptr; }));
    EXPECT_EQ(save->savePanel()->windowTitle(), "Save Recipe");
    EXPECT_EQ(save->savePanel()->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->savePanel()->defaultSuffix(), "recipe");
    save->savePanel()->reject();
}

TEST_F(RecipeAppTest, SavingAsAFoldersRecipeKeepsOneExtension)
{
    EXPECT_EQ(SaveRecipeMenuAction::recipeUrl("/a/b/.recipe.recipe"), QUrl::fromLocalFile("/a/b/.recipe"));
    EXPECT_EQ(SaveRecipeMenuAction::recipeUrl("/a/b/.recipe"), QUrl::fromLocalFile("/a/b/.recipe"));
    EXPECT_EQ(SaveRecipeMenuAction::recipeUrl("/a/b/x.recipe.recipe"), QUrl::fromLocalFile("/a/b/x.recipe.recipe"));
    EXPECT_EQ(SaveRecipeMenuAction::recipeUrl("/a/b/x.recipe"), QUrl::fromLocalFile("/a/b/x.recipe"));
}

// The chooser set to folders opens the ".recipe" file inside the chosen folder.
TEST_F(RecipeAppTest, OpenRecipeTakesAFileOrTheRecipeOfAFolder)
{
    makeWindow();
    auto* open = globalAction<OpenRecipeMenuAction>();
    ASSERT_NE(open, nullptr);
    const QString folder = makeFolder({});
    QDir(folder).mkdir("holiday");
    const QString folderRecipe = writeRecipe(folder + "/holiday", ".recipe", kTwoRules);

    ASSERT_TRUE(window->sendAction("openRecipe:", nullptr));
    QFileDialog* panel = open->openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFile);
    QComboBox* popup = open->accessoryView()->recipeFileTypePopup();
    EXPECT_TRUE(panel->isAncestorOf(popup));
    popup->setCurrentIndex(popup->findData(1));
    EXPECT_EQ(panel->fileMode(), QFileDialog::Directory);
    panel->setDirectory(folder);
    panel->selectFile(folder + "/holiday");
    QMetaObject::invokeMethod(panel, "accept");
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->count() == 2; }));
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(folderRecipe));
    EXPECT_EQ(recentRecipes->list(), QStringList({ folderRecipe }));

    // The next panel keeps the last choice; the chooser outlived the first panel.
    TestEnvironment::drainEvents();
    ASSERT_TRUE(window->sendAction("openRecipe:", nullptr));
    ASSERT_NE(open->openPanel(), nullptr);
    EXPECT_EQ(open->openPanel()->fileMode(), QFileDialog::Directory);
    popup->setCurrentIndex(popup->findData(0));
    EXPECT_EQ(open->openPanel()->fileMode(), QFileDialog::ExistingFile);
    open->openPanel()->reject();
}

// Rules edited after the recipe was opened are marked in the title, and the
// commands that would drop them ask first; only Save and Don't Save go on.
TEST_F(RecipeAppTest, UnsavedRecipeChangesAreMarkedAndAskedAboutFirst)
{
    makeWindow();
    auto* open = globalAction<OpenRecipeMenuAction>();
    ASSERT_NE(open, nullptr);
    const QString folder = makeFolder({});
    const QString path = folder + "/doc.recipe";
    const auto openEdited = [&](bool edit) {
        QFile::remove(path);
        writeRecipe(folder, "doc.recipe", kTwoRules);
        openRecipe(path);
        if (edit)
            transformers->deleteTransformer(1);
        // As the rule bar does after every edit.
        AppNotification::post(NotificationName::applyChanges);
        TestEnvironment::drainEvents();
    };

    openEdited(false);
    EXPECT_FALSE(transformers->hasUnsavedChanges());
    EXPECT_FALSE(window->windowTitle().startsWith("*")) << window->windowTitle().toStdString();
    transformers->deleteTransformer(1);
    AppNotification::post(NotificationName::applyChanges);
    TestEnvironment::drainEvents();
    EXPECT_TRUE(transformers->hasUnsavedChanges());
    EXPECT_TRUE(window->windowTitle().startsWith("*doc")) << window->windowTitle().toStdString();

    // Each command answers whether it went on.
    const std::map<std::string, std::function<bool()>> commands {
        { "quit", [&] {
             QCloseEvent close;
             QApplication::sendEvent(window.get(), &close);
             return close.isAccepted();
         } },
        { "new", [&] {
             window->sendAction("newDocument:", nullptr);
             TestEnvironment::drainEvents();
             return !transformers->recipeUrl().has_value();
         } },
        { "open", [&] {
             window->sendAction("openRecipe:", nullptr);
             const bool shown = open->openPanel() != nullptr;
             if (shown)
                 open->openPanel()->reject();
             // The closed panel goes, so that the next command makes a new one.
             QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
             TestEnvironment::drainEvents();
             return shown;
         } },
        { "open recent", [&] {
             recentMenu()->actions().value(0)->trigger();
             TestEnvironment::drainEvents();
             EXPECT_TRUE(recipesLoaded());
             return window->undoManager().undoActionName() == "Open Recipe";
         } },
    };
    const struct {
        int answer;
        bool goesOn;
        bool saved;
    } answers[] = {
        { 0, true, true }, // Save
        { 1, true, false }, // Don't Save
        { 2, false, false }, // Cancel
        { AlertPresenter::NO_BUTTON, false, false }, // closed with Escape
    };
    for (const auto& [name, command] : commands) {
        for (const auto& a : answers) {
            const std::string what = name + " answered " + std::to_string(a.answer);
            openEdited(true);
            window->undoManager().removeAllActions();
            alerts.requests.clear();
            alerts.answer = a.answer;
            EXPECT_EQ(command(), a.goesOn) << what;
            ASSERT_EQ(alerts.requests.size(), 1u) << what;
            EXPECT_EQ(alerts.requests[0].messageText, "Do you want to save the changes made to the recipe “doc”?");
            EXPECT_EQ(alerts.requests[0].buttons, QStringList({ "Save", "Don't Save", "Cancel" }));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(!file.readAll().contains("transformer_A2"), a.saved) << what;
        }
        // Nothing unsaved: nothing asked.
        openEdited(false);
        window->undoManager().removeAllActions();
        alerts.requests.clear();
        EXPECT_TRUE(command()) << name;
        EXPECT_TRUE(alerts.requests.empty()) << name;
    }
}

// Every road that replaces the rules asks while they hold changes; a recipe
// file that fails to load is shown whichever road asked for it.
TEST_F(RecipeAppTest, EveryRoadThatReplacesTheRulesAsksFirst)
{
    makeWindow();
    AppDelegate delegate(window.get());
    const QString folder = makeFolder({});
    const QString other = writeRecipe(folder, "other.recipe",
        R"({"transformers":[{"id":"transformer_O1","type":"trim","properties":{}}]})");
    const QString path = folder + "/doc.recipe";
    const auto loadedOther = [&] {
        EXPECT_TRUE(recipesLoaded());
        TestEnvironment::drainEvents();
        EXPECT_TRUE(recipesLoaded());
        return transformers->recipeUrl() == QUrl::fromLocalFile(other);
    };
    // Each road answers whether the other recipe replaced the rules.
    const std::map<std::string, std::function<bool()>> roads {
        { "recipe file request", [&] {
             AppNotification::OpenRecipe::post(QUrl::fromLocalFile(other));
             return loadedOther();
         } },
        { "recipe text request", [&] {
             AppNotification::OpenRecipe::postJson(
                 QStringLiteral(R"({"transformers":[{"id":"transformer_T1","type":"set","properties":{}}]})"));
             // The request is delivered while events drain; its read ends after.
             EXPECT_TRUE(recipesLoaded());
             TestEnvironment::drainEvents();
             EXPECT_TRUE(recipesLoaded());
             return transformers->count() == 1 && transformers->list().at(0).id == "transformer_T1";
         } },
        { "from the desktop", [&] {
             delegate.openFiles({ other });
             return loadedOther();
         } },
    };
    for (const auto& [name, road] : roads) {
        for (const int answer : { 1, 2 }) {
            const std::string what = name + " answered " + std::to_string(answer);
            QFile::remove(path);
            writeRecipe(folder, "doc.recipe", kTwoRules);
            openRecipe(path);
            transformers->deleteTransformer(1);
            alerts.requests.clear();
            alerts.answer = answer;
            EXPECT_EQ(road(), answer == 1) << what;
            ASSERT_EQ(alerts.requests.size(), 1u) << what;
            EXPECT_EQ(alerts.requests[0].messageText, "Do you want to save the changes made to the recipe “doc”?");
            if (answer == 2)
                EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(path)) << what;
        }
    }

    // Nothing to lose: no question, and a recipe that cannot be read is shown.
    const QString damaged = writeRecipe(folder, "damaged.recipe", "{\"transformers\": [");
    const struct {
        const char* name;
        std::function<void()> ask;
    } failures[] = {
        { "file request", [&] { AppNotification::OpenRecipe::post(QUrl::fromLocalFile(damaged)); } },
        { "text request", [&] { AppNotification::OpenRecipe::postJson(QStringLiteral("{\"transformers\": [")); } },
        { "desktop", [&] { delegate.openFiles({ damaged }); } },
    };
    for (const auto& failure : failures) {
        transformers->reset();
        alerts.requests.clear();
        failure.ask();
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !alerts.requests.empty(); })) << failure.name;
        EXPECT_TRUE(recipesLoaded());
        ASSERT_EQ(alerts.requests.size(), 1u) << failure.name;
        EXPECT_EQ(alerts.requests[0].messageText, "Unable to load Recipe") << failure.name;
        EXPECT_FALSE(alerts.requests[0].informativeText.isEmpty()) << failure.name;
        EXPECT_EQ(transformers->count(), 1) << failure.name;
    }
}

// Rules that never had a file are work too: Quit and New ask, and Save goes
// through the "Save Recipe" panel. One untouched new rule, or none, is not.
TEST_F(RecipeAppTest, RulesNeverSavedAreAskedAboutBeforeTheyAreDropped)
{
    makeWindow();
    auto* save = globalAction<SaveRecipeMenuAction>();
    ASSERT_NE(save, nullptr);
    const QString folder = makeFolder({});
    const QString chosen = folder + "/kept.recipe";
    const std::map<std::string, std::function<bool()>> commands {
        { "quit", [&] {
             QCloseEvent close;
             QApplication::sendEvent(window.get(), &close);
             return close.isAccepted();
         } },
        { "new", [&] {
             const QString before = transformers->list().value(0).id;
             window->sendAction("newDocument:", nullptr);
             TestEnvironment::drainEvents();
             return transformers->list().value(0).id != before;
         } },
    };
    const auto editFreshList = [&] {
        transformers->reset();
        Transformer edited = transformers->list().at(0);
        edited.type = TransformerType::trim;
        transformers->addOrReplaceTransformer(edited);
        // An open rule editor fills in the new kind's values: before the question, as for a user.
        TestEnvironment::drainEvents();
    };
    // The panel shows inside the question's answer: pick a file there.
    QTimer panelAnswer;
    bool acceptPanel = true;
    QObject::connect(&panelAnswer, &QTimer::timeout, [&] {
        if (QFileDialog* panel = save->savePanel()) {
            panelAnswer.stop();
            if (acceptPanel) {
                panel->selectFile(chosen);
                QMetaObject::invokeMethod(panel, "accept");
            } else {
                panel->reject();
            }
        }
    });
    const struct {
        int answer;
        bool acceptsPanel;
        bool goesOn;
    } answers[] = {
        { 0, true, true }, // Save, a file picked
        { 0, false, false }, // Save, the panel cancelled
        { 1, true, true }, // Don't Save
        { 2, true, false }, // Cancel
    };
    for (const auto& [name, command] : commands) {
        for (const auto& a : answers) {
            const std::string what = name + " answered " + std::to_string(a.answer) + (a.acceptsPanel ? "" : ", no file");
            QFile::remove(chosen);
            transformers->setRecipeUrl(std::nullopt);
            editFreshList();
            window->undoManager().removeAllActions();
            alerts.requests.clear();
            alerts.answer = a.answer;
            acceptPanel = a.acceptsPanel;
            panelAnswer.start(0);
            EXPECT_EQ(command(), a.goesOn) << what;
            panelAnswer.stop();
            ASSERT_EQ(alerts.requests.size(), 1u) << what;
            EXPECT_EQ(alerts.requests[0].messageText, "Do you want to save the rules as a recipe?");
            EXPECT_EQ(alerts.requests[0].buttons, QStringList({ "Save", "Don't Save", "Cancel" }));
            EXPECT_EQ(QFile::exists(chosen), a.answer == 0 && a.acceptsPanel) << what;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // A fresh list, or an empty one, holds nothing to lose.
        for (const bool empty : { false, true }) {
            transformers->setRecipeUrl(std::nullopt);
            transformers->reset();
            if (empty)
                transformers->deleteTransformer(0);
            alerts.requests.clear();
            EXPECT_TRUE(command()) << name;
            EXPECT_TRUE(alerts.requests.empty()) << name << (empty ? " empty" : " fresh");
        }
    }
}

namespace {

class RecipeStartUpTest : public RecipeAppTest {
protected:
    // Starts like the application: a recent recipe and the preference to reopen it.
    void launch(const QStringList& arguments, const QString& workingDirectory = {})
    {
        MainWindow& mainWindow = makeWindow();
        delegate = std::make_unique<AppDelegate>(&mainWindow);
        delegate->applicationWillFinishLaunching(arguments, workingDirectory);
        delegate->applicationDidFinishLaunching();
        transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
        recentRecipes = DependencyInjectionRegistry::get<RecentRecipeList>("test", "test", 0);
    }
    void TearDown() override
    {
        delegate.reset();
        RecipeAppTest::TearDown();
    }

    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

TEST_F(RecipeStartUpTest, TheMostRecentRecipeIsReopenedWhenThePreferenceSaysSo)
{
    const QString folder = makeFolder({});
    const QString recent = writeRecipe(folder, "recent.recipe", kTwoRules);
    store->setValue(PreferenceKey::recentRecipes.rawValue, QJsonArray({ recent }));
    store->setValue(PreferenceKey::openMostRecentRecipeOnStartup.rawValue, true);
    NotificationRecorder recorder({ NotificationName::openMostRecentRecipe });
    launch({ "brackenfold" });
    EXPECT_TRUE(transformers->isEmpty());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->count() == 2; }));
    EXPECT_EQ(recorder.count(NotificationName::openMostRecentRecipe), 1);
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(recent));
    EXPECT_EQ(recentMenu()->actions().value(0)->text(), "recent.recipe");
}

TEST_F(RecipeStartUpTest, WithoutThePreferenceStartUpGivesOneFreshRule)
{
    const QString recent = writeRecipe(makeFolder({}), "recent.recipe", kTwoRules);
    store->setValue(PreferenceKey::recentRecipes.rawValue, QJsonArray({ recent }));
    store->setValue(PreferenceKey::openMostRecentRecipeOnStartup.rawValue, false);
    NotificationRecorder recorder({ NotificationName::openMostRecentRecipe });
    launch({ "brackenfold" });
    TestEnvironment::drainEvents();
    EXPECT_EQ(transformers->count(), 1);
    EXPECT_EQ(transformers->recipeUrl(), std::nullopt);
    EXPECT_EQ(recorder.count(NotificationName::openMostRecentRecipe), 0);
}

// A recipe named at start wins over the most recent one; a relative path
// counts from the working folder.
TEST_F(RecipeStartUpTest, TheCommandLinesRecipeWinsOverTheMostRecentOne)
{
    const QString folder = makeFolder({});
    const QString recent = writeRecipe(folder, "recent.recipe", kTwoRules);
    const QString named = writeRecipe(folder, "named.recipe",
        R"({"transformers":[{"id":"transformer_N1","type":"trim","properties":{}}]})");
    store->setValue(PreferenceKey::recentRecipes.rawValue, QJsonArray({ recent }));
    store->setValue(PreferenceKey::openMostRecentRecipeOnStartup.rawValue, true);
    NotificationRecorder recorder({ NotificationName::openMostRecentRecipe });
    launch({ "brackenfold", "-r", "named.recipe" }, folder);
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return transformers->recipeUrl() == QUrl::fromLocalFile(named); }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(recorder.count(NotificationName::openMostRecentRecipe), 0);
    ASSERT_EQ(transformers->count(), 1);
    EXPECT_EQ(transformers->list().at(0).id, "transformer_N1");
    EXPECT_EQ(recentRecipes->list().value(0), named);
}

TEST_F(RecipeStartUpTest, RecipeTextOnTheCommandLineLoadsWithoutAFile)
{
    launch({ "brackenfold", "-r", R"({"transformers":[{"type":"set","properties":{}}]}')" });
    ASSERT_TRUE(TestEnvironment::processEventsUntil(
        [&] { return transformers->count() == 1 && transformers->list().at(0).type == TransformerType::set; }));
    EXPECT_EQ(transformers->recipeUrl(), std::nullopt);
    EXPECT_TRUE(recentRecipes->isEmpty());
}

// One recipe from the desktop opens as the recipe; with other files, or
// spelled in capitals, it is a file to rename.
TEST_F(RecipeStartUpTest, ADocumentThatIsOneRecipeOpensAsTheRecipe)
{
    const QString folder = makeFolder({ "a.txt" });
    const QString recipe = writeRecipe(folder, "doc.recipe", kTwoRules);
    const QString capitals = writeRecipe(folder, "DOC.RECIPE", kTwoRules);
    launch({ "brackenfold", recipe });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->count() == 2; }));
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(recipe));

    NotificationRecorder recorder({ NotificationName::openFolder });
    delegate->openFiles({ capitals });
    delegate->openFiles({ recipe, folder + "/a.txt" });
    ASSERT_EQ(recorder.received.size(), 2u);
    EXPECT_EQ(AppNotification::OpenFolder::get(recorder.received[0]).urls, QList<QUrl>({ QUrl::fromLocalFile(capitals) }));
    EXPECT_EQ(AppNotification::OpenFolder::get(recorder.received[1]).urls.size(), 2);
    EXPECT_EQ(AppNotification::OpenFolder::get(recorder.received[1]).action, FileAction::append);
}

// A request handed over while a run holds the window (input blocked) would
// replace the list or the rules under the run: it waits for the run's end,
// and requests that came meanwhile are then acted on in order.
TEST_F(RecipeStartUpTest, AHandOverDuringARunWaitsForItsEnd)
{
    const QString folder = makeFolder({ "a.txt", "b.txt" });
    const QString recipe = writeRecipe(folder, "r.recipe", kTwoRules);
    launch({ "brackenfold" });
    TestEnvironment::drainEvents();
    const int rulesBefore = transformers->count();
    NotificationRecorder recorder({ NotificationName::openFolder });
    auto& center = NotificationCenter::defaultCenter();

    center.post({ NotificationName::disableUserInput, {}, {} });
    delegate->handleArguments({ "brackenfold", "-r", "r.recipe", "--service", folder + "/a.txt" }, folder);
    delegate->handleArguments({ "brackenfold", "--service", folder + "/b.txt" }, folder);
    TestEnvironment::drainEvents();
    EXPECT_TRUE(recorder.received.empty());
    EXPECT_EQ(transformers->count(), rulesBefore);

    center.post({ NotificationName::enableUserInput, {}, {} });
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return recorder.received.size() == 2 && transformers->count() == 2; }));
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(recipe));
    EXPECT_EQ(AppNotification::OpenFolder::get(recorder.received[0]).urls, QList<QUrl>({ QUrl::fromLocalFile(folder + "/a.txt") }));
    EXPECT_EQ(AppNotification::OpenFolder::get(recorder.received[1]).urls, QList<QUrl>({ QUrl::fromLocalFile(folder + "/b.txt") }));
}

// A later start's request, handed over, is acted on like a command line.
TEST_F(RecipeStartUpTest, AHandedOverRequestIsActedOnAndRaisesTheWindow)
{
    const QString folder = makeFolder({ "a.txt", "b.txt" });
    const QString recipe = writeRecipe(folder, "r.recipe", kTwoRules);
    launch({ "brackenfold" });
    TestEnvironment::drainEvents();
    window->hide();
    NotificationRecorder recorder({ NotificationName::openFolder });
    delegate->handleArguments({ "brackenfold", "-r", "r.recipe", "--service", folder + "/a.txt" }, folder);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return transformers->count() == 2; }));
    EXPECT_EQ(transformers->recipeUrl(), QUrl::fromLocalFile(recipe));
    ASSERT_EQ(recorder.received.size(), 1u);
    const auto request = AppNotification::OpenFolder::get(recorder.received[0]);
    EXPECT_EQ(request.urls, QList<QUrl>({ QUrl::fromLocalFile(folder + "/a.txt") }));
    EXPECT_TRUE(request.ask);
    EXPECT_EQ(request.action, FileAction::replace);
}

// No dialog starts in the process's working folder: each starts in the folder
// of the open files or of the recipe, else where it was last accepted, else in
// the home folder.
TEST_F(RecipeAppTest, EachFileDialogStartsInTheFolderWorkedOn)
{
    makeWindow();
    const QString opened = makeFolder({ "a.txt" });
    const QString recipes = makeFolder({});
    const QString last = makeFolder({});
    const QString home = QDir::homePath();
    ASSERT_TRUE(home.startsWith(TestEnvironment::homePath()));
    LookupTablePanelController lookup;
    const auto folderOfClosed = [](QFileDialog* panel) {
        const QString folder = panel ? panel->directory().absolutePath() : QString();
        if (panel)
            panel->reject();
        return folder;
    };
    // Each dialog's folder once it is up; closed again at once.
    const std::map<QString, std::function<QString()>> dialogs {
        { "openFolder", [&] {
             window->sendAction("openFolder:", nullptr);
             OpenPanel* panel = globalAction<OpenDocumentMenuAction>()->openPanel();
             return folderOfClosed(panel);
         } },
        { "openRecipe", [&] {
             window->sendAction("openRecipe:", nullptr);
             QFileDialog* panel = globalAction<OpenRecipeMenuAction>()->openPanel();
             return folderOfClosed(panel);
         } },
        { "saveRecipe", [&] {
             window->sendAction("saveRecipeAs:", nullptr);
             TestEnvironment::processEventsUntil([] { return globalAction<SaveRecipeMenuAction>()->savePanel(); });
             QFileDialog* panel = globalAction<SaveRecipeMenuAction>()->savePanel();
             return folderOfClosed(panel);
         } },
        { "exportCsv", [&] {
             window->sendAction("exportFilesToCsv:", nullptr);
             auto* panel = window->findChild<QFileDialog*>("exportCsvPanel");
             const QString folder = panel ? panel->directory().absolutePath() : QString();
             if (panel)
                 panel->close();
             return folder;
         } },
        { "importLookupTable", [&] {
             lookup.importRowsAction();
             auto* panel = lookup.findChild<QFileDialog*>();
             const QString folder = panel ? panel->directory().absolutePath() : QString();
             if (panel)
                 panel->close();
             return folder;
         } },
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::map<QString, QString> starts;
    };
    const auto list = [&](const QString& folder) {
        dataSource->replaceFiles(
            { File(QUrl::fromLocalFile(folder + "/a.txt"), false) }, FileAction::replace, QList<QUrl> { QUrl::fromLocalFile(folder) });
    };
    const QList<Case> cases {
        { "a folder open", [&] { list(opened); },
            { { "openFolder", opened }, { "openRecipe", opened }, { "saveRecipe", opened }, { "exportCsv", opened },
                { "importLookupTable", opened } } },
        { "a folder open and a recipe in use",
            [&] {
                list(opened);
                transformers->setRecipeUrl(QUrl::fromLocalFile(recipes + "/holiday.recipe"));
            },
            { { "openFolder", opened }, { "openRecipe", recipes }, { "saveRecipe", recipes }, { "exportCsv", opened },
                { "importLookupTable", opened } } },
        { "nothing open, the recipe dialogs left elsewhere",
            [&] {
                dataSource->openedUrls.clear();
                for (const char* name : { "openRecipe", "saveRecipe" })
                    Preference::store().setValue(FileDialogFolder::settingsKey(name), last);
            },
            { { "openFolder", home }, { "openRecipe", last }, { "saveRecipe", last }, { "importLookupTable", home } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        transformers->setRecipeUrl(std::nullopt);
        c.arrange();
        for (const auto& [dialog, start] : c.starts) {
            SCOPED_TRACE(dialog.toStdString());
            EXPECT_EQ(dialogs.at(dialog)().toStdString(), start.toStdString());
            // The closed dialog goes, so that the next request makes a new one.
            TestEnvironment::drainEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}
