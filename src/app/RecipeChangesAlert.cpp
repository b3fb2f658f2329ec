// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecipeChangesAlert.h"

#include "app/MainMenu.h"
#include "app/SaveRecipeMenuAction.h"
#include "core/DependencyInjectionRegistry.h"
#include "rules/Transformers.h"
#include "uikit/Alert.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>

namespace {

// Rules that never had a file go through the "Save Recipe" panel; true once
// they are written.
bool saveThroughPanel(Transformers& transformers)
{
    SaveRecipeMenuAction* action = nullptr;
    for (QObject* candidate : MainMenu::globalMenuActions())
        if (auto* typed = qobject_cast<SaveRecipeMenuAction*>(candidate))
            action = typed;
    if (!action)
        return false;
    action->saveRecipeAs(nullptr);
    const QPointer<QFileDialog> panel = action->savePanel();
    if (!panel)
        return false;
    QEventLoop loop;
    QObject::connect(panel, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(panel, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    return transformers.recipeUrl().has_value() && !transformers.hasUnsavedChanges();
}

} // namespace

namespace RecipeChangesAlert {

bool mayReplaceRecipe()
{
    const auto transformers = DependencyInjectionRegistry::get<Transformers>(
        QStringLiteral("Brackenfold/RecipeChangesAlert.cpp"), QStringLiteral("mayReplaceRecipe()"), __LINE__);
    if (!transformers || !transformers->hasUnsavedChanges())
        return true;
    const bool hasFile = transformers->recipeUrl().has_value();
    const QString message = hasFile
        ? QStringLiteral("Do you want to save the changes made to the recipe “%1”?").arg(transformers->recipeName())
        : QStringLiteral("Do you want to save the rules as a recipe?");
    // Cancel unless a button says otherwise: an alert closed with Escape keeps everything.
    Alert::ModalResponse answer = 0;
    Alert::warning(message, QStringLiteral("Your changes will be lost if you don't save them."),
        { SAVE, DONT_SAVE, CANCEL }, [&answer](Alert::ModalResponse response) { answer = response; });
    if (answer == Alert::FIRST_BUTTON)
        return hasFile ? transformers->saveRecipe(*transformers->recipeUrl()) : saveThroughPanel(*transformers);
    return answer == Alert::FIRST_BUTTON + 1;
}

} // namespace RecipeChangesAlert
