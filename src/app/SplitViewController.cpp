#include "app/SplitViewController.h"

#include "app/MainStackView.h"
#include "app/MainViewController.h"
#include "app/PlaceholderView.h"
#include "uikit/VisualEffects.h"

#include <QVBoxLayout>

SplitViewController::SplitViewController(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent)
{
    initView();
}

void SplitViewController::initView()
{
    m_mainViewController = new MainViewController(this);
    addWidget(m_mainViewController->view());

    // The side panel (inspector, lookup table, token list) comes with the rule
    // editing views; its place is kept, collapsed.
    VisualEffectView* side = VisualEffects::setupVisualEffects();
    auto* layout = new QVBoxLayout(side);
    layout->addWidget(new PlaceholderView(QStringLiteral(
        "Side panel: the file inspector, the lookup table or the token list will be here. It is not part of this build yet.")));
    m_sidePanelView = side;
    addWidget(side);

    setCollapsible(0, false);
    setCollapsible(1, true);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    setSizes({ 1, 0 });
}

bool SplitViewController::isSidePanelCollapsed() const
{
    return sizes().value(1) == 0;
}

QList<QObject*> SplitViewController::allChildControllers() const
{
    QList<QObject*> controllers { m_mainViewController };
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
