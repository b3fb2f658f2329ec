// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/NumberStart.h"
#include "engine/RenameContext.h"
#include "engine/RenameRunDelegate.h"
#include "engine/TransformationResult.h"
#include "files/File.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>

// The engine's runs over the whole file list: the live preview, the full
// transformation before a rename, the rename run, and the transformation of
// one file for the single-file queue.
//
// Every operation blocks its caller and hops to the main thread for the stores,
// so it runs on a worker: the preview, the full transformation and the rename
// run on GlobalActors::transformation(), each with the stop token of its task.
// Results reach the stores only through their generation-checked write-backs;
// the rules get back their run state, never a whole rule.
class TransformationService {
public:
    static TransformationService& shared();

    // The preview: every file's new name from cached data only, written back
    // with [transformed] and validated. `function` names the caller in the log.
    void transformAllFilesQuick(std::stop_token stop = {}, const QString& function = {});

    // The names for a rename run, computed for real, written back and
    // validated. `files` are the files as this pass transformed and validated
    // them: the rename run renames these, whatever is written to the store
    // meanwhile. The new numbering starts are only handed back; the rename run
    // writes them once it has renamed something.
    struct FullTransformation {
        TransformationResult result;
        QList<File> files;
        QList<NumberStartUpdate> numberStarts;
        // What the preview before the pass showed, by storage index: the store's
        // own list, shared, so keeping it costs nothing per file.
        QList<FileTransform> previewTransforms;
    };
    FullTransformation transformAllFiles(std::stop_token stop = {});

    // The rename run: blocks input, shows the progress overlay, transforms all
    // files, renames the selected ones, asks after each failure (the delegate),
    // writes the renamed files back, reports a partial completion and unblocks.
    // With force false the run stops when any file has validation errors.
    void applyTransformationsAndRename(bool force, std::stop_token stop = {});

    // The full transformation of one file from its current state in the store:
    // the file as far as its rules got and, when they failed, why. The caller
    // writes it back, validated with the whole list. None without the stores.
    struct SingleFileResult {
        File file;
        std::exception_ptr failure;
    };
    std::optional<SingleFileResult> transformFile(const File& file);

    // The window's side of the rename run; the base delegate when none is set.
    void setDelegate(std::shared_ptr<RenameRunDelegate> delegate);
    std::shared_ptr<RenameRunDelegate> delegate() const;

private:
    TransformationService() = default;

    void beginLongRunningProcess(const QString& progressLabel);
    void endLongRunningProcess();
    RenameRunDelegate::AbortResponse askAbortOrContinue(const File& file, const RenameError& error);
    // `strandedReports` name the files left under a parking name.
    void showFileRenamePartiallyCompletedAlert(qint64 filesRenamedCount, qint64 filesToRenameCount,
        const QStringList& strandedReports = {});
    FileIndex getOrCalculateFileIndex(const File& file);
    // Says once a run that GPS addresses are left out, and why, before the
    // work goes on: in the preview, or in a rename run before its renames.
    enum class GPSFailureMoment { preview, renaming };
    void showGPSAddressFailure(GPSFailureMoment moment);

    mutable std::mutex m_mutex;
    std::shared_ptr<RenameRunDelegate> m_delegate;
};
