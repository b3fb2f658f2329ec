// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/AppDelegate.h"
#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "app/OpenFolderEventHandler.h"
#include "app/RenameRunAlerts.h"
#include "engine/TransformationService.h"
#include "files/FileAttributeLoader.h"
#include "rules/Transformers.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "core/AppNotification+Typed.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationQueue.h"

#include <QProgressBar>
#include <QVBoxLayout>

TEST_F(AppTest, StartUpRegistersTheSharedObjectsInOrderBeforeTheDefaults)
{
    MainWindow& mainWindow = makeWindow();
    LogCapture log;
    AppDelegate delegate(&mainWindow);
    delegate.applicationWillFinishLaunching({ QStringLiteral("brackenfold") });

    const QStringList lines = log.lines();
    QStringList registrations;
    for (const QString& line : lines)
        if (line.startsWith(QStringLiteral("Registered injectable for: ")))
            registrations << line;
    EXPECT_EQ(registrations,
        QStringList({ "Registered injectable for: FileDataSource", "Registered injectable for: Transformers",
            "Registered injectable for: TransformationEventHandler", "Registered injectable for: RecentRecipeList",
            "Registered injectable for: TransformViewController",
            "Registered injectable for: TransformViewDialogController", "Registered injectable for: TableViewController",
            "Registered injectable for: ProgressViewController" }));
    // The new store replaced the fixture's one and ticks the sort menu.
    const auto registered = DependencyInjectionRegistry::get<FileDataSource>("test", "test", 0);
    ASSERT_TRUE(registered);
    EXPECT_NE(registered, dataSource);
    EXPECT_NE(delegate.openFolderEventHandler(), nullptr);
    EXPECT_EQ(MainWindowLocator::undoManager(), &mainWindow.undoManager());
}

// What start-up connects across the layers, seen from where it takes effect.
TEST_F(AppTest, StartUpInstallsTheServiceHooks)
{
    const QString folder = makeFolder({ "a.txt" });
    FileAttributeLoader::install({});
    MainWindow& mainWindow = makeWindow();
    AppDelegate delegate(&mainWindow);
    delegate.applicationWillFinishLaunching({ QStringLiteral("brackenfold") });

    // The file list reads attributes through the token layer's reader.
    const auto attributes = FileAttributeLoader::load(QUrl::fromLocalFile(folder + "/a.txt"));
    ASSERT_TRUE(attributes.has_value());
    EXPECT_FALSE(attributes->isEmpty());
    // The rename run asks through the window's alerts.
    EXPECT_NE(dynamic_cast<RenameRunAlerts*>(TransformationService::shared().delegate().get()), nullptr);
    // The file table hands late files to the engine's queue.
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->lateUpdates().hasHook());
}

TEST_F(AppTest, TheWindowShowsTheMainColumnWithTheProgressOverlayHiddenAndTheSidePanelCollapsed)
{
    MainWindow& mainWindow = makeWindow();
    AppDelegate delegate(&mainWindow);
    delegate.applicationWillFinishLaunching({ QStringLiteral("brackenfold") });
    mainWindow.show();

    SplitViewController* split = mainWindow.contentViewController();
    ASSERT_NE(split, nullptr);
    EXPECT_TRUE(split->isSidePanelCollapsed());
    MainStackView* column = split->mainViewController()->view();
    QWidget* overlay = ProgressViewController::shared()->view();
    EXPECT_TRUE(column->isAncestorOf(overlay));
    const auto table = DependencyInjectionRegistry::get<TableViewController>("test", "test", 0);
    ASSERT_TRUE(table);
    EXPECT_TRUE(column->isAncestorOf(table->view()));
    EXPECT_TRUE(table->view()->isVisible());
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_EQ(column->stackLayout()->spacing(), 0);
    EXPECT_EQ(mainWindow.windowTitle(), "Brackenfold");

    // Rule bar, rule editor, file table and the overlay, in that order.
    const auto ruleBar = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0);
    const auto ruleEditor = DependencyInjectionRegistry::get<TransformViewDialogController>("test", "test", 0);
    ASSERT_TRUE(ruleBar && ruleEditor);
    EXPECT_EQ(split->mainViewController()->childViewControllers(),
        QList<QObject*>({ ruleBar.get(), ruleEditor.get(), table.get(), ProgressViewController::shared().get() }));
    QVBoxLayout* layout = column->stackLayout();
    EXPECT_EQ(layout->indexOf(ruleBar.get()), 0);
    EXPECT_EQ(layout->indexOf(ruleEditor.get()), 1);
    EXPECT_EQ(layout->indexOf(table->view()), 2);
    EXPECT_EQ(layout->indexOf(overlay), layout->count() - 1);
    EXPECT_TRUE(ruleBar->isVisible());
}

// The registry keeps the rule bar and the rule editor for the whole run: a
// window that goes hands them back, and the next one shows them again.
TEST_F(AppTest, TheRuleBarAndEditorOutliveTheirWindow)
{
    const QPointer<TransformViewController> ruleBar
        = DependencyInjectionRegistry::get<TransformViewController>("test", "test", 0).get();
    ASSERT_FALSE(ruleBar.isNull());
    makeWindow();
    EXPECT_EQ(ruleBar->window(), window.get());
    window.reset();
    ASSERT_FALSE(ruleBar.isNull());
    EXPECT_EQ(ruleBar->parent(), nullptr);
    MainWindow& second = makeWindow();
    EXPECT_EQ(ruleBar->window(), &second);
}

TEST_F(AppTest, TheCommandLineOpensItsFolderInPlaceOfTheList)
{
    const QString folder = makeFolder({ "a.txt", "b.txt" });
    MainWindow& mainWindow = makeWindow();
    AppDelegate delegate(&mainWindow);
    delegate.applicationWillFinishLaunching({ QStringLiteral("brackenfold"), QStringLiteral("-d"), folder });
    const auto registered = DependencyInjectionRegistry::get<FileDataSource>("test", "test", 0);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return registered->count() == 2; }));
    ASSERT_EQ(registered->openedUrls.size(), 1);
    EXPECT_EQ(registered->openedUrls[0].toString().toStdString(), QUrl::fromLocalFile(folder + "/").toString().toStdString());
    TestEnvironment::drainEvents();
    // The name once, after what the window shows: the desktop adds nothing to a
    // title that already ends with it.
    EXPECT_EQ(mainWindow.windowTitle(), "Opened 2 files — Brackenfold");
}

TEST_F(AppTest, DocumentsFromTheDesktopAreAppendedAndRelativePathsDropped)
{
    const QString folder = makeFolder({ "x.recipe" });
    MainWindow& mainWindow = makeWindow();
    AppDelegate delegate(&mainWindow);
    NotificationRecorder recorder({ NotificationName::openFolder });
    delegate.openFiles({ QStringLiteral("relative/file.txt"), folder + QStringLiteral("/x.recipe") });
    delegate.openFiles({ QStringLiteral("relative/only.txt") });
    ASSERT_EQ(recorder.received.size(), 2u);
    const auto first = AppNotification::OpenFolder::get(recorder.received[0]);
    EXPECT_EQ(first.urls, QList<QUrl>({ QUrl::fromLocalFile(folder + "/x.recipe") }));
    EXPECT_FALSE(first.ask);
    EXPECT_EQ(first.action, FileAction::append);
    // Nothing left: still posted, with an empty list.
    EXPECT_TRUE(AppNotification::OpenFolder::get(recorder.received[1]).urls.isEmpty());
}

TEST(WindowTitle, SubtitleFollowsRecipeNameAndFileCount)
{
    struct Case {
        QString recipe;
        int files;
        QString subtitle;
    };
    const Case cases[] = {
        { "", 0, "" },
        { "", 1, "Opened 1 file" },
        { "", 12, "Opened 12 files" },
        { "Holiday", 0, "Holiday" },
        { "Holiday", 1, "Holiday (1 file)" },
        { "Holiday", 3, "Holiday (3 files)" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(MainViewController::subtitle(c.recipe, c.files), c.subtitle) << c.recipe.toStdString() << c.files;
}

TEST_F(AppTest, LaunchEndsWithOneFreshRule)
{
    MainWindow& mainWindow = makeWindow();
    AppDelegate delegate(&mainWindow);
    delegate.applicationWillFinishLaunching({ QStringLiteral("brackenfold") });
    delegate.applicationDidFinishLaunching();
    const auto transformers = DependencyInjectionRegistry::get<Transformers>("test", "test", 0);
    ASSERT_TRUE(transformers);
    EXPECT_EQ(transformers->count(), 1);
}
