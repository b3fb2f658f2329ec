// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QtGlobal>

#include <memory>

// Counts of the last validation: files with errors, files to rename, all files.
// Carried by reference from the validation service to the rule bar.
struct FileValidationResult {
    qint64 errorCount = 0;
    qint64 renameCount = 0;
    qint64 totalCount = 0;
};

using FileValidationResultRef = std::shared_ptr<FileValidationResult>;

Q_DECLARE_METATYPE(FileValidationResultRef)
