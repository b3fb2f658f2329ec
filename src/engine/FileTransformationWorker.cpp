// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileTransformationWorker.h"

#include "core/AppNotification.h"
#include "core/RegularExpression.h"
#include "core/DependencyInjectionRegistry.h"
#include "engine/FileValidationUtil.h"
#include "engine/TransformationService.h"
#include "files/FileDataSource.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "rules/TransformError+description.h"
#include "tokens/TransformError.h"

#include <future>

namespace {

constexpr auto BACKGROUND = Log::Category::background;

// Runs `work` on `executor` and waits for it, passing its exception on.
void runOn(SerialExecutor& executor, const std::function<void()>& work)
{
    if (executor.isCurrent()) {
        work();
        return;
    }
    std::future<void> finished;
    {
        // Only the job holds the promise: a job the executor drops while the
        // process ends breaks it instead of leaving this wait for ever.
        auto done = std::make_shared<std::promise<void>>();
        finished = done->get_future();
        executor.submit([&work, done] {
            try {
                work();
                done->set_value();
            } catch (...) {
                done->set_exception(std::current_exception());
            }
        });
    }
    try {
        finished.get();
    } catch (const std::future_error& error) {
        if (error.code() != std::future_errc::broken_promise)
            throw;
    }
}

} // namespace

namespace FileTransformationWorker {

void processQueue(FileQueue& queue, std::stop_token stop)
{
    std::shared_ptr<FileDataSource> fileDataSource;
    MainThread::runBlocking([&] { fileDataSource = Inject<FileDataSource>().get(); });
    if (!fileDataSource)
        return;

    SerialExecutor& queueExecutor = GlobalActors::transformationQueue();
    runOn(queueExecutor, [&] {
        Log::debug(BACKGROUND, "fileTransformQueue: Start processing %ld queued files.\n[%s]", queue.count(),
            queue.queuedIndexes());
    });
    qint64 count = 0;
    // One drain is one pass: a pattern out of time for one file is not tried again.
    RegularExpression::TimeOuts timeOuts;
    while (true) {
        std::optional<File> next;
        bool aborted = false;
        runOn(queueExecutor, [&] {
            next = queue.nextFile();
            if (next && stop.stop_requested()) {
                Log::debug(BACKGROUND, "fileTransformQueue: Transformation aborted");
                queue.clear();
                aborted = true;
            }
        });
        if (!next || aborted)
            break;
        if (!next->index)
            continue;

        // The file as the store holds it now; none when its slot holds another
        // file since the list was replaced.
        std::optional<File> current;
        MainThread::runBlocking([&] { current = fileDataSource->getLatestGeneration(next); });
        if (!current)
            continue;

        ++count;
        try {
            runOn(GlobalActors::transformation(), [&] {
                const RegularExpression::TimeOuts::Scope timeOutScope(timeOuts);
                TransformationService::shared().transformFile(*current);
            });
        } catch (const TransformError& error) {
            if (error.kind() == TransformError::Kind::aborted) {
                Log::error(BACKGROUND, "fileTransformQueue: Transformation aborted");
                runOn(queueExecutor, [&] { queue.clear(); });
                break;
            }
            Log::error(BACKGROUND, "fileTransformQueue: Transformation failed: %{public}@", localizedDescription(error));
        } catch (const std::exception& error) {
            Log::error(BACKGROUND, "fileTransformQueue: Transformation failed: %{public}@", QString::fromUtf8(error.what()));
        } catch (...) {
            Log::error(BACKGROUND, "fileTransformQueue: Transformation failed: %{public}@", QStringLiteral("Unknown error"));
        }
    }

    // Each file was validated as it was written back; the counts of the list
    // change with them (and the Rename button with the counts).
    if (count > 0 && !stop.stop_requested()) {
        FileComponents components;
        MainThread::runBlocking([&] { components = fileDataSource->getAllComponents(); });
        FileValidationUtil::reportValidationResults(FileDataSource::filesOf(components), QStringLiteral("processQueue(queue:)"));
    }
    MainThread::runBlocking([] {
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, QStringLiteral("processQueue(queue:)"));
    });
    Log::debug(BACKGROUND, "fileTransformQueue: End processing %ld queued files", count);
}

} // namespace FileTransformationWorker
