// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenRecentRecipeMenuAction.h"

#include "app/RecipeChangesAlert.h"
#include "platform/Log.h"
#include "platform/MainThread.h"

#include <QAction>

void OpenRecentRecipeMenuAction::openRecentRecipe(QObject* sender)
{
    const auto* item = qobject_cast<QAction*>(sender);
    if (!item || item->objectName().isEmpty())
        return;
    const QString path = item->objectName();
    Log::debug(Log::Category::ui, "Selected recent recipe: %s", path);
    // Later: opening rebuilds the menu, which holds the item still signalling.
    MainThread::post([this, path] {
        if (!RecipeChangesAlert::mayReplaceRecipe())
            return;
        if (const auto transformers = m_transformers())
            transformers->loadRecipe(QUrl::fromLocalFile(path));
    });
}
