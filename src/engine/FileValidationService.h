// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/File.h"

#include <QList>

#include <optional>
#include <stop_token>

// Validates the new names of a whole list after a transformation, writes the
// verdicts back into the file list store and reports the counts. Its steps run
// on the validation executor; the per-file rules run in parallel chunks.
namespace FileValidationService {

inline constexpr qsizetype CHUNK_SIZE = 4096;

// Validates, checks duplicates, writes back (validation and transformed facets)
// and reports; a cancelled run or a refused write reports nothing. The caller
// waits for the run unless it is the main thread, and gets the validated files
// (also when the store refused them); none when cancelled or not waited for.
std::optional<QList<File>> validateFiles(QList<File> files, std::stop_token stop = {});

// The files with their validation facet recomputed, in list order; none when
// cancelled. A list handed over with std::move is validated in place, uncopied.
std::optional<QList<File>> validateFilesConcurrent(QList<File> files, std::stop_token stop = {});

// A job around validateFiles: a new job cancels the running one.
void runValidationTask(const QList<File>& files);
// Cancels the running job and reports the counts of what the store holds now.
void cancel();
bool isReady();

} // namespace FileValidationService
