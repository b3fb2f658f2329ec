// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DependencyInjectionRegistry.h"
#include "files/FileDataSource.h"
#include "rules/Transformers.h"
#include "platform/Notification.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class MainStackView;
class ProgressViewController;
class TableViewController;
class TransformViewController;
class TransformViewDialogController;

// The main column's controller: places the views of the rule bar, the rule
// editor, the file table and the progress overlay in the stack, and keeps the
// window title up to date with the recipe name and the number of files.
class MainViewController : public QObject {
    Q_OBJECT
public:
    explicit MainViewController(QObject* parent = nullptr);

    MainStackView* view();
    // The controllers placed in the column, in order (only those that exist).
    QList<QObject*> childViewControllers() const;
    std::shared_ptr<TransformViewController> transformViewController() const { return m_transformViewController; }
    std::shared_ptr<TransformViewDialogController> transformViewDialogController() const
    {
        return m_transformViewDialogController;
    }
    std::shared_ptr<TableViewController> tableViewController() const { return m_tableViewController; }
    std::shared_ptr<ProgressViewController> progressViewController() const { return m_progressViewController; }

    // The subtitle for a recipe name and a number of files.
    static QString subtitle(const QString& recipeName, int fileCount);

    void viewWillAppear();
    void setWindowTitleEvent(const Notification& notification);
    void updateWindowTitleEvent();
    void systemColorsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadView();
    void viewDidLoad();
    void initObservers();
    void setWindowTitle(const QString& subtitle);
    void updateWindowTitle();
    void updateRecipeEdited();

    Inject<FileDataSource> m_fileDataSource;
    Inject<Transformers> m_transformers;
    QPointer<MainStackView> m_stackView;
    std::shared_ptr<TransformViewController> m_transformViewController;
    std::shared_ptr<TransformViewDialogController> m_transformViewDialogController;
    std::shared_ptr<TableViewController> m_tableViewController;
    std::shared_ptr<ProgressViewController> m_progressViewController;
};
