// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/RecentRecipeList.h"
#include "core/DependencyInjectionRegistry.h"

#include <QObject>

// "Clear Menu" of File > Recent Recipes: forgets every recent recipe.
class ClearRecentRecipeMenuAction : public QObject {
    Q_OBJECT
public slots:
    void clearRecentRecipesMenu(QObject* sender);

private:
    Inject<RecentRecipeList> m_recentRecipeList;
};
