// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationService.h"

#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "engine/FileValidationService.h"
#include "engine/RuleRunState.h"
#include "engine/TransformationUtil.h"
#include "files/FileDataSource.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "rules/Transformers.h"
#include "tokens/AttributeResolver.h"
#include "tokens/FileAttributeUtil.h"
#include "tokens/FileAttributesWorker.h"

namespace {

constexpr auto PROCESS = Log::Category::process;
const QString CALLER = QStringLiteral("Brackenfold/TransformationService.cpp");
const QString QUICK_FUNCTION = QStringLiteral("transformAllFilesQuick(function:)");
const QString FULL_FUNCTION = QStringLiteral("transformAllFiles()");

struct Snapshot {
    std::shared_ptr<FileDataSource> fileDataSource;
    std::shared_ptr<Transformers> transformers;
    QList<Transformer> rules;
    QList<File> files;
    QList<FileTransform> transforms; // the store's list the files were made from

    bool hasStores() const { return fileDataSource && transformers; }
};

// The stores and copies of the rules and of all files, read in one hop. The
// main thread hands over the store's shared lists; the files are made here.
// A pass that makes every name afresh takes the files without their old names.
enum class SnapshotFor { fullRun, newNames };
Snapshot takeSnapshot(SnapshotFor use)
{
    Snapshot snapshot;
    FileComponents components;
    MainThread::runBlocking([&] {
        snapshot.fileDataSource = Inject<FileDataSource>().get();
        if (!snapshot.fileDataSource)
            return;
        snapshot.transformers = Inject<Transformers>().get();
        if (!snapshot.transformers)
            return;
        snapshot.rules = snapshot.transformers->list();
        components = snapshot.fileDataSource->getAllComponents();
    });
    snapshot.files = use == SnapshotFor::newNames ? FileDataSource::filesToTransformOf(components)
                                                  : FileDataSource::filesOf(components);
    snapshot.transforms = std::move(components.fileTransforms);
    return snapshot;
}

void writeBackRunState(Transformers& transformers, const QList<Transformer>& passRules)
{
    MainThread::runBlocking([&] { RuleRunState::writeBack(transformers, passRules); });
}

void postQueued(const QString& name, const QString& function)
{
    MainThread::runBlocking([&] { AppNotification::post(name, {}, std::nullopt, function); });
}

// What the preload before a full run could not bring into the store (it was
// cancelled, or no rule list answers) is read here: the full token resolution
// takes a file whose attributes were never read as having none. False when
// cancelled.
bool loadMissingAttributes(QList<File>& files, const QList<Transformer>& rules, std::stop_token stop)
{
    const bool needed = std::any_of(rules.cbegin(), rules.cend(),
        [](const Transformer& rule) { return !rule.disabled && rule.usesFileAttributes(); });
    if (!needed)
        return true;
    for (File& file : files) {
        if (stop.stop_requested())
            return false;
        if (!file.attributes)
            file.attributes = FileAttributes { FileAttributeUtil::loadAttributes(file.sourceUrl()) };
    }
    return true;
}

} // namespace

TransformationService& TransformationService::shared()
{
    static TransformationService service;
    return service;
}

void TransformationService::setDelegate(std::shared_ptr<RenameRunDelegate> delegate)
{
    std::lock_guard lock(m_mutex);
    m_delegate = std::move(delegate);
}

std::shared_ptr<RenameRunDelegate> TransformationService::delegate() const
{
    std::lock_guard lock(m_mutex);
    if (!m_delegate) {
        static const auto fallback = std::make_shared<RenameRunDelegate>();
        return fallback;
    }
    return m_delegate;
}

void TransformationService::showGPSAddressFailure(GPSFailureMoment moment)
{
    const std::optional<GPSError> failure = AttributeResolver::gpsAddressResolver()->takeUnreportedFailure();
    if (!failure)
        return;
    Log::error(PROCESS, "🔹 GPS addresses left out: %{public}s", failure->messageText);
    const QString informativeText
        = moment == GPSFailureMoment::preview ? failure->previewInformativeText() : failure->informativeText;
    const std::shared_ptr<RenameRunDelegate> alerts = delegate();
    // Shown before the work goes on, so it is never said after the fact.
    MainThread::runBlocking([&] { alerts->showNotice(failure->messageText, informativeText); });
}

void TransformationService::transformAllFilesQuick(std::stop_token stop, const QString& function)
{
    Snapshot snapshot = takeSnapshot(SnapshotFor::newNames);
    if (!snapshot.hasStores())
        return;
    // Fresh transforms, every one of them still to be made.
    QList<File> files = std::move(snapshot.files);
    if (files.isEmpty())
        return;

    Log::debug(PROCESS, "🔷 Starting transform all %ld files (quick) [called from: %{public}s]", files.size(), function);
    QString messageId;
    MainThread::runBlocking([&] { messageId = AppNotification::ShowProgressIndicator::post(QStringLiteral("Transforming..."), QUICK_FUNCTION); });
    const auto hideIndicator = [&] {
        MainThread::runBlocking([&] { AppNotification::HideProgressIndicator::post(messageId, QUICK_FUNCTION); });
    };
    // Only starts the background preload; this pass resolves tokens from what is loaded.
    FileAttributesWorker::shared().preloadAllAttributes();

    const qsizetype fileCount = files.size();
    TransformationUtil::TransformResult result = TransformationUtil::transformFilesQuick(std::move(files), snapshot.rules, stop,
        TransformationUtil::TransformStart::initial);
    if (stop.stop_requested()) {
        Log::debug(PROCESS, "🔷 Cancelled transformAllFilesQuick for %ld files.", result.files.size());
        hideIndicator();
        return;
    }

    writeBackRunState(*snapshot.transformers, result.transformers);
    if (snapshot.fileDataSource->updateFiles(result.files, FileComponentMutation::transformed, CALLER, stop)) {
        snapshot.fileDataSource->calculateLongest(std::nullopt, stop);
        if (std::optional<QList<File>> validated = FileValidationService::validateFiles(std::move(result.files), stop))
            clearConcurrently(*validated);
    }
    hideIndicator();
    postQueued(NotificationName::dataSourceUpdated, QUICK_FUNCTION);
    Log::debug(PROCESS, "🔷 Transforming all %ld files (quick) finished, needsLateUpdate: %s", fileCount,
        result.lateUpdateRequired ? "true" : "false");
}

TransformationService::FullTransformation TransformationService::transformAllFiles(std::stop_token stop)
{
    FullTransformation full;
    FileAttributesWorker::shared().preloadAllAttributesNow(stop);
    Snapshot snapshot = takeSnapshot(SnapshotFor::fullRun);
    if (!snapshot.hasStores())
        return full;
    QList<File> files = std::move(snapshot.files);
    if (files.isEmpty())
        return full;
    if (!loadMissingAttributes(files, snapshot.rules, stop))
        return full;
    full.previewTransforms = std::move(snapshot.transforms);

    Log::info(PROCESS, "🔹 Starting transform all %ld files", files.size());
    // Addresses that could not be found before are asked for again in a new run.
    AttributeResolver::gpsAddressResolver()->forgetFailures();
    const auto progress = [this](const ProgressData& data) {
        MainThread::post([data] {
            AppNotification::UpdateProgressView::post(data.progressCount, data.totalCount, QStringLiteral("Preparing"), true);
        });
        // A long pass says within a second that addresses are left out.
        showGPSAddressFailure(GPSFailureMoment::renaming);
    };
    TransformationUtil::TransformResult pass = TransformationUtil::transformFiles(std::move(files), snapshot.rules, progress, Clock::system(), stop);
    if (stop.stop_requested()) {
        Log::debug(PROCESS, "🔷 Cancelled transformAllFiles for %ld files.", pass.files.size());
        return full;
    }

    showGPSAddressFailure(GPSFailureMoment::renaming);
    full.numberStarts = NumberStart::updatesAfterRun(pass.transformers, pass.fileIndex);
    writeBackRunState(*snapshot.transformers, pass.transformers);

    TransformationResult result = TransformationResult::ok();
    if (pass.error) {
        switch (pass.error->kind()) {
        case TransformError::Kind::skipped:
            break;
        case TransformError::Kind::aborted:
            Log::error(PROCESS, "🔹 Aborting transformation process (user initiated)");
            result = TransformationResult::aborted();
            break;
        case TransformError::Kind::lateUpdateRequired: {
            const QString message = QStringLiteral("Unexpected 'lateUpdateRequired' reported");
            Log::error(PROCESS, "🔹 Aborting transformation process: %{public}s", message);
            result = TransformationResult::error(message);
            break;
        }
        case TransformError::Kind::fatal: {
            const QString messageText = pass.error->messageText();
            const QString informativeText = pass.error->informativeText();
            Log::error(PROCESS, "🔹 Aborting transformation process: %{public}s", informativeText);
            const std::shared_ptr<RenameRunDelegate> alerts = delegate();
            MainThread::post([alerts, messageText, informativeText] { alerts->showWarning(messageText, informativeText); });
            result = TransformationResult::error(informativeText);
            break;
        }
        }
    }

    if (snapshot.fileDataSource->updateFiles(pass.files, FileComponentMutation::transformed, CALLER, stop)) {
        snapshot.fileDataSource->calculateLongest(std::nullopt, stop);
        // Validated once: the store gets the verdicts for the table and the
        // rule bar, the run keeps its own copy, so what is renamed is decided
        // here, not by whatever the store holds by the time the renaming starts.
        std::optional<QList<File>> validated = FileValidationService::validateFiles(std::move(pass.files), stop);
        if (validated)
            full.files = std::move(*validated);
        if (!validated || stop.stop_requested())
            result = TransformationResult::aborted();
    } else {
        result = TransformationResult::aborted();
    }

    postQueued(NotificationName::dataSourceUpdated, FULL_FUNCTION);
    Log::info(PROCESS, "🔹 Completed transform all files%s",
        result.kind == TransformationResult::Kind::ok ? QString() : QStringLiteral(" with errors."));
    full.result = result;
    if (result.kind != TransformationResult::Kind::ok)
        full.files.clear();
    return full;
}
