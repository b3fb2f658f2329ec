// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RenameRunDelegate.h"

#include "core/AppNotification+Typed.h"
#include "platform/Log.h"

RenameRunDelegate::AbortResponse RenameRunDelegate::askAbortOrContinue(const Question&)
{
    Log::info(Log::Category::process, "No one to ask whether to continue renaming: the run stops.");
    return AbortResponse::abortRenaming();
}

void RenameRunDelegate::showWarning(const QString& messageText, const QString& informativeText)
{
    AppNotification::ShowModalAlertView::post(messageText, informativeText);
}

void RenameRunDelegate::showNotice(const QString& messageText, const QString& informativeText)
{
    Log::info(Log::Category::process, "%{public}s %{public}s", messageText, informativeText);
}

void RenameRunDelegate::showCompletion(const QString&) { }

void RenameRunDelegate::showPartialCompletion(const QString& messageText, const QString& informativeText)
{
    AppNotification::ShowModalAlertView::post(messageText, informativeText);
}
