// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "app/OpenFolderEventHandler.h"
#include "app/OpenPanel.h"
#include "core/AppNotification+Typed.h"
#include "platform/MainWindowLocator.h"
#include "uikit/AlertPresenter.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QStringList listedNames(const FileDataSource& dataSource)
{
    QStringList names;
    for (const File& file : dataSource.getAllFiles())
        names << file.source.fileInfo.name + (file.source.fileInfo.ext.isEmpty() ? QString() : "." + file.source.fileInfo.ext);
    names.sort();
    return names;
}
} // namespace

class OpenFolderTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        makeWindow();
        handler = std::make_unique<OpenFolderEventHandler>();
    }

    void openAndWait(const QString& folder, bool ask, FileAction action, int expectedCount)
    {
        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, ask, action);
        ASSERT_TRUE(TestEnvironment::processEventsUntil(
            [&] { return dataSource->count() == expectedCount && !handler->openFilesTask().isValid(); }));
        TestEnvironment::drainEvents();
    }

    std::unique_ptr<OpenFolderEventHandler> handler;
    ScriptedAlertPresenter presenter;
};

TEST_F(OpenFolderTest, AnAskedOpenIntoAnEmptyListReplacesWithoutAQuestion)
{
    const QString folder = makeFolder({ "b.txt", "a.txt" });
    openAndWait(folder, true, FileAction::append, 2);
    EXPECT_TRUE(presenter.requests.empty());
    EXPECT_EQ(listedNames(*dataSource), QStringList({ "a.txt", "b.txt" }));
    EXPECT_EQ(dataSource->openedUrls, QList<QUrl>({ QUrl::fromLocalFile(folder) }));
    EXPECT_EQ(window->undoManager().undoCount(), 1);
}

TEST_F(OpenFolderTest, TheQuestionOnAListedFileDecidesAppendReplaceOrCancel)
{
    struct Case {
        int button;
        QStringList expected;
    };
    const Case cases[] = {
        { 0, { "first.txt", "second.txt" } }, // Append
        { 1, { "second.txt" } },              // Replace
        { 2, { "first.txt" } },               // Cancel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        DependencyInjectionRegistry::shared().registerInstance(dataSource = std::make_shared<FileDataSource>());
        presenter.requests.clear();
        openAndWait(makeFolder({ "first.txt" }), false, FileAction::replace, 1);
        presenter.answer = c.button;

        AppNotification::OpenFolder::post({ QUrl::fromLocalFile(makeFolder({ "second.txt" })) }, true,
            FileAction::replace);
        ASSERT_EQ(presenter.requests.size(), 1u);
        EXPECT_EQ(presenter.requests[0].messageText, "Brackenfold already has some opened files");
        EXPECT_EQ(presenter.requests[0].informativeText, "Do you want to replace or append the files?");
        EXPECT_EQ(presenter.requests[0].buttons, QStringList({ "Append", "Replace", "Cancel" }));
        // The answered open is not stored as the handler's task.
        EXPECT_FALSE(handler->openFilesTask().isValid());
        // The answered open and what its list sets off end before the next case
        // registers its own store.
        ASSERT_TRUE(settleBackgroundWork());
        EXPECT_EQ(listedNames(*dataSource), c.expected);
    }
}

TEST_F(OpenFolderTest, AReplaceIsSortedByTheCurrentOrderAndAnAppendIsNot)
{
    dataSource->setSortOrder(FileSortOrder::byNameDescending);
    openAndWait(makeFolder({ "a.txt", "c.txt", "b.txt" }), false, FileAction::replace, 3);
    QStringList order;
    for (const File& file : dataSource->getAllFiles())
        order << file.source.fileInfo.name;
    EXPECT_EQ(order, QStringList({ "c", "b", "a" }));

    openAndWait(makeFolder({ "z.txt" }), false, FileAction::append, 4);
    order.clear();
    for (const File& file : dataSource->getAllFiles())
        order << file.source.fileInfo.name;
    EXPECT_EQ(order, QStringList({ "c", "b", "a", "z" }));
}

TEST_F(OpenFolderTest, ASupersededOpenNeverReplacesTheListNorClearsTheNewerHandle)
{
    QStringList many;
    for (int i = 0; i < 400; ++i)
        many << QStringLiteral("file-%1.txt").arg(i);
    const QString older = makeFolder({ "older.txt" });
    const QString newer = makeFolder(many);

    NotificationRecorder recorder({ NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator });
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(older) }, false, FileAction::replace);
    const TaskHandle olderTask = handler->openFilesTask();
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(newer) }, false, FileAction::replace);
    const TaskHandle newerTask = handler->openFilesTask();
    EXPECT_TRUE(olderTask.isCancelled());
    ASSERT_FALSE(newerTask == olderTask);

    // The two opens' own indicators; the passes a new list sets off show theirs too.
    ASSERT_EQ(recorder.count(NotificationName::showProgressIndicator), 2);
    const QString olderId = AppNotification::ShowProgressIndicator::get(recorder.received[0]).messageId;
    const QString newerId = AppNotification::ShowProgressIndicator::get(recorder.received[1]).messageId;
    const auto hidden = [&](const QString& id) {
        for (const auto& n : recorder.received)
            if (n.name == NotificationName::hideProgressIndicator && AppNotification::HideProgressIndicator::get(n) == id)
                return true;
        return false;
    };
    // Whenever the older open ends while the newer one still runs, the newer handle stays.
    bool checkedWhileNewerRan = false;
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] {
        if (hidden(olderId) && !hidden(newerId) && !checkedWhileNewerRan) {
            checkedWhileNewerRan = true;
            EXPECT_TRUE(handler->openFilesTask() == newerTask);
        }
        return hidden(olderId) && hidden(newerId);
    }, std::chrono::seconds(60))) << recorder.names().join(",").toStdString() << " count " << dataSource->count();
    ASSERT_TRUE(settleBackgroundWork());
    EXPECT_EQ(dataSource->count(), 400);
    EXPECT_EQ(dataSource->openedUrls, QList<QUrl>({ QUrl::fromLocalFile(newer) }));
    EXPECT_FALSE(handler->openFilesTask().isValid());
    // Only the open that went through left an undo step.
    EXPECT_EQ(window->undoManager().undoCount(), 1);
}

// Requests posted back to back, each while the ones before still run.
TEST_F(OpenFolderTest, AnAppendAddsToTheOpensBeforeItAndAReplaceSupersedesThem)
{
    const QString a = makeFolder({ "a1.txt", "a2.txt" });
    const QString b = makeFolder({ "b.txt" });
    const QString c = makeFolder({ "c.txt" });
    struct Request {
        QString folder;
        FileAction action;
    };
    struct Case {
        const char* name;
        QList<Request> requests;
        QStringList expected;
    };
    const Case cases[] = {
        { "replace then append", { { a, FileAction::replace }, { b, FileAction::append } },
            { "a1.txt", "a2.txt", "b.txt" } },
        { "two appends after a replace",
            { { a, FileAction::replace }, { b, FileAction::append }, { c, FileAction::append } },
            { "a1.txt", "a2.txt", "b.txt", "c.txt" } },
        { "a replace after them", { { a, FileAction::replace }, { b, FileAction::append }, { c, FileAction::replace } },
            { "c.txt" } },
        { "appends only", { { b, FileAction::append }, { c, FileAction::append } }, { "b.txt", "c.txt" } },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        DependencyInjectionRegistry::shared().registerInstance(dataSource = std::make_shared<FileDataSource>());
        for (const Request& request : test.requests)
            AppNotification::OpenFolder::post({ QUrl::fromLocalFile(request.folder) }, false, request.action);
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !handler->openFilesTask().isValid(); },
            std::chrono::seconds(60)));
        ASSERT_TRUE(settleBackgroundWork());
        EXPECT_EQ(listedNames(*dataSource), test.expected);
    }
}

TEST_F(OpenFolderTest, RefusedFoldersAreReportedOnceAfterTheIndicatorIsGone)
{
    // Outside the home folder nothing may be renamed.
    QTemporaryDir outside(QDir::tempPath() + QStringLiteral("/outside-XXXXXX"));
    ASSERT_FALSE(outside.path().startsWith(TestEnvironment::homePath()));
    QFile(outside.filePath("x.txt")).open(QIODevice::WriteOnly);
    const QString inside = makeFolder({ "ok.txt" });

    NotificationRecorder recorder({ NotificationName::showProgressIndicator, NotificationName::hideProgressIndicator });
    std::optional<bool> indicatorGoneAtReport;
    presenter.onRequest = [&](const AlertRequest&) {
        ASSERT_FALSE(recorder.received.empty());
        const QString openId = AppNotification::ShowProgressIndicator::get(recorder.received.front()).messageId;
        indicatorGoneAtReport = std::any_of(recorder.received.begin(), recorder.received.end(), [&](const Notification& n) {
            return n.name == NotificationName::hideProgressIndicator && AppNotification::HideProgressIndicator::get(n) == openId;
        });
    };
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(inside), QUrl::fromLocalFile(outside.path()) }, false,
        FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !presenter.requests.empty(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(settleBackgroundWork());
    ASSERT_TRUE(indicatorGoneAtReport.has_value());
    EXPECT_TRUE(*indicatorGoneAtReport);
    EXPECT_EQ(dataSource->count(), 1);
    ASSERT_EQ(presenter.requests.size(), 1u);
    EXPECT_EQ(presenter.requests[0].messageText, "Unable to open all files");
    EXPECT_TRUE(presenter.requests[0].informativeText.startsWith(
        "Files in the following folders are restricted for renaming:\n\n Path is restricted: "))
        << presenter.requests[0].informativeText.toStdString();
}

TEST_F(OpenFolderTest, AReplaceWhoseFoldersAreAllRefusedReplacesWithNothingAndSaysWhy)
{
    openAndWait(makeFolder({ "first.txt" }), false, FileAction::replace, 1);
    QTemporaryDir outside(QDir::tempPath() + QStringLiteral("/outside-XXXXXX"));
    QFile(outside.filePath("x.txt")).open(QIODevice::WriteOnly);

    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(outside.path()) }, false, FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !presenter.requests.empty(); }));
    TestEnvironment::drainEvents();
    EXPECT_EQ(presenter.requests[0].messageText, "Unable to open all files");
    EXPECT_TRUE(listedNames(*dataSource).isEmpty());
}

TEST(OpenFolderReport, RefusalsAreGroupedByReasonWithTheirCountsInPathOrder)
{
    const QList<RejectedDirectory> rejected {
        { "/etc/a", RejectionReason::restrictedPath },
        { "/home/u/gone", RejectionReason::error },
        { "/home/u/locked", RejectionReason::readonlyPath },
        { "/home/u/locked-too", RejectionReason::readonlyPath },
        { "/mnt/ro", RejectionReason::readonlyVolume },
    };
    const OpenFolderEventHandler::RejectionReport report = OpenFolderEventHandler::rejectionReport(rejected);
    // One space before the first line only.
    EXPECT_EQ(report.informativeText,
        "Files in the following folders are restricted for renaming:\n\n Path is restricted: 1 item\n"
        "Path is read only: 2 items\nVolume is read only: 1 item\nNot accessible: 1 item");
    EXPECT_EQ(report.lists,
        (QList<AlertList> { { "Path is restricted", { "/etc/a" } },
            { "Path is read only", { "/home/u/locked", "/home/u/locked-too" } },
            { "Volume is read only", { "/mnt/ro" } }, { "Not accessible", { "/home/u/gone" } } }));
    const OpenFolderEventHandler::RejectionReport none = OpenFolderEventHandler::rejectionReport({});
    EXPECT_TRUE(none.informativeText.isEmpty());
    EXPECT_TRUE(none.lists.isEmpty());
}

// A link to a folder that the user opens by name lists that folder's files under
// the link's path, by the menu's dialog, the command line and a drop alike.
TEST_F(AppTest, ALinkToAFolderOpensAsThatFolderByEveryRoadAsUser)
{
    // The folder lies elsewhere, as on a data disk; the link is in the home folder.
    QTemporaryDir disk(QDir::tempPath() + QStringLiteral("/disk-XXXXXX"));
    ASSERT_FALSE(disk.path().startsWith(TestEnvironment::homePath()));
    ASSERT_TRUE(QDir().mkpath(disk.filePath("Music/album")));
    for (const char* name : { "Music/one.mp3", "Music/album/two.mp3" })
        ASSERT_TRUE(QFile(disk.filePath(name)).open(QIODevice::WriteOnly));
    const QString home = makeFolder({});
    const QString link = home + "/linked-music";
    ASSERT_EQ(::symlink(QFile::encodeName(disk.filePath("Music")).constData(), QFile::encodeName(link).constData()), 0);
    const QStringList expected { link + "/album/two.mp3", link + "/one.mp3" };

    MainWindow& mainWindow = makeWindow();
    mainWindow.show();
    ScriptedAlertPresenter presenter;
    const auto menuItem = [&](const QString& selector) -> QAction* {
        for (QAction* action : mainWindow.menuBar()->findChildren<QAction*>())
            if (action->property(MainMenu::SELECTOR_PROPERTY).toString() == selector)
                return action;
        return nullptr;
    };
    // The command line, the last road, brings its own handler.
    std::optional<AppDelegate> delegate;
    struct Road {
        const char* name;
        std::function<void()> open;
    };
    const QList<Road> roads {
        { "menu",
            [&] {
                ASSERT_TRUE(mainWindow.sendAction("openFolder:", menuItem("openFolder:")));
                auto* panel = mainWindow.findChild<OpenPanel*>();
                ASSERT_NE(panel, nullptr);
                panel->setDirectory(home);
                TestEnvironment::drainEvents();
                auto* name = panel->findChild<QLineEdit*>("fileNameEdit");
                ASSERT_NE(name, nullptr);
                name->setText("linked-music");
                TestEnvironment::drainEvents();
                auto* buttons = panel->findChild<QDialogButtonBox*>("buttonBox");
                ASSERT_NE(buttons, nullptr);
                QPushButton* choose = qobject_cast<QPushButton*>(buttons->button(QDialogButtonBox::Open));
                ASSERT_NE(choose, nullptr);
                QTest::mouseClick(choose, Qt::LeftButton);
            } },
        { "drop",
            [&] {
                QWidget* column = mainWindow.contentViewController()->mainViewController()->view();
                QMimeData mime;
                mime.setUrls({ QUrl::fromLocalFile(link) });
                QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(column, &enter);
                ASSERT_TRUE(enter.isAccepted());
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(column, &drop);
                ASSERT_TRUE(drop.isAccepted());
            } },
        { "command line",
            [&] {
                delegate.emplace(&mainWindow);
                delegate->applicationWillFinishLaunching({ "brackenfold", "-d", "linked-music" }, home);
            } },
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        dataSource->replaceFilesNoUndo({}, FileAction::replace, false);
        std::optional<OpenFolderEventHandler> handler;
        if (QByteArray(road.name) != "command line")
            handler.emplace();
        road.open();
        // Start-up may register a store of its own.
        const auto store = [] { return DependencyInjectionRegistry::get<FileDataSource>("test", "test", 0); };
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return store() && store()->count() == 2; }));
        ASSERT_TRUE(settleBackgroundWork());
        QStringList listed;
        for (const File& file : store()->getAllFiles())
            listed << file.source.fileInfo.fullPath;
        listed.sort();
        EXPECT_EQ(listed, expected);
        EXPECT_TRUE(presenter.requests.empty()) << "nothing was refused";
    }
}

// Three hundred read-only files, refused one by one, make one group whose list
// scrolls: the alert, its button included, fits the screen.
TEST_F(OpenFolderTest, ThreeHundredReadOnlyFilesMakeOneGroupThatFitsTheScreenAsUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file; run as a normal user";
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names << QStringLiteral("photo-%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    const QString folder = makeFolder(names);
    for (const QString& name : names)
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "/" + name).constData(), 0444), 0);
    AppNotification::OpenFolder::post({ QUrl::fromLocalFile(folder) }, false, FileAction::replace);
    ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return !presenter.requests.empty(); }, std::chrono::seconds(60)));
    ASSERT_TRUE(settleBackgroundWork());
    ASSERT_EQ(presenter.requests.size(), 1u);
    const AlertRequest request = presenter.requests[0];
    EXPECT_EQ(request.informativeText,
        "Files in the following folders are restricted for renaming:\n\n Path is read only: 300 items");
    ASSERT_EQ(request.lists.size(), 1);
    EXPECT_EQ(request.lists[0].title, "Path is read only");
    EXPECT_EQ(request.lists[0].items.size(), 300);
    EXPECT_EQ(request.lists[0].items.first(), folder + "/photo-000.jpg");

    // Shown as the application shows it.
    QRect available;
    QRect frame;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        available = dialog->screen()->availableGeometry();
        frame = dialog->frameGeometry();
        if (auto* open = qobject_cast<QDialog*>(dialog))
            open->reject();
    });
    DialogAlertPresenter().runAlert(request);
    ASSERT_FALSE(available.isEmpty());
    EXPECT_LE(frame.height(), available.height());
    EXPECT_LE(frame.width(), available.width());
}
