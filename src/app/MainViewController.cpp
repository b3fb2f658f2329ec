// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainViewController.h"

#include "app/MainStackView.h"
#include "app/MainWindow.h"
#include "app/ProgressViewController.h"
#include "core/AppNotification+Typed.h"
#include "filetable/TableViewController.h"
#include "ruleui/TransformViewController.h"
#include "ruleui/TransformViewDialogController.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <QEvent>
#include <QVBoxLayout>

MainViewController::MainViewController(QObject* parent)
    : QObject(parent)
{
}

MainStackView* MainViewController::view()
{
    if (!m_stackView) {
        loadView();
        viewDidLoad();
    }
    return m_stackView;
}

void MainViewController::loadView()
{
    m_stackView = new MainStackView;
}

void MainViewController::viewDidLoad()
{
    const QString file = QStringLiteral("Brackenfold/MainViewController");
    const QString function = QStringLiteral("viewDidLoad()");
    const auto transformViewController = DependencyInjectionRegistry::get<TransformViewController>(file, function, __LINE__);
    const auto transformViewDialogController
        = DependencyInjectionRegistry::get<TransformViewDialogController>(file, function, __LINE__);
    const auto tableViewController = DependencyInjectionRegistry::get<TableViewController>(file, function, __LINE__);
    const auto progressViewController = DependencyInjectionRegistry::get<ProgressViewController>(file, function, __LINE__);
    if (!transformViewController || !transformViewDialogController || !tableViewController || !progressViewController)
        return;
    m_transformViewController = transformViewController;
    m_transformViewDialogController = transformViewDialogController;
    m_tableViewController = tableViewController;
    m_progressViewController = progressViewController;

    // A Linux window manager draws the title bar outside the content: no top inset.
    m_stackView->setSpacing(0);
    m_stackView->addSharedArrangedSubview(m_transformViewController.get());
    m_stackView->addSharedArrangedSubview(m_transformViewDialogController.get());
    QWidget* table = m_tableViewController->view();
    m_stackView->addArrangedSubview(table);
    m_stackView->stackLayout()->setStretchFactor(table, 1);
    QWidget* progress = m_progressViewController->view();
    m_stackView->addArrangedSubview(progress);
    progress->hide();
    initObservers();
    updateWindowTitle();
}

QList<QObject*> MainViewController::childViewControllers() const
{
    QList<QObject*> controllers;
    if (m_transformViewController)
        controllers << m_transformViewController.get() << m_transformViewDialogController.get();
    if (m_tableViewController)
        controllers << m_tableViewController.get();
    if (m_progressViewController)
        controllers << m_progressViewController.get();
    return controllers;
}

void MainViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::setWindowTitle, [this](const Notification& n) { setWindowTitleEvent(n); });
    center.addObserver(this, NotificationName::updateWindowTitle, [this](const Notification&) { updateWindowTitleEvent(); });
    center.addObserver(this, NotificationName::dataSourceUpdated, [this](const Notification&) { updateWindowTitleEvent(); });
    // Every rule edit applies the rules: the title learns whether the recipe is saved.
    center.addObserver(this, NotificationName::applyChanges, [this](const Notification&) { updateRecipeEdited(); });
    m_stackView->installEventFilter(this);
}

bool MainViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Test the event first: events also arrive while the column is being
    // destroyed, when it must not be read as a MainStackView any more.
    if (event->type() == QEvent::PaletteChange && watched == m_stackView)
        systemColorsChanged();
    return QObject::eventFilter(watched, event);
}

void MainViewController::systemColorsChanged()
{
    Log::debug(Log::Category::ui, "===== SYSTEM COLORS DID CHANGE =====");
}

void MainViewController::viewWillAppear()
{
    updateWindowTitle();
}

void MainViewController::updateWindowTitleEvent()
{
    updateWindowTitle();
}

void MainViewController::setWindowTitleEvent(const Notification& notification)
{
    setWindowTitle(AppNotification::SetWindowTitle::get(notification).value_or(QString()));
}

QString MainViewController::subtitle(const QString& recipeName, int fileCount)
{
    // The count of the list as it is: it stays true after a rename or a removal.
    const QString files = fileCount == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(fileCount);
    if (recipeName.isEmpty())
        return fileCount > 0 ? QStringLiteral("Opened ") + files : QString();
    return fileCount > 0 ? QStringLiteral("%1 (%2)").arg(recipeName, files) : recipeName;
}

void MainViewController::updateWindowTitle()
{
    const auto transformers = m_transformers();
    const QString recipeName = transformers ? transformers->recipeName() : QString();
    const auto dataSource = m_fileDataSource();
    const int fileCount = dataSource ? dataSource->count() : 0;
    setWindowTitle(subtitle(recipeName, fileCount));
    updateRecipeEdited();
}

void MainViewController::updateRecipeEdited()
{
    const auto transformers = m_transformers();
    if (MainWindow* window = MainWindow::mainWindow())
        window->setRecipeEdited(transformers && transformers->hasUnsavedChanges());
}

void MainViewController::setWindowTitle(const QString& subtitle)
{
    if (MainWindow* window = MainWindow::mainWindow())
        window->setSubtitle(subtitle);
}
