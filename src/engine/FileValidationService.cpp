// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileValidationService.h"

#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "platform/ConcurrentChunks.h"
#include "engine/FileValidationUtil.h"
#include "files/FileDataSource.h"
#include "platform/Clock.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/Task.h"

#include <future>
#include <mutex>

namespace FileValidationService {

namespace {

const QString FUNCTION = QStringLiteral("validateFiles(files:)");
const QString CALLER = QStringLiteral("Brackenfold/FileValidationService.cpp");

std::mutex& taskMutex()
{
    static std::mutex mutex;
    return mutex;
}

TaskHandle& validationTask()
{
    static TaskHandle task;
    return task;
}

// A run that ends clears the stored job only when it is that job.
void clearValidationTask(const std::stop_token& stop)
{
    std::lock_guard lock(taskMutex());
    if (validationTask().isValid() && validationTask().stopToken() == stop)
        validationTask() = TaskHandle();
}

std::optional<QList<File>> run(QList<File> files, std::stop_token stop)
{
    std::shared_ptr<FileDataSource> fileDataSource;
    MainThread::runBlocking([&] { fileDataSource = Inject<FileDataSource>().get(); });
    if (!fileDataSource)
        return std::nullopt;

    Log::debug(Log::Category::process, "🔷 Validating %ld files.", files.size());
    QString messageId;
    MainThread::runBlocking([&] { messageId = AppNotification::ShowProgressIndicator::post(QStringLiteral("Validating..."), FUNCTION); });
    const qint64 startTime = Clock::system().nowMilliseconds();

    auto abort = [&] {
        Log::debug(Log::Category::process, "🔷 Validating files aborted.");
        clearValidationTask(stop);
        MainThread::runBlocking([&] { AppNotification::HideProgressIndicator::post(messageId, FUNCTION); });
    };

    if (stop.stop_requested()) {
        abort();
        return std::nullopt;
    }
    std::optional<QList<File>> validated = validateFilesConcurrent(std::move(files), stop);
    if (!validated || stop.stop_requested()) {
        abort();
        return std::nullopt;
    }
    FileValidationUtil::validateUniquenessInterruptable(*validated, stop);
    if (stop.stop_requested()) {
        abort();
        return std::nullopt;
    }
    const FileComponentMutations components = FileComponentMutations(FileComponentMutation::validation) | FileComponentMutation::transformed;
    if (!fileDataSource->updateFiles(*validated, components, CALLER, stop)) {
        abort();
        return validated;
    }

    FileValidationUtil::reportValidationResults(*validated, FUNCTION);
    MainThread::runBlocking([] { AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, FUNCTION); });
    Log::debug(Log::Category::process, "🔷 Validating files finished in %ld ms.", Clock::system().nowMilliseconds() - startTime);
    clearValidationTask(stop);
    MainThread::runBlocking([&] { AppNotification::HideProgressIndicator::post(messageId, FUNCTION); });
    return validated;
}

} // namespace

std::optional<QList<File>> validateFiles(QList<File> files, std::stop_token stop)
{
    SerialExecutor& executor = GlobalActors::validation();
    if (executor.isCurrent())
        return run(std::move(files), stop);
    std::future<std::optional<QList<File>>> finished;
    {
        // Only the job holds the promise: a job the executor drops while the
        // process ends breaks it, and the wait below returns.
        auto done = std::make_shared<std::promise<std::optional<QList<File>>>>();
        finished = done->get_future();
        executor.submit([files = std::move(files), stop, done]() mutable { done->set_value(run(std::move(files), stop)); });
    }
    // The main thread never waits for a worker.
    if (MainThread::isCurrent())
        return std::nullopt;
    try {
        return finished.get();
    } catch (const std::future_error&) {
        return std::nullopt; // dropped while the process ends
    }
}

std::optional<QList<File>> validateFilesConcurrent(QList<File> files, std::stop_token stop)
{
    if (files.isEmpty())
        return QList<File> {};

    const DirectoryRoots roots = DirectoryRoots::fromMachine();
    // Each chunk validates its own part of the list in place. A list the
    // caller still holds is copied by the chunks, each its own part, rather
    // than all at once by one thread.
    const bool copy = !files.isDetached();
    const File* const source = files.constData();
    QList<File> validated = copy ? QList<File>(files.size()) : std::move(files);
    File* const first = validated.data();
    const bool completed = forEachChunkConcurrently(validated.size(), CHUNK_SIZE, [&] {
        return [&, directoryValidator = DirectoryValidator(roots)](qsizetype begin, qsizetype end) mutable {
            Log::debug(Log::Category::process, "Validation chunk of %ld files starting.", end - begin);
            for (qsizetype i = begin; i < end; ++i) {
                if (stop.stop_requested())
                    return false;
                if (copy)
                    first[i] = source[i];
                FileValidationUtil::validateFile(first[i], directoryValidator);
            }
            return true;
        };
    });
    if (!completed || stop.stop_requested()) {
        Log::debug(Log::Category::process, "Cancelling all pending validation chunks.");
        return std::nullopt;
    }
    // In list order, so the duplicate check sees the same list however the chunks finished.
    return validated;
}

void runValidationTask(const QList<File>& files)
{
    std::lock_guard lock(taskMutex());
    if (validationTask().isValid()) {
        Log::debug(Log::Category::background, "FileValidationService is cancelling existing task to start a new job");
        validationTask().cancel();
    }
    validationTask() = TaskHandle::detached([files](std::stop_token stop) { validateFiles(files, stop); });
}

void cancel()
{
    {
        std::lock_guard lock(taskMutex());
        if (validationTask().isValid()) {
            Log::debug(Log::Category::background, "FileValidationService cancelled");
            validationTask().cancel();
        }
    }
    TaskHandle::detached([](std::stop_token) {
        // The main thread only shares the lists; the files are made here, and
        // the lists let go of at once: a list still shared when the main thread
        // writes to it would be copied whole there.
        QList<File> files;
        {
            FileComponents components;
            MainThread::runBlocking([&] {
                if (auto fileDataSource = Inject<FileDataSource>().get())
                    components = fileDataSource->getAllComponents();
            });
            files = FileDataSource::filesOf(components);
        }
        FileValidationUtil::reportValidationResults(files, QStringLiteral("cancel()"));
    });
}

bool isReady()
{
    std::lock_guard lock(taskMutex());
    return !validationTask().isValid() || validationTask().isCancelled();
}

} // namespace FileValidationService
