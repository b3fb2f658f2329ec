// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QComboBox;
class QFileDialog;

// The chooser under the Open Recipe panel: a recipe file (tag 0), or a folder
// whose recipe is the ".recipe" file inside it (tag 1). One view serves every
// panel and keeps the last choice.
class AccessoryPanelView : public QWidget {
    Q_OBJECT
public:
    explicit AccessoryPanelView(QWidget* parent = nullptr);

    QComboBox* recipeFileTypePopup() const { return m_recipeFileTypePopup; }
    QFileDialog* openPanel() const { return m_openPanel; }

    // Places the view in the panel and sets the panel to the current choice.
    void bind(QFileDialog* panel);

public slots:
    void selectRecipeFileType(QObject* sender);

private:
    QComboBox* m_recipeFileTypePopup = nullptr;
    QPointer<QFileDialog> m_openPanel;
};
