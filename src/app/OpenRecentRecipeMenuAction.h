// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/RecentRecipeList.h"
#include "core/DependencyInjectionRegistry.h"
#include "rules/Transformers.h"

#include <QObject>

// Opens the recipe of an entry of File > Recent Recipes; the entry's name is its path.
class OpenRecentRecipeMenuAction : public QObject {
    Q_OBJECT
public slots:
    void openRecentRecipe(QObject* sender);

private:
    Inject<Transformers> m_transformers;
    Inject<RecentRecipeList> m_recentRecipeList;
};
