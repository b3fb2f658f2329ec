// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TransformationService.h"

#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "core/Preference.h"
#include "core/String+path.h"
#include "engine/FileValidationUtil.h"
#include "engine/LatestProgress.h"
#include "engine/TransformationUtil.h"
#include "files/FileDataSource.h"
#include "platform/ConcurrentChunks.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/MainWindowLocator.h"
#include "platform/NotificationCenter.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "tokens/AttributeResolver.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr auto PROCESS = Log::Category::process;
const QString CALLER = QStringLiteral("Brackenfold/TransformationService+rename.cpp");
const QString RUN_FUNCTION = QStringLiteral("applyTransformationsAndRename(force:)");

// The files the rename loop will move: no validation errors, a new name, path
// or extension that is not where the file is already (a counter can bring a
// new name back to the old one), and no folder while folders are not renamed
// (the loop passes over those, so they are neither counted nor reported as
// failures). Filtered in place: the run holds one list of its files, not two.
// `errorCount` gets the number of files with errors, told in the same pass.
QList<File> selectFilesToRename(QList<File>&& files, qint64& errorCount)
{
    const bool renameFolders = Preference::boolFor(PreferenceKey::renameEmptyFolders);
    // Told on all cores: each file's names are compared as canonical texts.
    constexpr qsizetype CHUNK_SIZE = 4096;
    const qsizetype count = files.size();
    std::vector<char> left(count);
    std::atomic<qint64> errors = 0;
    forEachChunkConcurrently(count, CHUNK_SIZE, [&] {
        return [&](qsizetype begin, qsizetype end) {
            qint64 chunkErrors = 0;
            for (qsizetype i = begin; i < end; ++i) {
                const File& file = files.at(i);
                const bool hasErrors = !file.validation.errors.isEmpty();
                chunkErrors += hasErrors;
                left[i] = hasErrors || !FileValidationUtil::isChanged(file) || FileValidationUtil::isInPlace(file)
                    || (file.isDirectory() && !renameFolders);
            }
            errors += chunkErrors;
            return true;
        };
    });
    errorCount = errors;
    // In place, in list order: no second list of files, and no copy of a
    // shared one when every file is renamed.
    if (std::any_of(left.cbegin(), left.cend(), [](char isLeft) { return isLeft; })) {
        File* const data = files.data();
        qsizetype kept = 0;
        for (qsizetype i = 0; i < count; ++i) {
            if (left[i])
                continue;
            if (kept != i)
                data[kept] = std::move(data[i]);
            ++kept;
        }
        files.resize(kept);
    }
    return std::move(files);
}

// A file the preview showed at one place and the run's own validation gave a
// counted name, because the previewed name was taken meanwhile.
struct PreviewDifference {
    QString listed;    // where the file was before the run
    QString previewed; // where the preview showed it
};

// The preview's transform of a file, at its storage index, if the preview
// holds that file there.
const FileTransform* previewOf(const File& file, const QList<FileTransform>& previewTransforms)
{
    const qint64 index = file.index.value_or(-1);
    if (index < 0 || index >= previewTransforms.size() || previewTransforms.at(index).id() != file.source.id)
        return nullptr;
    return &previewTransforms.at(index);
}

// Only files with a counter the preview did not show can land elsewhere than
// previewed because a name was taken; a preview made for other rules says
// nothing about taken names. Few files, so a small table.
QHash<QUuid, PreviewDifference> previewDifferences(const QList<File>& selected, const QList<FileTransform>& previewTransforms)
{
    QHash<QUuid, PreviewDifference> differences;
    for (const File& file : selected) {
        if (file.transformed.uniqueSuffix.isEmpty())
            continue;
        const FileTransform* preview = previewOf(file, previewTransforms);
        if (!preview)
            continue;
        const QString previewed = preview->transformedFullPath();
        const QString& listed = file.source.fileInfo.fullPath;
        if (previewed.isEmpty() || previewed == listed || previewed == file.transformed.transformedFullPath())
            continue;
        differences.insert(file.source.id, PreviewDifference { listed, previewed });
    }
    return differences;
}

// The files to rename whose new name differs from the one the table showed.
qint64 countChangedSincePreview(const QList<File>& selected, const QList<FileTransform>& previewTransforms)
{
    qint64 changed = 0;
    for (const File& file : selected) {
        const FileTransform* preview = previewOf(file, previewTransforms);
        if (!preview || preview->transformedFullPath() != file.transformed.transformedFullPath())
            ++changed;
    }
    return changed;
}

// A renamed file whose place differs from what the preview showed (the name
// was taken on disk meanwhile) says so in its row.
void noteDifferencesFromThePreview(QList<File>& files, const QHash<QUuid, PreviewDifference>& differences)
{
    if (differences.isEmpty())
        return;
    for (File& file : files) {
        const auto found = differences.constFind(file.source.id);
        if (found == differences.constEnd())
            continue;
        const QString& now = file.source.fileInfo.fullPath;
        // A file moved to a counted name at the last moment says so already.
        if (now == found->listed || now == found->previewed || !file.validation.warnings.isEmpty())
            continue;
        file.validation.insertWarning(QStringLiteral("Renamed to \"%1\", not \"%2\" as the preview showed: that name was taken.")
                                          .arg(String::lastPathComponent(now), String::lastPathComponent(found->previewed)));
    }
}

void postProgress(const ProgressData& data, const QString& label)
{
    MainThread::post([data, label] {
        AppNotification::UpdateProgressView::post(data.progressCount, data.totalCount, label, true);
    });
}

} // namespace

void TransformationService::beginLongRunningProcess(const QString& progressLabel)
{
    MainThread::runBlocking([&] {
        const auto fileDataSource = Inject<FileDataSource>().get();
        if (!fileDataSource)
            return;
        Log::info(PROCESS, "🟩 Beginning long running process.");
        // All three at once and in this order: the overlay is shown before its
        // first progress report, so nothing undoes that report's abort button.
        NotificationCenter& center = NotificationCenter::defaultCenter();
        center.post(Notification { NotificationName::disableUserInput, {}, std::nullopt });
        center.post(Notification { NotificationName::showProgressView, {}, std::nullopt });
        AppNotification::UpdateProgressView::post(0, fileDataSource->count(), progressLabel, true);
    });
}

void TransformationService::endLongRunningProcess()
{
    MainThread::post([] {
        Log::info(PROCESS, "🟩 Ending long running process.");
        const QString function = QStringLiteral("endLongRunningProcess()");
        AppNotification::post(NotificationName::dataSourceUpdated, {}, std::nullopt, function);
        AppNotification::post(NotificationName::hideProgressView, {}, std::nullopt, function);
        AppNotification::post(NotificationName::enableUserInput, {}, std::nullopt, function);
    });
}

namespace {

// What a failure of the system means, in a sentence before its technical
// text; the run's own failures are such sentences already.
QString plainReason(const RenameError& error)
{
    if (error.domain == RenameError::renameDomain)
        return QString();
    if (error.domain == RenameError::fileDomain) {
        switch (error.code) {
        case RenameError::fileWriteNoPermission:
            return QStringLiteral("You may not rename files in this folder.\n");
        case RenameError::fileWriteVolumeReadOnly:
            return QStringLiteral("The disk that holds the file can only be read.\n");
        case RenameError::fileWriteOutOfSpace:
            return QStringLiteral("The disk is full.\n");
        case RenameError::fileWriteFileExists:
            return QStringLiteral("Another file already has the new name.\n");
        case RenameError::fileNoSuchFile:
            return QStringLiteral("The file is no longer where it was listed.\n");
        case RenameError::fileWriteInvalidFileName:
            return QStringLiteral("The disk does not allow the new name.\n");
        default:
            break;
        }
    }
    return QStringLiteral("The system did not rename the file.\n");
}

// The code as a number and, where it is an errno value, in words: the file
// codes are said by the sentence in front already.
QString codeLine(const RenameError& error)
{
    QString line = QStringLiteral("\nError Code: ") + QString::number(error.code);
    if (error.domain == RenameError::renameDomain)
        line += error.code == EEXIST ? QStringLiteral(" (another item has the new name)") : QStringLiteral(" (the listed item is no longer there)");
    else if (const char* words = error.domain == RenameError::posixDomain ? ::strerrordesc_np(int(error.code)) : nullptr)
        line += QStringLiteral(" (%1)").arg(QString::fromUtf8(words));
    return line;
}

} // namespace

RenameRunDelegate::AbortResponse TransformationService::askAbortOrContinue(const File& file, const RenameError& error)
{
    const QString from = String::lastPathComponent(file.source.fileInfo.fullPath);
    const QString to = String::lastPathComponent(file.transformed.transformedFullPath());
    const QString messageText = QStringLiteral("Unable to rename\n\n\"") + from + QStringLiteral("\"\n\nto\n\n\"") + to
        + QStringLiteral("\"\n");
    Log::error(PROCESS, "%{public}s(%ld) %{public}s", messageText, error.code, error.message);
    const bool noPermission = error.domain == RenameError::fileDomain && error.code == RenameError::fileWriteNoPermission;
    const QString hint = noPermission ? QStringLiteral("\n(Is the folder read-only perhaps?)\n\n") : QString();
    const QString informativeText = plainReason(error) + error.message + codeLine(error) + QStringLiteral("\n") + hint + QStringLiteral("\nWould you like to continue renaming the next files?");

    const RenameRunDelegate::Question question { messageText, informativeText, file, error };
    const std::shared_ptr<RenameRunDelegate> asked = delegate();
    RenameRunDelegate::AbortResponse response = RenameRunDelegate::AbortResponse::abortRenaming();
    MainThread::runBlocking([&] { response = asked->askAbortOrContinue(question); });
    return response;
}

void TransformationService::showFileRenamePartiallyCompletedAlert(qint64 filesRenamedCount, qint64 filesToRenameCount,
    const QStringList& strandedReports)
{
    // A run that renamed nothing completed nothing, not part of it.
    const bool none = filesRenamedCount == 0;
    QString informativeText = none
        ? (filesToRenameCount == 1 ? QStringLiteral("The file could not be renamed; its row in the list says why.")
                                   : QStringLiteral("None of the %1 files could be renamed; their rows in the list say why.")
                                         .arg(filesToRenameCount))
        : QStringLiteral("Successfully renamed %1 files.").arg(filesRenamedCount);
    const qint64 notRenamed = filesToRenameCount - filesRenamedCount;
    if (!none && notRenamed >= 1)
        informativeText += QStringLiteral("\n%1 files could not be renamed.").arg(notRenamed);
    if (!strandedReports.isEmpty())
        informativeText += QStringLiteral("\n\n") + strandedReports.join(QLatin1Char('\n'));
    const QString messageText = none ? QStringLiteral("No Files Renamed") : QStringLiteral("Rename Partially Completed");
    const std::shared_ptr<RenameRunDelegate> alerts = delegate();
    MainThread::post([alerts, messageText, informativeText] { alerts->showPartialCompletion(messageText, informativeText); });
}

void TransformationService::applyTransformationsAndRename(bool force, std::stop_token stop)
{
    std::shared_ptr<FileDataSource> fileDataSource;
    std::shared_ptr<Transformers> transformers;
    MainThread::runBlocking([&] {
        fileDataSource = Inject<FileDataSource>().get();
        if (fileDataSource)
            transformers = Inject<Transformers>().get();
    });
    if (!fileDataSource || !transformers)
        return;

    beginLongRunningProcess(QStringLiteral("Renaming"));
    FullTransformation full = transformAllFiles(stop);
    if (full.result.kind == TransformationResult::Kind::aborted) {
        Log::error(PROCESS, "transformAllFiles was aborted.");
        endLongRunningProcess();
        return;
    }
    if (full.result.kind == TransformationResult::Kind::error) {
        Log::error(PROCESS, "transformAllFiles was aborted with errors: \"%{public}s\".", full.result.message);
        endLongRunningProcess();
        return;
    }

    // The files as this run's own transformation left them; later writes to
    // the store do not change what is renamed.
    qint64 errorCount = 0;
    QList<File> selected = selectFilesToRename(std::move(full.files), errorCount);
    const qint64 toRename = selected.size();
    if (toRename < 1) {
        // Every file to be renamed was refused (a folder gone read-only since
        // the preview): their rows say why, and the run says it renamed none.
        if (errorCount >= 1)
            showFileRenamePartiallyCompletedAlert(0, errorCount, {});
        endLongRunningProcess();
        return;
    }
    if (errorCount >= 1 && !force) {
        Log::info(PROCESS, "Aborting applyTransformationsAndRename because %ld files have errors and force is not set.",
            errorCount);
        endLongRunningProcess();
        return;
    }
    if (stop.stop_requested()) {
        Log::info(PROCESS, "🟥 Renaming Task aborted by user request");
        endLongRunningProcess();
        return;
    }

    // Addresses the network gave only now change names the table showed
    // without them: the table shows the new names, and nothing is renamed to
    // names nobody saw.
    if (AttributeResolver::gpsAddressResolver()->foundAddressesOnline()) {
        const qint64 changed = countChangedSincePreview(selected, full.previewTransforms);
        if (changed > 0) {
            Log::info(PROCESS, "Nothing renamed: GPS addresses found now change %ld new names.", changed);
            const QString informativeText = (changed == 1
                    ? QStringLiteral("The list now shows 1 new name with it.")
                    : QStringLiteral("The list now shows %1 new names with it.").arg(changed))
                + QStringLiteral(" Nothing was renamed: check the new names, then rename again.");
            const std::shared_ptr<RenameRunDelegate> alerts = delegate();
            MainThread::runBlocking([&] {
                alerts->showNotice(QStringLiteral("GPS Address information was found after the preview."), informativeText);
            });
            endLongRunningProcess();
            return;
        }
    }

    // The overlay counts the files that will really be renamed from here on.
    postProgress(ProgressData { 0, toRename }, QStringLiteral("Renaming"));
    const QHash<QUuid, PreviewDifference> differences = previewDifferences(selected, full.previewTransforms);
    full.previewTransforms = {};
    // The transformation's lists are gone: their pages go back before the
    // renaming makes new records.
    FileComponents::returnFreedMemory();
    // Moved, not shared: the loop reorders the list in place.
    RenameContext context = RenameContext::make(std::move(selected));
    // A long run reports every file: the overlay is given the latest count.
    const LatestProgress latestProgress(QStringLiteral("Renaming"));
    const auto progress = [&latestProgress](const ProgressData& data) { latestProgress.report(data); };
    while (context.status == RenameContext::Status::start || context.status == RenameContext::Status::error) {
        context = TransformationUtil::renameFiles(std::move(context), progress, stop);
        if (!context.errorDetails)
            continue;
        const RenameContext::ErrorDetails details = *context.errorDetails;
        const RenameRunDelegate::AbortResponse response = askAbortOrContinue(context.files.at(details.fileIndex), details.error);
        if (response.kind == RenameRunDelegate::AbortResponse::Kind::abortRenaming) {
            Log::info(PROCESS, "Aborted by user request");
            context.status = RenameContext::Status::aborted;
            TransformationUtil::noteFilesNotTried(context);
            break;
        }
        if (response.ignoreErrorCode && !context.ignoredErrorCodes.contains(details.error.errorCode()))
            context.ignoredErrorCodes << details.error.errorCode();
    }

    noteDifferencesFromThePreview(context.files, differences);
    // The validation goes too: a failed file shows its error, a renamed one
    // what differed from the preview.
    const FileComponentMutations components = FileComponentMutations(FileComponentMutation::source)
        | FileComponentMutation::transformed | FileComponentMutation::attributes | FileComponentMutation::validation;
    fileDataSource->updateFiles(context.files, components, CALLER);
    // The store holds the renamed files now.
    clearConcurrently(context.files);
    if (context.totalSuccess >= 1) {
        MainThread::runBlocking([&] {
            NumberStart::apply(*transformers, full.numberStarts);
            // The list's earlier undo steps hold the paths from before the
            // rename: undoing them would bring back files that are gone. The
            // rule edits' steps stay.
            if (UndoManager* undoManager = MainWindowLocator::undoManager())
                undoManager->removeAllActions(fileDataSource.get());
        });
    }
    MainThread::runBlocking([] { AppNotification::post(NotificationName::transformButtonUpdated, {}, std::nullopt, RUN_FUNCTION); });

    if (context.totalSuccess < toRename) {
        showFileRenamePartiallyCompletedAlert(context.totalSuccess, toRename, context.strandedReports);
    } else if (context.totalSuccess > 0) {
        // What moved on disk, not what was asked for.
        const qint64 renamed = context.totalSuccess;
        const QString text = renamed == 1 ? QStringLiteral("Renamed 1 file.") : QStringLiteral("Renamed %1 files.").arg(renamed);
        const std::shared_ptr<RenameRunDelegate> alerts = delegate();
        MainThread::post([alerts, text] { alerts->showCompletion(text); });
    }
    endLongRunningProcess();
}
