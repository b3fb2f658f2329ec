// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenMostRecentRecipeHandler.h"

#include "app/RecentRecipeList.h"
#include "core/AppNotification+Typed.h"
#include "core/DependencyInjectionRegistry.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"

OpenMostRecentRecipeHandler::OpenMostRecentRecipeHandler()
{
    NotificationCenter::defaultCenter().addObserver(
        this, NotificationName::openMostRecentRecipe, [this](const Notification&) { openMostRecentRecipeEvent(); });
}

void OpenMostRecentRecipeHandler::openMostRecentRecipeEvent()
{
    MainThread::post([] {
        const auto list = DependencyInjectionRegistry::get<RecentRecipeList>(
            QStringLiteral("Brackenfold/OpenMostRecentRecipeHandler"), QStringLiteral("openMostRecentRecipeEvent()"),
            __LINE__);
        if (!list)
            return;
        if (const auto path = list->first())
            AppNotification::OpenRecipe::post(QUrl::fromLocalFile(*path));
    });
}
