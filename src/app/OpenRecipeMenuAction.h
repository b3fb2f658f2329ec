// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "rules/Transformers.h"

#include <QObject>
#include <QPointer>

#include "app/AccessoryPanelView.h"
#include <QFileDialog>
struct Notification;

// Open Recipe: a panel for a recipe file or a folder's recipe. Also opens the
// recipes that other parts announce (command line, desktop, start-up).
class OpenRecipeMenuAction : public QObject {
    Q_OBJECT
public:
    OpenRecipeMenuAction();
    ~OpenRecipeMenuAction() override;

    // The panel on screen, null when none is.
    QFileDialog* openPanel() const { return m_panel; }
    AccessoryPanelView* accessoryView() const { return m_accessoryView; }

    void openRecipeEvent(const Notification& notification);

public slots:
    void openRecipe(QObject* sender);

private:
    Inject<Transformers> m_transformers;
    QPointer<AccessoryPanelView> m_accessoryView;
    QPointer<QFileDialog> m_panel;
};
