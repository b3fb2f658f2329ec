// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RenameError.h"
#include "files/File.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QUuid>

#include <optional>

// The state of one rename run, handed from call to call of the rename loop so
// that a run can stop at a failure, ask the user and go on after it.
struct RenameContext {
    enum class Status { start, done, error, aborted };

    struct ErrorDetails {
        qsizetype fileIndex = 0; // position in `files` of the file that failed
        RenameError error;
    };

    Status status = Status::start;
    QList<File> files; // in rename order; renamed files as they are after the rename
    qint64 totalSuccess = 0;
    qint64 totalErrors = 0; // ignored ones included
    qint64 totalIgnoredErrors = 0;
    RenameErrorCodes ignoredErrorCodes;
    std::optional<ErrorDetails> errorDetails;
    // Files moved to a parking name to break a cycle of renames, by id, with
    // the path each left; a run does not end by cancellation while one is
    // parked, and none is left parked when the loop returns.
    QHash<QUuid, QString> parkedFiles;
    // Folders the run created for targets; never removed as emptied.
    QSet<QString> createdFolders;
    // Parked files that could neither reach their target nor go back, each a
    // sentence naming where the file is now.
    QStringList strandedReports;

    // A new run over the files.
    static RenameContext make(QList<File> files)
    {
        RenameContext context;
        context.files = std::move(files);
        return context;
    }

    bool isFinished() const { return status == Status::done || status == Status::aborted; }
};
