// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/FileTransformationWorker.h"

#include "core/AppNotification.h"
#include "core/RegularExpression.h"
#include "core/DependencyInjectionRegistry.h"
#include "engine/FileValidationService.h"
#include "engine/ProgressData.h"
#include "engine/TransformationService.h"
#include "files/FileDataSource.h"
#include "platform/Clock.h"
#include "platform/GlobalActors.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "rules/TransformError+description.h"
#include "tokens/TransformError.h"

#include <QHash>

#include <algorithm>
#include <future>

namespace {

constexpr auto BACKGROUND = Log::Category::background;
const QString CALLER = QStringLiteral("Brackenfold/FileTransformationWorker.cpp");

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

// A file the drain has done, not yet written back, with the transform it was
// computed from.
struct LateName {
    File file;
    FileTransform readFrom;
};

// Whether the store still holds the transform a late name was computed from:
// a preview that wrote the file meanwhile makes the late name stale. The
// counter is left aside, since every check of the list gives it anew.
bool isCurrent(const LateName& done, const File& stored)
{
    if (done.file.source.id != stored.source.id || done.file.fileGenerationId != stored.fileGenerationId)
        return false;
    FileTransform readFrom = done.readFrom;
    readFrom.uniqueSuffix = stored.transformed.uniqueSuffix;
    return readFrom == stored.transformed;
}

// The files done go back together, with the whole list validated around them
// as a preview's names are: a late name may clash with any file, give it a
// counter or take one from it. On the validation executor, so the store is
// read after every validation queued before this one has written.
void writeBack(FileDataSource& store, QHash<qint64, LateName>& done, std::stop_token stop)
{
    if (done.isEmpty())
        return;
    runOn(GlobalActors::validation(), [&] {
        QList<File> files;
        {
            FileComponents components;
            MainThread::runBlocking([&] { components = store.getAllComponents(); });
            files = FileDataSource::filesOf(components);
        }
        QList<File> loaded; // the files whose attributes the store lacks
        bool any = false;
        for (File& file : files) {
            const auto found = done.constFind(file.index.value_or(-1));
            if (found == done.cend() || !isCurrent(*found, file))
                continue;
            any = true;
            if (!file.attributes && found->file.attributes)
                loaded << found->file;
            file.transformed = found->file.transformed;
            file.validation = found->file.validation;
            file.attributes = found->file.attributes;
        }
        done.clear();
        if (!any)
            return;
        if (!loaded.isEmpty() && !store.updateFiles(loaded, FileComponentMutation::attributes, CALLER, stop))
            return;
        FileValidationService::validateFiles(std::move(files), stop);
    });
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
    QHash<qint64, LateName> done;
    // Rows fill in while a long drain goes on; checking the whole list takes
    // at most about a tenth of its time.
    const Clock& clock = Clock::system();
    qint64 lastWriteBack = clock.nowMilliseconds();
    qint64 writeBackCost = 0;
    const auto writeBackDone = [&] {
        const qint64 start = clock.nowMilliseconds();
        writeBack(*fileDataSource, done, stop);
        lastWriteBack = clock.nowMilliseconds();
        writeBackCost = lastWriteBack - start;
    };
    while (true) {
        std::optional<File> next;
        bool aborted = false;
        bool emptied = false;
        runOn(queueExecutor, [&] {
            next = queue.nextFile();
            if (next && stop.stop_requested()) {
                Log::debug(BACKGROUND, "fileTransformQueue: Transformation aborted");
                queue.clear();
                aborted = true;
            }
            emptied = queue.count() == 0;
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
            std::optional<TransformationService::SingleFileResult> result;
            runOn(GlobalActors::transformation(), [&] {
                const RegularExpression::TimeOuts::Scope timeOutScope(timeOuts);
                result = TransformationService::shared().transformFile(*current);
            });
            if (result) {
                // A failing file goes back as far as its rules got.
                done.insert(*current->index, LateName { std::move(result->file), current->transformed });
                if (result->failure)
                    std::rethrow_exception(result->failure);
            }
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
        if (emptied || clock.nowMilliseconds() - lastWriteBack >= std::max(ProgressData::progressInterval, 10 * writeBackCost))
            writeBackDone();
    }
    if (!stop.stop_requested())
        writeBackDone();

    MainThread::runBlocking([] {
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, QStringLiteral("processQueue(queue:)"));
    });
    Log::debug(BACKGROUND, "fileTransformQueue: End processing %ld queued files", count);
}

} // namespace FileTransformationWorker
