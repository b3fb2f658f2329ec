// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RenameError.h"
#include "files/File.h"

#include <QString>

// What the rename run needs of a window: the question after a failed file and
// its alerts. Every call is made on the main thread; the run's worker waits for
// the answer of askAbortOrContinue, so the implementation may run a modal
// dialog. The alerts must return at once (show them and let them be).
//
// The base class answers for a headless run: the question stops the run (no
// file is renamed without consent after a failure), the alerts are posted as
// showModalAlert, the notices only logged. The user interface derives from it and installs its own with
// TransformationService::shared().setDelegate().
class RenameRunDelegate {
public:
    // The user's answer after a failed file.
    struct AbortResponse {
        enum class Kind { continueRenaming, abortRenaming };
        Kind kind = Kind::abortRenaming;
        // With continueRenaming: later failures with the same error code go on
        // without asking (the dialog's "do not ask again" box).
        bool ignoreErrorCode = false;

        static AbortResponse continueRenaming(bool ignoreErrorCode) { return { Kind::continueRenaming, ignoreErrorCode }; }
        static AbortResponse abortRenaming() { return { Kind::abortRenaming, false }; }
    };

    // The dialog after a failed file: a warning with the two texts, the
    // suppression box, and the buttons "Continue" (the default) and "Abort".
    struct Question {
        QString messageText;     // "Unable to rename ... to ..."
        QString informativeText; // the error, its code and "Would you like to continue ...?"
        File file;
        RenameError error;
    };

    virtual ~RenameRunDelegate() = default;

    virtual AbortResponse askAbortOrContinue(const Question& question);
    // A rule failed while the names were prepared: nothing is renamed.
    virtual void showWarning(const QString& messageText, const QString& informativeText);
    // Something the user should know that needs no answer and must hold back
    // neither the run nor the table (GPS addresses left out or found late).
    virtual void showNotice(const QString& messageText, const QString& informativeText);
    // Not every selected file was renamed ("Rename Partially Completed"), or none was.
    virtual void showPartialCompletion(const QString& messageText, const QString& informativeText);
    // Every selected file was renamed: said without stopping the user.
    virtual void showCompletion(const QString& text);
};
