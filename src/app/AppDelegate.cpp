#include "app/AppDelegate.h"

#include "app/CommandLineProcessor.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/OpenFolderEventHandler.h"
#include "app/ProgressViewController.h"
#include "app/RenameRunAlerts.h"
#include "app/SplitViewController.h"
#include "app/VersionCheck.h"
#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
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
#include "rules/Transformers.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/GPSCache.h"
#include "uikit/ModalAlertViewController.h"
#include "uikit/ModalIdleCondition.h"

#include <QApplication>
#include <QPointer>

#include <execinfo.h>

#include <cstdlib>
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

AppDelegate::AppDelegate(MainWindow* window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationWillFinishLaunching(const QStringList& arguments)
{
    registerUncaughtExceptionHandler();
    initDependencyRegistry();
    installServiceHooks();
    Preference::initDefaults();
    m_openFolderEventHandler = std::make_unique<OpenFolderEventHandler>();
    // Queued notifications wait while a dialog or a menu is open.
    ModalIdleCondition::install();
    CommandLineProcessor::processCommandLine(arguments);
    initViews();
    const QStringList documents = CommandLineProcessor::parse(arguments).documents;
    if (!documents.isEmpty())
        openFiles(documents);
}

void AppDelegate::initDependencyRegistry()
{
    auto& registry = DependencyInjectionRegistry::shared();
    registry.registerInstance(std::make_shared<FileDataSource>());
    auto transformers = std::make_shared<Transformers>();
    registry.registerInstance(transformers);
    registry.registerInstance(std::make_shared<TransformationEventHandler>());
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
    TransformationService::shared().setDelegate(std::make_shared<RenameRunAlerts>());

    if (const auto transformers = DependencyInjectionRegistry::get<Transformers>(file, function, __LINE__))
        transformers->setValidationCanceller(&FileValidationService::cancel);
    if (const auto fileDataSource = DependencyInjectionRegistry::get<FileDataSource>(file, function, __LINE__)) {
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
    // Reopening the most recent recipe needs the recent-recipe list, which is
    // not part of this build: every launch starts with one fresh rule.
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(
        QStringLiteral("Brackenfold/AppDelegate"), QStringLiteral("initMostRecentRecipe()"), __LINE__);
    if (transformers)
        transformers->reset();
}

void AppDelegate::applicationWillTerminate()
{
    GPSCache::savePending();
}

void AppDelegate::openFiles(const QStringList& paths)
{
    Log::debug(Log::Category::ui, "Application openFiles: %{public}s", paths.join(QStringLiteral(", ")));
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
