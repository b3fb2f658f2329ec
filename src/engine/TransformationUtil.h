// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ProgressData.h"
#include "engine/RenameContext.h"
#include "files/File.h"
#include "platform/Clock.h"
#include "rules/Transformer.h"
#include "tokens/TransformError.h"

#include <QList>

#include <optional>

#include <stop_token>

// The work of the transformation engine on lists of files: stateless functions
// over values passed in and handed back.
namespace TransformationUtil {

// What a run over a list hands back: the files as far as they were
// transformed, the rules with their run state, the failure that ended the run
// (none when it completed), the late-update mark of the preview and the
// numbering counters after the last file.
struct TransformResult {
    QList<File> files;
    QList<Transformer> transformers;
    std::optional<TransformError> error;
    bool lateUpdateRequired = false;
    FileIndex fileIndex;
};

// How the files of a pass begin: their transforms and verdicts are reset
// first, or they already are the initial ones (FileDataSource::filesToTransformOf,
// or the full pass's own, made ahead on all cores).
enum class TransformStart { reset, initial };

// The preview: transforms the dirty files with each rule's quick form, in list
// order with shared counters; never fails; cancelled between files (error aborted).
// Both passes run on all cores when no rule carries anything from file to file
// (Transformer::dependsOnItsFileAlone), with the results of the list order.
TransformResult transformFilesQuick(QList<File> files, QList<Transformer> transformers, std::stop_token stop = {},
    TransformStart start = TransformStart::reset);
void transformFileQuick(File& file, FileIndex& fileIndex, QList<Transformer>& transformers,
    TransformStart start = TransformStart::reset);

// Before a rename: transforms every file with each rule's full form and stops
// at the first failure but `skipped`, or with `aborted` when `stop` is requested
// (tested before every file). Progress at most once a second; a pass on all
// cores tells it from whichever of its threads ends a chunk, one at a time.
TransformResult transformFiles(QList<File> files, QList<Transformer> transformers,
    const ProgressCallback& progress = {}, Clock& clock = Clock::system(), std::stop_token stop = {});
// Throws the failure of a rule; the rules keep the state they reached.
void transformFile(File& file, FileIndex& fileIndex, QList<Transformer>& transformers,
    TransformStart start = TransformStart::reset);

// Random numbers stay while the list keeps its size and are drawn anew when it changes.
void updateTransformerState(QList<Transformer>& transformers, qint64 fileCount);

// Renames the files of the context on disk, from where the context stopped, and
// returns the context as the run left it. Blocks its caller. A new run (status
// start) first puts the files in rename order. No progress in the first
// second; after it, a report for each renamed file.
RenameContext renameFiles(RenameContext context, const ProgressCallback& progress = {},
    std::stop_token stop = {}, Clock& clock = Clock::system());

// The run stopped at the failure in its error details: the files after it
// that were still to move say that they were not tried.
void noteFilesNotTried(RenameContext& context);

// Whether the loop goes on after a failure with this code.
bool isIgnoredErrorCode(const RenameErrorCode& errorCode, const RenameErrorCodes& ignoredErrorCodes);

} // namespace TransformationUtil
