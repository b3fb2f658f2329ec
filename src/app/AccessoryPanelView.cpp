// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AccessoryPanelView.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

AccessoryPanelView::AccessoryPanelView(QWidget* parent)
    : QWidget(parent)
    , m_recipeFileTypePopup(new QComboBox(this))
{
    auto* label = new QLabel(QStringLiteral("&Open:"), this);
    label->setBuddy(m_recipeFileTypePopup);
    m_recipeFileTypePopup->addItem(QStringLiteral("Recipe File"), 0);
    m_recipeFileTypePopup->addItem(QStringLiteral("Recipe of a Folder"), 1);
    m_recipeFileTypePopup->setAccessibleName(QStringLiteral("Open a recipe file or the recipe of a folder"));
    m_recipeFileTypePopup->setToolTip(
        QStringLiteral("A folder's recipe is the file named \".recipe\" inside the folder"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_recipeFileTypePopup, 1);
    connect(m_recipeFileTypePopup, &QComboBox::currentIndexChanged, this,
        [this] { selectRecipeFileType(m_recipeFileTypePopup); });
}

void AccessoryPanelView::bind(QFileDialog* panel)
{
    m_openPanel = panel;
    // The widget-based panel lays out in a grid; the chooser goes under its fields.
    if (auto* grid = qobject_cast<QGridLayout*>(panel->layout()))
        grid->addWidget(this, grid->rowCount(), 0, 1, grid->columnCount());
    else
        setParent(panel);
    selectRecipeFileType(m_recipeFileTypePopup);
}

void AccessoryPanelView::selectRecipeFileType(QObject* sender)
{
    auto* popup = qobject_cast<QComboBox*>(sender);
    if (!m_openPanel || !popup || popup->currentIndex() < 0)
        return;
    switch (popup->currentData().toInt()) {
    case 0:
        m_openPanel->setFileMode(QFileDialog::ExistingFile);
        m_openPanel->setOption(QFileDialog::ShowDirsOnly, false);
        break;
    case 1:
        m_openPanel->setFileMode(QFileDialog::Directory);
        m_openPanel->setOption(QFileDialog::ShowDirsOnly, true);
        break;
    default:
        break;
    }
}
