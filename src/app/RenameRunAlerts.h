// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RenameRunDelegate.h"

#include <QString>

// The window's side of the rename run: the Continue-or-Abort question after a
// failed file and the rule-failure warning as alerts, the partial-completion
// report on the shared alert sheet (the base class posts it there).
class RenameRunAlerts final : public RenameRunDelegate {
public:
    static const QString CONTINUE;
    static const QString ABORT;
    static const QString CHECKBOX_TITLE;

    // Runs the dialog modally on the main thread while the run's worker waits.
    AbortResponse askAbortOrContinue(const Question& question) override;
    void showWarning(const QString& messageText, const QString& informativeText) override;
    // Beside the window, without blocking it.
    void showNotice(const QString& messageText, const QString& informativeText) override;
    // On the main window's status line, for a while.
    void showCompletion(const QString& text) override;
};
