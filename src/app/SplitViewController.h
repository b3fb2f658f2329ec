// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSplitter>

class MainViewController;
class SidePanelViewController;

// The window's content: the main column on the left and the side panel on the
// right, collapsed at start.
class SplitViewController : public QSplitter {
    Q_OBJECT
public:
    explicit SplitViewController(QWidget* parent = nullptr);

    MainViewController* mainViewController() const { return m_mainViewController; }
    QWidget* sidePanelView() const { return m_sidePanelView; }
    SidePanelViewController* sidePanelViewController() const { return m_sidePanelViewController; }
    bool isSidePanelCollapsed() const;

    // Every controller below this one: its children in order, then the
    // descendants of each child in turn.
    QList<QObject*> allChildControllers() const;

private:
    void initView();

    void initSidePanels();

    MainViewController* m_mainViewController = nullptr;
    SidePanelViewController* m_sidePanelViewController = nullptr;
    QWidget* m_sidePanelView = nullptr;
};
