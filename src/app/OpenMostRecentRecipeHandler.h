// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Opens the most recent recipe when start-up asks for it (openMostRecentRecipe).
class OpenMostRecentRecipeHandler : public QObject {
    Q_OBJECT
public:
    OpenMostRecentRecipeHandler();

    void openMostRecentRecipeEvent();
};
