// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SaveRecipeMenuAction.h"

#include "app/DialogStartFolders.h"
#include "app/MainWindow.h"
#include "core/String+path.h"
#include "platform/MainThread.h"
#include "rules/Recipe.h"
#include "uikit/FileDialogFolder.h"

#include <QFileDialog>
#include <QFileInfo>

QUrl SaveRecipeMenuAction::recipeUrl(const QString& chosenPath)
{
    const QString doubled = Recipe::FOLDER_RECIPE_NAME + QLatin1Char('.') + Recipe::RECIPE_FILE_EXTENTION;
    if (String::lastPathComponent(chosenPath) == doubled)
        return QUrl::fromLocalFile(String::stringByDeletingPathExtension(chosenPath));
    return QUrl::fromLocalFile(chosenPath);
}

void SaveRecipeMenuAction::saveRecipe(QObject* sender)
{
    const QPointer<QObject> weakSender(sender);
    MainThread::post([this, weakSender] {
        const auto transformers = m_transformers();
        if (!transformers)
            return;
        if (const auto url = transformers->recipeUrl())
            transformers->saveRecipe(*url);
        else
            saveRecipeAs(weakSender.data());
    });
}

void SaveRecipeMenuAction::saveRecipeAs(QObject* sender)
{
    const auto transformers = m_transformers();
    MainWindow* window = MainWindow::mainWindow();
    if (!transformers || !window)
        return;
    if (m_panel) {
        m_panel->raise();
        return;
    }
    auto* panel = new QFileDialog(window, QStringLiteral("Save Recipe"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setNameFilter(QStringLiteral("Recipes (*.%1)").arg(Recipe::RECIPE_FILE_EXTENTION));
    panel->setDefaultSuffix(Recipe::RECIPE_FILE_EXTENTION);
    FileDialogFolder::attach(panel, QStringLiteral("saveRecipe"), DialogStartFolders::recipeFolder());
    if (const auto url = transformers->recipeUrl()) {
        const QFileInfo current(url->toLocalFile());
        if (current.fileName() != Recipe::FOLDER_RECIPE_NAME)
            panel->selectFile(current.fileName());
    }
    m_panel = panel;
    const QPointer<SaveRecipeMenuAction> self(this);
    connect(panel, &QDialog::finished, this, [self, panel](int result) {
        panel->deleteLater();
        if (result != QDialog::Accepted || !self)
            return;
        const QStringList chosen = panel->selectedFiles();
        if (chosen.size() != 1)
            return;
        if (const auto transformers = self->m_transformers())
            transformers->saveRecipe(recipeUrl(chosen.first()));
    });
    panel->open();
}
