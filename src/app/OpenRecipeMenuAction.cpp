// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenRecipeMenuAction.h"

#include "app/AccessoryPanelView.h"
#include "app/DialogStartFolders.h"
#include "app/MainWindow.h"
#include "app/RecipeChangesAlert.h"
#include "core/AppNotification+Typed.h"
#include "platform/NotificationCenter.h"
#include "rules/Recipe.h"
#include "uikit/FileDialogFolder.h"

#include <QFileDialog>
#include <QFileInfo>

OpenRecipeMenuAction::OpenRecipeMenuAction()
    : m_accessoryView(new AccessoryPanelView)
{
    NotificationCenter::defaultCenter().addObserver(
        this, NotificationName::openRecipe, [this](const Notification& n) { openRecipeEvent(n); });
}

OpenRecipeMenuAction::~OpenRecipeMenuAction()
{
    // Kept while no panel holds it.
    if (m_accessoryView && !m_accessoryView->parent())
        delete m_accessoryView.data();
}

void OpenRecipeMenuAction::openRecipe(QObject* sender)
{
    MainWindow* window = MainWindow::mainWindow();
    if (!window)
        return;
    if (m_panel) {
        m_panel->raise();
        return;
    }
    if (!RecipeChangesAlert::mayReplaceRecipe())
        return;
    // The widget-based panel, so that it can carry the chooser.
    auto* panel = new QFileDialog(window, QStringLiteral("Open Recipe"));
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setNameFilter(QStringLiteral("Recipes (*.%1)").arg(Recipe::RECIPE_FILE_EXTENTION));
    panel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    panel->setFileMode(QFileDialog::ExistingFile);
    FileDialogFolder::attach(panel, QStringLiteral("openRecipe"), DialogStartFolders::recipeFolder());
    m_panel = panel;
    if (m_accessoryView)
        m_accessoryView->bind(panel);
    const QPointer<OpenRecipeMenuAction> self(this);
    connect(panel, &QDialog::finished, this, [self, panel](int result) {
        // The chooser outlives the panel.
        if (self && self->m_accessoryView && self->m_accessoryView->parent() == panel) {
            self->m_accessoryView->hide();
            self->m_accessoryView->setParent(nullptr);
        }
        panel->deleteLater();
        if (result != QDialog::Accepted || !self)
            return;
        const QStringList picked = panel->selectedFiles();
        if (picked.size() != 1)
            return;
        QString path = picked.first();
        if (QFileInfo(path).isDir())
            path = QDir(path).filePath(Recipe::FOLDER_RECIPE_NAME);
        if (const auto transformers = self->m_transformers())
            transformers->loadRecipe(QUrl::fromLocalFile(path));
    });
    // Window-modal, like a sheet: open() returns at once.
    panel->open();
}

void OpenRecipeMenuAction::openRecipeEvent(const Notification& notification)
{
    const auto transformers = m_transformers();
    if (!transformers)
        return;
    const auto url = AppNotification::OpenRecipe::getURL(notification);
    const auto json = AppNotification::OpenRecipe::getJSON(notification);
    if ((url || json) && !RecipeChangesAlert::mayReplaceRecipe())
        return;
    if (url)
        transformers->loadRecipe(*url);
    else if (json)
        transformers->loadRecipe(*json);
}
