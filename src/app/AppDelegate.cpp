// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"

#include "app/CommandLineProcessor.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/OpenFolderEventHandler.h"
#include "app/OpenMostRecentRecipeHandler.h"
#include "app/PreferencesWindowController.h"
#include "app/ProgressViewController.h"
#include "app/RecipeChangesAlert.h"
#include "app/RecentRecipeList.h"
#include "app/RenameRunAlerts.h"
#include "app/SingleInstance.h"
#include "app/SplitViewController.h"
#include "core/UserInputBlockObserver.h"
#include "app/VersionCheck.h"
#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
#include "core/String+path.h"
#include "core/URL+path.h"
#include "engine/FileValidationService.h"
#include "engine/TransformationEventHandler.h"
#include "engine/TransformationQueue.h"
#include "engine/TransformationService.h"
#include "files/FileAttributeLoader.h"
#include "files/FileDataSource.h"
#include "filetable/TableViewController.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "rules/Transformers.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/FileAttributesWorker.h"
#include "tokens/GPSCache.h"
#include "uikit/Alert.h"
#include "uikit/ModalAlertViewController.h"
#include "uikit/ModalIdleCondition.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

#include <execinfo.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <exception>

namespace {

// A view controller that is itself a widget belongs to the window it is placed
// in; the registry deletes only one never placed, and only while the
// application object exists.
template <typename T>
std::shared_ptr<T> sharedView(T* view)
{
    return std::shared_ptr<T>(view, [guard = QPointer<T>(view)](T*) {
        if (guard && !guard->parent() && QCoreApplication::instance())
            delete guard.data();
    });
}

} // namespace

int AppDelegate::main(int argc, char* argv[], const std::function<void(MainWindow&)>& launched)
{
    // Answered before any window or hand-over, so they work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto text = CommandLineProcessor::helpOrVersionText(arguments)) {
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brackenfold"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brackenfold"));
    QApplication::setApplicationVersion(QStringLiteral(BRACKENFOLD_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("quendrel.com"));
    QApplication::setDesktopFileName(QStringLiteral("brackenfold"));
    QApplication::setQuitOnLastWindowClosed(applicationShouldTerminateAfterLastWindowClosed());

    // A running Brackenfold of this user takes the request, and this start ends.
    const SingleInstance::Request request { QDir::currentPath(), QCoreApplication::arguments() };
    QString handOverProblem;
    const QString serverName = SingleInstance::defaultServerName(&handOverProblem);
    if (SingleInstance::handOver(serverName, request))
        return 0;
    SingleInstance instance(serverName);

    MainWindow window;
    window.restoreFrame();
    AppDelegate delegate(&window);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationWillFinishLaunching(request.arguments, request.workingDirectory);
    window.show();
    delegate.applicationDidFinishLaunching();
    instance.setHandler([&delegate](const SingleInstance::Request& handedOver) {
        delegate.handleArguments(handedOver.arguments, handedOver.workingDirectory);
    });
    if (!instance.listen()) {
        if (handOverProblem.isEmpty())
            handOverProblem = instance.problem();
        Alert::warning(SingleInstance::UNAVAILABLE, handOverProblem);
    }
    if (launched)
        launched(window);
    return QApplication::exec();
}

AppDelegate::AppDelegate(MainWindow* window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
    m_inputBlock = new UserInputBlockObserver([this](bool blocked) {
        if (blocked || m_waitingHandOvers.isEmpty())
            return;
        // After the unblock has reached every observer.
        MainThread::post([self = QPointer<AppDelegate>(this)] {
            if (!self)
                return;
            const auto waiting = std::exchange(self->m_waitingHandOvers, {});
            for (const auto& [arguments, workingDirectory] : waiting)
                self->handleArguments(arguments, workingDirectory);
        });
    }, this);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationWillFinishLaunching(const QStringList& arguments, const QString& workingDirectory)
{
    const QString directory = workingDirectory.isEmpty() ? QDir::currentPath() : workingDirectory;
    registerUncaughtExceptionHandler();
    initDependencyRegistry();
    installServiceHooks();
    Preference::initDefaults();
    // Made now, so that it knows of a run that starts before it is first shown.
    PreferencesWindowController::shared();
    m_openFolderEventHandler = std::make_unique<OpenFolderEventHandler>();
    m_openMostRecentRecipeHandler = std::make_unique<OpenMostRecentRecipeHandler>();
    // Queued notifications wait while a dialog or a menu is open.
    ModalIdleCondition::install();
    m_recipeRequested = CommandLineProcessor::processCommandLine(arguments, directory);
    initViews();
    openCommandLineDocuments(arguments, directory);
}

void AppDelegate::handleArguments(const QStringList& arguments, const QString& workingDirectory)
{
    // A run holds the window: a new list or recipe would change what it works on.
    if (m_inputBlock->isBlocked()) {
        m_waitingHandOvers.append({ arguments, workingDirectory });
        bringWindowToFront();
        return;
    }
    CommandLineProcessor::processCommandLine(arguments, workingDirectory);
    openCommandLineDocuments(arguments, workingDirectory);
    bringWindowToFront();
}

void AppDelegate::openCommandLineDocuments(const QStringList& arguments, const QString& workingDirectory)
{
    const QStringList absolute = CommandLineProcessor::absoluteArguments(arguments, workingDirectory);
    const QStringList documents = CommandLineProcessor::parse(absolute).documents;
    if (!documents.isEmpty())
        openFiles(documents);
}

void AppDelegate::bringWindowToFront()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->raise();
    m_window->activateWindow();
}

void AppDelegate::initDependencyRegistry()
{
    auto& registry = DependencyInjectionRegistry::shared();
    registry.registerInstance(std::make_shared<FileDataSource>());
    auto transformers = std::make_shared<Transformers>();
    registry.registerInstance(transformers);
    registry.registerInstance(std::make_shared<TransformationEventHandler>());
    registry.registerInstance(std::make_shared<RecentRecipeList>());
    registry.registerInstance(sharedView(new TransformViewController(transformers.get())));
    registry.registerInstance(sharedView(new TransformViewDialogController(transformers.get())));
    registry.registerInstance(std::make_shared<TableViewController>());
    registry.registerInstance(ProgressViewController::shared());
}

void AppDelegate::installServiceHooks()
{
    const QString file = QStringLiteral("Brackenfold/AppDelegate");
    const QString function = QStringLiteral("installServiceHooks()");
    FileAttributeLoader::install(&FileAttributeUtil::loadAttributes);
    FileAttributesWorker::shared().setRuleUsage([] {
        const auto transformers = DependencyInjectionRegistry::get<Transformers>(
            QStringLiteral("Brackenfold/FileAttributesWorker"), QStringLiteral("getFilesToPreload()"), __LINE__);
        return transformers && transformers->usesFileAttributes();
    });
    TransformationService::shared().setDelegate(std::make_shared<RenameRunAlerts>());

    if (const auto transformers = DependencyInjectionRegistry::get<Transformers>(file, function, __LINE__)) {
        transformers->setValidationCanceller(&FileValidationService::cancel);
        transformers->setAlertPresenter([](const QString& messageText, const QString& informativeText) {
            Alert::warning(messageText, informativeText);
        });
        // The list in the registry at the time, not the one of start-up.
        transformers->setRecipeRememberer([](const QUrl& url) {
            if (const auto list = DependencyInjectionRegistry::get<RecentRecipeList>(
                    QStringLiteral("Brackenfold/AppDelegate"), QStringLiteral("rememberRecipe"), __LINE__))
                list->rememberRecipeAt(url);
        });
    }
    if (const auto fileDataSource = DependencyInjectionRegistry::get<FileDataSource>(file, function, __LINE__)) {
        fileDataSource->addPendingTaskCanceller(&FileAttributesWorker::cancelPreload);
        fileDataSource->addPendingTaskCanceller(&FileValidationService::cancel);
        fileDataSource->setSortMenuSelector(&MainMenu::selectSortMenu);
    }
    if (const auto tableViewController = DependencyInjectionRegistry::get<TableViewController>(file, function, __LINE__)) {
        tableViewController->setLateUpdateHook([](const File& file, LateUpdateRequester::Priority priority) {
            TransformationQueue::enqueFileTransformation(file,
                priority == LateUpdateRequester::Priority::high ? TransformationQueue::TransformationPriority::high
                                                                : TransformationQueue::TransformationPriority::normal);
        });
        // Asked at every paint: the rule list in the registry now, not the one of start-up.
        tableViewController->setSelectRuleInForce([] {
            const auto transformers = DependencyInjectionRegistry::get<Transformers>(
                QStringLiteral("Brackenfold/AppDelegate"), QStringLiteral("selectRuleInForce"), __LINE__);
            return transformers && transformers->currentSelectTransformer().has_value();
        });
    }
}

void AppDelegate::initViews()
{
    if (!m_window)
        return;
    m_window->installEventFilter(&m_mainWindowDelegate);
    m_window->setContentViewController(new SplitViewController);
    // The shared alert sheet observes its notifications from now on.
    ModalAlertViewController::shared();
    MainMenu::globalMenuActions();
}

void AppDelegate::applicationDidFinishLaunching()
{
    initMostRecentRecipe();
    if (m_window)
        m_window->validateMenuItems();
    VersionCheck::checkVersion();
}

void AppDelegate::initMostRecentRecipe()
{
    const QString file = QStringLiteral("Brackenfold/AppDelegate");
    const QString function = QStringLiteral("initMostRecentRecipe()");
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(file, function, __LINE__);
    if (!transformers)
        return;
    const auto recentRecipeList = DependencyInjectionRegistry::get<RecentRecipeList>(file, function, __LINE__);
    if (!recentRecipeList)
        return;
    recentRecipeList->updateMenu();
    // A recipe named on the command line is opened instead.
    if (transformers->isEmpty() && !recentRecipeList->isEmpty() && !m_recipeRequested
        && Preference::boolFor(PreferenceKey::openMostRecentRecipeOnStartup)) {
        AppNotification::post(NotificationName::openMostRecentRecipe, {}, std::nullopt, function);
        return;
    }
    transformers->reset();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_window)
        m_window->saveFrame();
    GPSCache::savePending();
}

void AppDelegate::openFiles(const QStringList& paths)
{
    Log::debug(Log::Category::ui, "Application openFiles: %{public}s", paths.join(QStringLiteral(", ")));
    if (paths.size() == 1 && String::pathExtension(paths.first()) == Recipe::RECIPE_FILE_EXTENTION) {
        m_recipeRequested = true;
        QString path = paths.first();
        if (path.startsWith(QLatin1String("file://")))
            path = QUrl(path).toLocalFile();
        const QPointer<AppDelegate> self(this);
        MainThread::post([self, path] {
            const auto transformers = DependencyInjectionRegistry::get<Transformers>(
                QStringLiteral("Brackenfold/AppDelegate"), QStringLiteral("application(_:openFiles:)"), __LINE__);
            if (!transformers || !RecipeChangesAlert::mayReplaceRecipe())
                return;
            transformers->loadRecipe(QUrl::fromLocalFile(path));
            if (self)
                self->bringWindowToFront();
        });
        return;
    }
    QStringList absolute;
    for (const QString& path : paths)
        if (path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1String("file://")))
            absolute << path;
    AppNotification::OpenFolder::post(URL::from(absolute), false, FileAction::append);
}

void AppDelegate::registerUncaughtExceptionHandler()
{
    std::set_terminate([] {
        QString what = QStringLiteral("unknown exception");
        if (const std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& exception) {
                what = QString::fromUtf8(exception.what());
            } catch (...) {
            }
        }
        void* frames[64];
        const int count = backtrace(frames, 64);
        QStringList symbols;
        if (char** names = backtrace_symbols(frames, count)) {
            for (int i = 0; i < count; ++i)
                symbols << QString::fromLocal8Bit(names[i]);
            std::free(names);
        }
        Log::fault(Log::Category::general, "%{public}@\nStack trace: %{public}s", what, symbols.join(QLatin1Char('\n')));
        std::abort();
    });
}
