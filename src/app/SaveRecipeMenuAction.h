// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "rules/Transformers.h"

#include <QObject>
#include <QPointer>

#include <QFileDialog>

// Save Recipe writes to the document's recipe file, or asks for one like Save
// Recipe As, which always shows the "Save Recipe" panel.
class SaveRecipeMenuAction : public QObject {
    Q_OBJECT
public:
    // The panel on screen, null when none is.
    QFileDialog* savePanel() const { return m_panel; }
    // Where the panel's choice is written: a folder recipe keeps its one extension.
    static QUrl recipeUrl(const QString& chosenPath);

public slots:
    void saveRecipe(QObject* sender);
    void saveRecipeAs(QObject* sender);

private:
    Inject<Transformers> m_transformers;
    QPointer<QFileDialog> m_panel;
};
