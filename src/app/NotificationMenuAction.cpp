// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NotificationMenuAction.h"

#include "core/AppNotification.h"

void NotificationMenuAction::postNotification(QObject* sender)
{
    if (!sender || sender->objectName().isEmpty())
        return;
    AppNotification::post(sender->objectName(), {}, std::nullopt, QStringLiteral("postNotification(_:)"));
}
