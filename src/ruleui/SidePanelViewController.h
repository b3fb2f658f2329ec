// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ruleui/SidePanel.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QShortcut;
class QSplitter;
class QStackedLayout;

// The right-hand pane of the main window's split view. It shows at most one
// panel: the file inspector, the lookup-table editor or the token panel, each
// made afresh by the factory registered for it whenever it is asked for, and
// collapses the pane when none is asked for. Other parts ask through
// notifications; Escape closes the open panel.
//
// The panels belong to subsystems this one does not link against: whoever
// assembles the window registers their factories (setPanelFactory) and says
// how the inspector learns the table's selected file (setFileInspectorUpdater).
class SidePanelViewController : public QObject {
    Q_OBJECT
public:
    using PanelFactory = std::function<QWidget*()>;
    using FileInspectorUpdater = std::function<void(QWidget* inspector)>;

    // The pane's width the first time it opens; later it reopens at the width
    // the user left it.
    static constexpr int DEFAULT_WIDTH = 340;
    // The cross-fade between two panels; 0 swaps at once.
    static int animationDuration;

    explicit SidePanelViewController(QObject* parent = nullptr);
    ~SidePanelViewController() override;

    // The pane, built on first use. Place it in a QSplitter: the pane collapses
    // and expands its own section there.
    QWidget* view();

    void setPanelFactory(SidePanel panel, PanelFactory factory);
    void setFileInspectorUpdater(FileInspectorUpdater updater);

    SidePanel currentSidePanel() const { return m_currentSidePanel; }
    QWidget* currentSidePanelViewController() const { return m_currentSidePanelViewController; }
    // True when the pane's section has no width, or the pane is in no splitter.
    bool isCollapsed() const;
    void setCollapsed(bool collapsed);
    // Active only while a panel is open and the pane shows.
    QShortcut* escapeShortcut() const { return m_escapeShortcut; }

    // Menu commands and buttons; `sender` is ignored.
    Q_INVOKABLE void toggleFileInspector(QObject* sender = nullptr);
    Q_INVOKABLE void toggleLookupTable(QObject* sender = nullptr);
    Q_INVOKABLE void toggleTokenAttributePanel(QObject* sender = nullptr);
    void showFileInspector();
    void showLookupTable();
    void showTokenAttributePanel();
    void hidePanel();
    void updateFileInspector();
    void selectSidePanel(SidePanel panel);

private:
    void loadView();
    void initObservers();
    void initKeyDownMonitor();
    QWidget* makeSidePanelViewController(SidePanel panel) const;
    QSplitter* splitter() const;
    void updateEscapeShortcut();
    void crossFade(QWidget* oldView, QWidget* newView);

    QPointer<QWidget> m_view;
    QStackedLayout* m_stack = nullptr;
    QShortcut* m_escapeShortcut = nullptr;
    QPointer<QSplitter> m_watchedSplitter;
    SidePanel m_currentSidePanel = SidePanel::none;
    QPointer<QWidget> m_currentSidePanelViewController;
    QHash<int, PanelFactory> m_factories;
    FileInspectorUpdater m_fileInspectorUpdater;
    int m_expandedWidth = DEFAULT_WIDTH;
    // The control that had the focus when a panel opened.
    QPointer<QWidget> m_focusBeforePanel;
};
