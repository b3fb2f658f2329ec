// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/SidePanelViewController.h"

#include "core/AppNotification.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "uikit/VisualEffects.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QSplitter>
#include <QStackedLayout>

#include <algorithm>

int SidePanelViewController::animationDuration = 180;

SidePanelViewController::SidePanelViewController(QObject* parent)
    : QObject(parent)
{
}

SidePanelViewController::~SidePanelViewController()
{
    // The window owns a placed pane; one never placed is ours.
    if (m_view && !m_view->parent())
        delete m_view;
}

QWidget* SidePanelViewController::view()
{
    if (!m_view) {
        loadView();
        initObservers();
        initKeyDownMonitor();
    }
    return m_view;
}

void SidePanelViewController::loadView()
{
    VisualEffectView* effectView = VisualEffects::setupVisualEffects();
    effectView->setObjectName(QStringLiteral("SidePanelViewController"));
    effectView->setAccessibleName(QStringLiteral("Side panel"));
    // Panels lie on top of each other while they cross-fade.
    m_stack = new QStackedLayout(effectView);
    m_stack->setStackingMode(QStackedLayout::StackAll);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_view = effectView;
}

void SidePanelViewController::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    const auto observe = [&](const QString& name, void (SidePanelViewController::*handler)()) {
        center.addObserver(this, name, [this, handler](const Notification&) { (this->*handler)(); });
    };
    observe(NotificationName::showFileInspector, &SidePanelViewController::showFileInspector);
    observe(NotificationName::hideFileInspector, &SidePanelViewController::hidePanel);
    observe(NotificationName::updateFileInspector, &SidePanelViewController::updateFileInspector);
    center.addObserver(this, NotificationName::toggleLookupTable, [this](const Notification&) { toggleLookupTable(); });
    observe(NotificationName::showLookupTable, &SidePanelViewController::showLookupTable);
    // Leaving a lookup rule asks for this; only the lookup table closes.
    center.addObserver(this, NotificationName::hideLookupTable, [this](const Notification&) {
        if (m_currentSidePanel == SidePanel::lookupTable)
            hidePanel();
    });
    center.addObserver(this, NotificationName::toggleTokenAttributePanel,
        [this](const Notification&) { toggleTokenAttributePanel(); });
    observe(NotificationName::hideTokenAttributePanel, &SidePanelViewController::hidePanel);
    observe(NotificationName::hideAllPanels, &SidePanelViewController::hidePanel);
    // The window's menu command and the token panel's own "show" request.
    center.addObserver(this, NotificationName::showOrHideFileInspector,
        [this](const Notification&) { toggleFileInspector(); });
    observe(NotificationName::showTokenAttributePanel, &SidePanelViewController::showTokenAttributePanel);
}

void SidePanelViewController::initKeyDownMonitor()
{
    // Scoped to the pane's window and off while no panel shows, so Escape still
    // reaches popups, dialogs, other windows and the focused control otherwise.
    m_escapeShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), m_view, nullptr, nullptr, Qt::WindowShortcut);
    m_escapeShortcut->setObjectName(QStringLiteral("closeSidePanelShortcut"));
    m_escapeShortcut->setEnabled(false);
    connect(m_escapeShortcut, &QShortcut::activated, this, [this] {
        if (!isCollapsed())
            hidePanel();
    });
}

void SidePanelViewController::setPanelFactory(SidePanel panel, PanelFactory factory)
{
    m_factories.insert(SidePanels::rawValue(panel), std::move(factory));
}

void SidePanelViewController::setFileInspectorUpdater(FileInspectorUpdater updater)
{
    m_fileInspectorUpdater = std::move(updater);
}

QSplitter* SidePanelViewController::splitter() const
{
    return m_view ? qobject_cast<QSplitter*>(m_view->parentWidget()) : nullptr;
}

bool SidePanelViewController::isCollapsed() const
{
    QSplitter* split = splitter();
    if (!split)
        return true;
    const int index = split->indexOf(m_view);
    return index < 0 || split->sizes().value(index) == 0;
}

void SidePanelViewController::setCollapsed(bool collapsed)
{
    QSplitter* split = splitter();
    if (!split)
        return;
    const int index = split->indexOf(m_view);
    if (index < 0)
        return;
    QList<int> sizes = split->sizes();
    int total = 0;
    for (int size : std::as_const(sizes))
        total += size;
    if (total <= 0)
        total = std::max(split->width(), 1);
    const int current = sizes.at(index);
    if (collapsed) {
        if (current > 0)
            m_expandedWidth = current;
        sizes[index] = 0;
    } else if (current == 0) {
        sizes[index] = std::clamp(m_expandedWidth, 1, std::max(1, total / 2));
    } else {
        updateEscapeShortcut();
        return;
    }
    // The rest goes to the first other section (the main column).
    const int other = index == 0 ? 1 : 0;
    if (other < sizes.size()) {
        int rest = total;
        for (int i = 0; i < sizes.size(); ++i)
            if (i != other)
                rest -= sizes.at(i);
        sizes[other] = std::max(0, rest);
    }
    split->setSizes(sizes);
    updateEscapeShortcut();
}

void SidePanelViewController::updateEscapeShortcut()
{
    if (QSplitter* split = splitter(); split && split != m_watchedSplitter) {
        // The user may collapse or reopen the pane by dragging the divider.
        m_watchedSplitter = split;
        connect(split, &QSplitter::splitterMoved, this, [this] { updateEscapeShortcut(); });
    }
    if (m_escapeShortcut)
        m_escapeShortcut->setEnabled(m_currentSidePanel != SidePanel::none && !isCollapsed());
}

void SidePanelViewController::toggleFileInspector(QObject*)
{
    if (m_currentSidePanel != SidePanel::fileInspector) {
        selectSidePanel(SidePanel::fileInspector);
        updateFileInspector();
    } else {
        selectSidePanel(SidePanel::none);
    }
}

void SidePanelViewController::toggleLookupTable(QObject*)
{
    selectSidePanel(m_currentSidePanel == SidePanel::lookupTable ? SidePanel::none : SidePanel::lookupTable);
}

void SidePanelViewController::toggleTokenAttributePanel(QObject*)
{
    selectSidePanel(m_currentSidePanel == SidePanel::tokenAttributes ? SidePanel::none : SidePanel::tokenAttributes);
}

void SidePanelViewController::showFileInspector()
{
    selectSidePanel(SidePanel::fileInspector);
    updateFileInspector();
}

void SidePanelViewController::showLookupTable()
{
    selectSidePanel(SidePanel::lookupTable);
}

void SidePanelViewController::showTokenAttributePanel()
{
    selectSidePanel(SidePanel::tokenAttributes);
}

void SidePanelViewController::hidePanel()
{
    selectSidePanel(SidePanel::none);
}

void SidePanelViewController::updateFileInspector()
{
    if (m_currentSidePanel != SidePanel::fileInspector || !m_currentSidePanelViewController || !m_fileInspectorUpdater)
        return;
    m_fileInspectorUpdater(m_currentSidePanelViewController);
}

QWidget* SidePanelViewController::makeSidePanelViewController(SidePanel panel) const
{
    if (panel == SidePanel::none)
        return nullptr;
    const auto factory = m_factories.constFind(SidePanels::rawValue(panel));
    if (factory == m_factories.constEnd() || !*factory) {
        Log::error(Log::Category::ui, "No side panel registered for %ld", SidePanels::rawValue(panel));
        return nullptr;
    }
    return (*factory)();
}

void SidePanelViewController::selectSidePanel(SidePanel panel)
{
    view();
    if (panel == m_currentSidePanel) {
        // Asking again re-opens a pane the user collapsed by hand.
        setCollapsed(panel == SidePanel::none);
        return;
    }
    QWidget* oldView = m_currentSidePanelViewController;
    QWidget* newView = makeSidePanelViewController(panel);
    if (panel != SidePanel::none && !newView)
        return;
    QWidget* focus = QApplication::focusWidget();
    const bool focusInPanel = focus && m_view && m_view->isAncestorOf(focus);
    if (!focusInPanel)
        m_focusBeforePanel = focus;
    m_currentSidePanel = panel;
    m_currentSidePanelViewController = newView;
    if (newView) {
        m_stack->addWidget(newView);
        m_stack->setCurrentWidget(newView);
    }
    setCollapsed(panel == SidePanel::none);
    crossFade(oldView, newView);
    // A closed panel gives the focus back to the control it was opened from.
    if (panel == SidePanel::none && (focusInPanel || !QApplication::focusWidget()) && m_focusBeforePanel
        && m_focusBeforePanel->isVisible() && m_focusBeforePanel->isEnabled())
        m_focusBeforePanel->setFocus(Qt::OtherFocusReason);
}

void SidePanelViewController::crossFade(QWidget* oldView, QWidget* newView)
{
    QPointer<QWidget> old(oldView);
    const auto dropOld = [old] {
        if (old) {
            old->hide();
            old->deleteLater();
        }
    };
    if (animationDuration <= 0 || !m_view->isVisible()) {
        dropOld();
        return;
    }
    auto* group = new QParallelAnimationGroup(this);
    const auto fade = [&](QWidget* widget, qreal from, qreal to) {
        auto* effect = new QGraphicsOpacityEffect(widget);
        effect->setOpacity(from);
        widget->setGraphicsEffect(effect);
        auto* animation = new QPropertyAnimation(effect, "opacity", group);
        animation->setDuration(animationDuration);
        animation->setStartValue(from);
        animation->setEndValue(to);
        group->addAnimation(animation);
    };
    if (oldView)
        fade(oldView, 1.0, 0.0);
    if (newView)
        fade(newView, 0.0, 1.0);
    QPointer<QWidget> fresh(newView);
    // Each fade drops only its own old panel; a newer fade may already run.
    connect(group, &QAbstractAnimation::finished, this, [dropOld, fresh] {
        dropOld();
        if (fresh)
            fresh->setGraphicsEffect(nullptr);
    });
    group->start(QAbstractAnimation::DeleteWhenStopped);
}
