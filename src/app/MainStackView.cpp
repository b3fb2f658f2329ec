// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainStackView.h"

#include "app/ProgressViewController.h"
#include "core/AppNotification.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QVBoxLayout>

MainStackView::MainStackView(QWidget* parent)
    : QWidget(parent)
    , m_inputBlock([this](bool blocked) { blockedChanged(blocked); })
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(8);
    setAcceptDrops(true);
}

MainStackView::~MainStackView()
{
    for (const QPointer<QWidget>& view : std::as_const(m_sharedViews))
        if (view && view->parentWidget() == this)
            view->setParent(nullptr);
    if (m_inputBlock.isBlocked())
        qApp->removeEventFilter(this);
}

void MainStackView::addArrangedSubview(QWidget* view)
{
    // A hidden widget in a box layout takes no space, as the column wants.
    m_layout->addWidget(view);
}

void MainStackView::addSharedArrangedSubview(QWidget* view)
{
    m_sharedViews << view;
    addArrangedSubview(view);
}

void MainStackView::setSpacing(int spacing)
{
    m_layout->setSpacing(spacing);
}

void MainStackView::blockedChanged(bool blocked)
{
    if (blocked) {
        qApp->installEventFilter(this);
        Log::debug(Log::Category::ui, "🔶 MainStackView UI blocked");
    } else {
        qApp->removeEventFilter(this);
        Log::debug(Log::Category::ui, "🔶 MainStackView UI unblocked");
    }
}

bool MainStackView::isAbortControl(const QObject* object)
{
    for (auto* widget = qobject_cast<const QWidget*>(object); widget; widget = widget->parentWidget()) {
        if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            return button->property("selector").toString() == QLatin1String(ProgressViewController::ABORT_ACTION);
        if (widget->isWindow())
            break;
    }
    return false;
}

bool MainStackView::belongsToThisWindow(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget)
        return false;
    const QWidget* mainWindow = window();
    // Walk up across popups (menus of the menu bar) but never into a dialog:
    // alerts and sheets shown during a run must stay usable.
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (w == mainWindow)
            return true;
        if (w->isWindow() && !qobject_cast<const QMenu*>(w))
            return false;
    }
    return false;
}

bool MainStackView::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        break;
    default:
        return false;
    }
    if (isAbortControl(watched))
        return false;
    // Shortcuts are delivered to their QAction or QShortcut, not to a widget.
    if (event->type() == QEvent::Shortcut) {
        if (auto* action = qobject_cast<QAction*>(watched)) {
            for (QObject* owner : action->associatedObjects())
                if (belongsToThisWindow(owner))
                    return true;
            return false;
        }
        return belongsToThisWindow(watched->parent());
    }
    return belongsToThisWindow(watched);
}
