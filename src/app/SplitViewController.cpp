// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SplitViewController.h"

#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "core/DependencyInjectionRegistry.h"
#include "filetable/FileDetailsViewController.h"
#include "filetable/TableViewController.h"
#include "ruleui/SidePanelViewController.h"
#include "tokenui/LookupTablePanelController.h"
#include "tokenui/TokenAttributePanelController.h"

SplitViewController::SplitViewController(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    initView();
}

void SplitViewController::initView()
{
    m_mainViewController = new MainViewController(this);
    addWidget(m_mainViewController->view());

    m_sidePanelViewController = new SidePanelViewController(this);
    initSidePanels();
    m_sidePanelView = m_sidePanelViewController->view();
    addWidget(m_sidePanelView);

    setCollapsible(0, false);
    setCollapsible(1, true);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    setSizes({ 1, 0 });
}

void SplitViewController::initSidePanels()
{
    m_sidePanelViewController->setPanelFactory(SidePanel::fileInspector, [] { return new FileDetailsViewController; });
    m_sidePanelViewController->setPanelFactory(SidePanel::tokenAttributes, [] { return new TokenAttributePanelController; });
    m_sidePanelViewController->setPanelFactory(SidePanel::lookupTable, [] { return new LookupTablePanelController; });
    LookupTablePanelController::setFileListExport([] {
        if (const auto tableViewController = DependencyInjectionRegistry::get<TableViewController>(
                QStringLiteral("Brackenfold/SplitViewController.cpp"), QStringLiteral("exportFilesToCsv()"), __LINE__))
            tableViewController->exportFilesToCsv(nullptr);
    });
    m_sidePanelViewController->setFileInspectorUpdater([](QWidget* panel) {
        auto* inspector = qobject_cast<FileDetailsViewController*>(panel);
        const auto tableViewController = DependencyInjectionRegistry::get<TableViewController>(
            QStringLiteral("Brackenfold/SplitViewController.cpp"), QStringLiteral("updateFileInspector()"), __LINE__);
        if (inspector && tableViewController)
            inspector->updateFileInspectorFor(tableViewController->selectedFile());
    });
}

bool SplitViewController::isSidePanelCollapsed() const
{
    return sizes().value(1) == 0;
}

QList<QObject*> SplitViewController::allChildControllers() const
{
    QList<QObject*> controllers { m_mainViewController, m_sidePanelViewController };
    // Breadth first: the column's controllers, then the controllers each of them holds.
    for (qsizetype i = 0; i < controllers.size(); ++i) {
        QObject* controller = controllers.at(i);
        QList<QObject*> children;
        if (controller == m_mainViewController)
            children = m_mainViewController->childViewControllers();
        else if (controller->metaObject()->indexOfMethod("childViewControllers()") >= 0)
            QMetaObject::invokeMethod(controller, "childViewControllers", Qt::DirectConnection,
                Q_RETURN_ARG(QList<QObject*>, children));
        controllers << children;
    }
    return controllers;
}
