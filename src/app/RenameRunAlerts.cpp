// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RenameRunAlerts.h"

#include "app/MainWindow.h"
#include "uikit/Alert.h"

const QString RenameRunAlerts::CONTINUE = QStringLiteral("Continue");
const QString RenameRunAlerts::ABORT = QStringLiteral("Abort");
const QString RenameRunAlerts::CHECKBOX_TITLE = QStringLiteral("Do not ask again for this error");

RenameRunDelegate::AbortResponse RenameRunAlerts::askAbortOrContinue(const Question& question)
{
    // A dialog that could not be shown renames nothing more.
    AbortResponse answer = AbortResponse::abortRenaming();
    // Only Abort stops: closing the dialog with Escape or its close button
    // goes on, as Continue does.
    Alert::warning(question.messageText, question.informativeText, { CONTINUE, ABORT }, CHECKBOX_TITLE,
        [&answer](Alert::ModalResponse response, bool checkboxChecked) {
            if (response != Alert::FIRST_BUTTON + 1)
                answer = AbortResponse::continueRenaming(checkboxChecked);
        });
    return answer;
}

void RenameRunAlerts::showCompletion(const QString& text)
{
    if (MainWindow* window = MainWindow::mainWindow())
        window->showStatusMessage(text);
}

void RenameRunAlerts::showWarning(const QString& messageText, const QString& informativeText)
{
    Alert::warning(messageText, informativeText);
}

void RenameRunAlerts::showNotice(const QString& messageText, const QString& informativeText)
{
    Alert::notice(messageText, informativeText);
}
