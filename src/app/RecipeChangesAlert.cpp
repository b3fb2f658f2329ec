// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecipeChangesAlert.h"

#include "core/DependencyInjectionRegistry.h"
#include "rules/Transformers.h"
#include "uikit/Alert.h"

namespace RecipeChangesAlert {

bool mayReplaceRecipe()
{
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(
        QStringLiteral("Brackenfold/RecipeChangesAlert.cpp"), QStringLiteral("mayReplaceRecipe()"), __LINE__);
    if (!transformers || !transformers->hasUnsavedChanges())
        return true;
    // Cancel unless a button says otherwise: an alert closed with Escape keeps everything.
    Alert::ModalResponse answer = 0;
    Alert::warning(
        QStringLiteral("Do you want to save the changes made to the recipe “%1”?").arg(transformers->recipeName()),
        QStringLiteral("Your changes will be lost if you don't save them."), { SAVE, DONT_SAVE, CANCEL },
        [&answer](Alert::ModalResponse response) { answer = response; });
    if (answer == Alert::FIRST_BUTTON)
        return transformers->saveRecipe(*transformers->recipeUrl());
    return answer == Alert::FIRST_BUTTON + 1;
}

} // namespace RecipeChangesAlert
