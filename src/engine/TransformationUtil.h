#pragma once

#include "engine/ProgressData.h"
#include "engine/RenameContext.h"
#include "files/File.h"
#include "platform/Clock.h"

#include <QList>

#include <stop_token>
#include <utility>

// The work of the transformation engine on lists of files: stateless functions
// over values passed in and handed back.
namespace TransformationUtil {

// Renames the files of the context on disk, from where the context stopped, and
// returns the context as the run left it. Blocks its caller. A new run (status
// start) first puts the files in rename order. Progress comes at most once a
// second, from the first second on, after each renamed file.
RenameContext renameFiles(RenameContext context, const ProgressCallback& progress = {},
    std::stop_token stop = {}, Clock& clock = Clock::system());

// Whether the loop goes on after a failure with this code.
bool isIgnoredErrorCode(const RenameErrorCode& errorCode, const RenameErrorCodes& ignoredErrorCodes);

// Files with errors and files to rename, counted as the validation result does.
std::pair<qint64, qint64> getRenameTotals(const QList<File>& files);

} // namespace TransformationUtil
