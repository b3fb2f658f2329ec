// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Asked before the rules are replaced or the window closes: when they hold
// changes not yet saved to a recipe file, whether to save them (rules that
// never had a file through the "Save Recipe" panel). Main thread only; blocks
// while the alert or the panel shows.
namespace RecipeChangesAlert {

inline const QString SAVE = QStringLiteral("Save");
inline const QString DONT_SAVE = QStringLiteral("Don't Save");
inline const QString CANCEL = QStringLiteral("Cancel");

// True when the caller may go on: nothing unsaved, saved now, or not wanted.
// False when the user cancelled, or the save failed (the recipe writer has
// reported why).
bool mayReplaceRecipe();

} // namespace RecipeChangesAlert
