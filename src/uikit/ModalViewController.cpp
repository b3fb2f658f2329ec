// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ModalViewController.h"

#include "platform/Log.h"
#include "uikit/AlertPresenter.h"

#include <QApplication>
#include <QKeyEvent>

namespace {
std::function<QWidget*()>& presentingWidgetProvider()
{
    static std::function<QWidget*()> provider;
    return provider;
}

QWidget* presentingWidget()
{
    if (auto& provider = presentingWidgetProvider())
        if (QWidget* widget = provider())
            return widget;
    return QApplication::activeWindow();
}
} // namespace

ModalViewController::ModalViewController(QWidget* parent)
    : QDialog(parent)
{
    // Closed another way (the window's close button): the sheet is down for good,
    // whatever shows were still counted.
    connect(this, &QDialog::finished, this, [this] {
        if (m_presented) {
            m_showCount = 0;
            endPresentation();
        }
    });
}

ModalViewController::~ModalViewController()
{
    removeKeyMonitor();
}

void ModalViewController::setPresentingWidgetProvider(std::function<QWidget*()> provider)
{
    presentingWidgetProvider() = std::move(provider);
}

void ModalViewController::showModalView()
{
    if (m_presented) {
        ++m_showCount;
        return;
    }
    QWidget* parent = presentingWidget();
    if (!parent)
        Log::info(Log::Category::ui, "No window to present the sheet over; showing it on its own.");
    m_presented = true;
    m_modalScope.emplace();
    qApp->installEventFilter(this);
    m_keyMonitorInstalled = true;
    AlertPresenter::current().presentSheet(this, parent);
}

void ModalViewController::hideModalView()
{
    if (m_showCount > 0) {
        --m_showCount;
        return;
    }
    if (!m_presented)
        return;
    endPresentation();
    AlertPresenter::current().dismissSheet(this);
}

void ModalViewController::endPresentation()
{
    m_presented = false;
    removeKeyMonitor();
    m_modalScope.reset();
}

void ModalViewController::removeKeyMonitor()
{
    if (m_keyMonitorInstalled && qApp)
        qApp->removeEventFilter(this);
    m_keyMonitorInstalled = false;
}

bool ModalViewController::handleKeyDown(QKeyEvent*)
{
    return false;
}

bool ModalViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Only keys typed into the sheet itself: other windows keep theirs.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (m_keyMonitorInstalled && event->type() == QEvent::KeyPress && widget && widget->window() == this)
        return handleKeyDown(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}
