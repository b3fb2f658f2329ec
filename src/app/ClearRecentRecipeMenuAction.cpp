// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClearRecentRecipeMenuAction.h"

#include "platform/MainThread.h"

void ClearRecentRecipeMenuAction::clearRecentRecipesMenu(QObject* sender)
{
    // Later: clearing rebuilds the menu, which holds the item still signalling.
    MainThread::post([this] {
        if (const auto list = m_recentRecipeList())
            list->clear();
    });
}
