// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenFolderEventHandler.h"

#include "app/MainWindow.h"
#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/Stopwatch.h"
#include "files/FileDataSource.h"
#include "files/FilesAndDirectories.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "tokens/FileAttributesWorker.h"
#include "uikit/Alert.h"

#include <QPointer>

#include <chrono>
#include <semaphore>
#include <utility>

namespace {
// One open's walk result. When the worker lets go of it (after the walk, or
// without running when cancelled first), the finishing part is posted to the
// main thread, so the progress indicator always goes away.
class OpenRun {
public:
    struct Result {
        FileComponents files; // apart already, so that the store takes them over whole
        QList<RejectedDirectory> rejected;
        QList<QUrl> openedUrls;
        bool walked = false;
    };
    using Finish = std::function<void(const Result&)>;

    explicit OpenRun(Finish finish)
        : m_finish(std::move(finish))
    {
    }
    ~OpenRun()
    {
        MainThread::post([finish = std::move(m_finish), result = std::move(result)] { finish(result); });
    }
    OpenRun(const OpenRun&) = delete;
    OpenRun& operator=(const OpenRun&) = delete;

    Result result;

private:
    Finish m_finish;
};

std::shared_ptr<FileDataSource> fileDataSource(const char* function, unsigned long line)
{
    return DependencyInjectionRegistry::get<FileDataSource>(QStringLiteral("Brackenfold/OpenFolderEventHandler"),
        QString::fromLatin1(function), line);
}

void activateApplication()
{
    if (MainWindow* window = MainWindow::mainWindow(); window && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}
} // namespace

OpenFolderEventHandler::OpenFolderEventHandler()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::openFolder, [this](const Notification& n) { openFolderEvent(n); });
    center.addObserver(this, NotificationName::openFolderAndWait, [this](const Notification& n) { openFolderAndWaitEvent(n); });
}

void OpenFolderEventHandler::openFolderEvent(const Notification& notification)
{
    activateApplication();
    const AppNotification::OpenFolderInfo info = AppNotification::OpenFolder::get(notification);
    if (info.ask) {
        askToOpenFilesAndDirectories(info.urls);
        return;
    }
    startStoredOpen(info.urls, info.action);
}

void OpenFolderEventHandler::startStoredOpen(const QList<QUrl>& urls, FileAction action, std::function<void()> finished)
{
    PendingOpen open { urls, action, std::move(finished) };
    if (action == FileAction::append && (m_openFilesTask.isValid() || !m_pendingOpens.isEmpty())) {
        // Cancelling the open before would lose its files ("-d A B" lost A).
        m_pendingOpens.append(std::move(open));
        return;
    }
    m_openFilesTask.cancel();
    // A replace supersedes whatever was waiting; their waiters are let go.
    for (PendingOpen& dropped : std::exchange(m_pendingOpens, {}))
        if (dropped.finished)
            MainThread::post(std::move(dropped.finished));
    startOpen(std::move(open));
}

void OpenFolderEventHandler::startOpen(PendingOpen open)
{
    auto handle = std::make_shared<TaskHandle>();
    QPointer<OpenFolderEventHandler> self(this);
    *handle = openAllFilesAndDirectories(open.urls, open.action, [self, handle, finished = std::move(open.finished)] {
        // A newer open may have taken the place meanwhile: only clear our own.
        if (self && self->m_openFilesTask == *handle) {
            self->m_openFilesTask = TaskHandle();
            if (!self->m_pendingOpens.isEmpty())
                self->startOpen(self->m_pendingOpens.takeFirst());
        }
        if (finished)
            finished();
    });
    m_openFilesTask = *handle;
}

void OpenFolderEventHandler::openFolderAndWaitEvent(const Notification& notification)
{
    const auto info = AppNotification::OpenFolderAndWait::get(notification);
    const QList<QUrl> urls = info ? info->urls : QList<QUrl>();
    auto done = std::make_shared<std::binary_semaphore>(0);
    startStoredOpen(urls, FileAction::replace, [done] { done->release(); });
    // The open needs the main thread: waiting on it there could only time out.
    if (MainThread::isCurrent())
        return;
    if (!done->try_acquire_for(std::chrono::seconds(180)))
        Log::debug(Log::Category::ui, "openFolderAndWaitEvent timed out!");
}

void OpenFolderEventHandler::askToOpenFilesAndDirectories(const QList<QUrl>& urls)
{
    const auto dataSource = fileDataSource("askToOpenFilessAndDirectories(_:)", __LINE__);
    if (!dataSource)
        return;
    if (dataSource->count() == 0) {
        startStoredOpen(urls, FileAction::replace);
        return;
    }
    Alert::warning(QStringLiteral("Brackenfold already has some opened files"),
        QStringLiteral("Do you want to replace or append the files?"),
        { QStringLiteral("Append"), QStringLiteral("Replace"), QStringLiteral("Cancel") },
        [urls](Alert::ModalResponse response) {
            // These opens are not stored and cancel nothing: the user chose them.
            if (response == Alert::FIRST_BUTTON)
                openAllFilesAndDirectories(urls, FileAction::append, {});
            else if (response == Alert::FIRST_BUTTON + 1)
                openAllFilesAndDirectories(urls, FileAction::replace, {});
        });
}

OpenFolderEventHandler::RejectionReport OpenFolderEventHandler::rejectionReport(const QList<RejectedDirectory>& rejected)
{
    if (rejected.isEmpty())
        return {};
    // One group a reason, so that hundreds of refusals of one kind take a few lines.
    constexpr RejectionReason order[] = { RejectionReason::restrictedPath, RejectionReason::readonlyPath,
        RejectionReason::readonlyVolume, RejectionReason::error };
    RejectionReport report;
    QStringList lines;
    for (const RejectionReason reason : order) {
        AlertList group { RejectionReasons::rawValue(reason), {} };
        for (const RejectedDirectory& directory : rejected) {
            if (directory.reason == reason)
                group.items << directory.path;
        }
        if (group.items.isEmpty())
            continue;
        const qsizetype n = group.items.size();
        lines << QStringLiteral("%1: %2 %3").arg(group.title).arg(n).arg(n == 1 ? QStringLiteral("item") : QStringLiteral("items"));
        report.lists << std::move(group);
    }
    report.informativeText
        = QStringLiteral("Files in the following folders are restricted for renaming:\n\n ") + lines.join(QLatin1Char('\n'));
    return report;
}

TaskHandle OpenFolderEventHandler::openAllFilesAndDirectories(const QList<QUrl>& urls, FileAction action,
    std::function<void()> finished)
{
    const auto dataSource = fileDataSource("openAllFilesAndDirectories(_:action:)", __LINE__);
    if (!dataSource) {
        if (finished)
            MainThread::post(finished);
        return {};
    }
    Log::debug(Log::Category::files, "🔶 ===============[ openAllFilesAndDirectories ]==================");
    auto stopwatch = std::make_shared<Stopwatch>();
    const QString messageId = AppNotification::ShowProgressIndicator::post(QStringLiteral("Loading..."),
        QString::fromLatin1(FUNCTION));

    // The main-thread part runs when the worker lets go of the run: after the
    // walk, or at once when the task was cancelled before it started.
    // Set on this thread before the finishing part, which runs here later, reads it.
    auto stop = std::make_shared<std::stop_token>();
    // A new list is sorted on the worker: sorting it here would hold the window.
    const std::optional<FileSortOrder> sortOrder = action == FileAction::replace
        ? std::optional(dataSource->sortOrder()) : std::nullopt;
    auto run = std::make_shared<OpenRun>([=](const OpenRun::Result& result) {
        const bool cancelled = !result.walked || stop->stop_requested();
        // Every folder refused: a replace still replaces, with nothing (one
        // undo step brings the list back), and the report says why.
        if (!cancelled) {
            dataSource->replaceFilesFromComponents(result.files, action, result.openedUrls, *stop);
            if (sortOrder && dataSource->sortOrder() == *sortOrder) {
                dataSource->setSortOrder(*sortOrder);
            } else if (sortOrder) {
                Log::debug(Log::Category::files, "🔶 openAllFilesAndDirectories: sorting...");
                dataSource->sortImmediate(dataSource->sortOrder(), *stop);
            }
            // Restarted for the new list; it decides off this thread what to read.
            FileAttributesWorker::shared().cancel();
            FileAttributesWorker::shared().preloadAllAttributes();
        }
        AppNotification::HideProgressIndicator::post(messageId, QString::fromLatin1(FUNCTION));
        // A superseded open reports nothing: its list never arrived.
        if (!cancelled && !result.rejected.isEmpty()) {
            const RejectionReport report = rejectionReport(result.rejected);
            Alert::warning(QStringLiteral("Unable to open all files"), report.informativeText, report.lists);
        }
        stopwatch->logElapsedTime(QStringLiteral("openAllFilesAndDirectories"));
        if (finished)
            finished();
    });
    TaskHandle task = TaskHandle::detached([run, urls, sortOrder](std::stop_token stop) {
        Log::debug(Log::Category::files, "🔶 openAllFilesAndDirectories: replaceAllFiles...");
        const FilesAndDirectories filesAndDirectories(urls);
        OpenRun::Result& result = run->result;
        QList<File> files = filesAndDirectories.allFiles(stop);
        if (sortOrder) {
            Log::debug(Log::Category::files, "🔶 openAllFilesAndDirectories: sorting...");
            if (std::optional<QList<File>> sorted = FileDataSource::sorted(std::move(files), *sortOrder, stop))
                files = std::move(*sorted);
        }
        result.files = FileDataSource::componentsOf(std::move(files));
        result.rejected = filesAndDirectories.rejectedDirectories();
        result.openedUrls = filesAndDirectories.openedUrls;
        result.walked = !stop.stop_requested();
    });
    *stop = task.stopToken();
    return task;
}
