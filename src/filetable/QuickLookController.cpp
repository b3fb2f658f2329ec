// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/QuickLookController.h"

#include "core/AppNotification+Typed.h"
#include "filetable/PreviewWindow.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>
#include <QWidget>

QuickLookController& QuickLookController::shared()
{
    // Owned by the application object, so it goes (with a preview window of no
    // other owner) before the application does.
    static QPointer<QuickLookController> instance;
    if (!instance) {
        instance = new QuickLookController;
        instance->setParent(QCoreApplication::instance());
    }
    return *instance;
}

QuickLookController::QuickLookController()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::showOrHideQuickLook,
        [this](const Notification& notification) { showOrHideQuickLookEvent(notification); });
    center.addObserver(this, NotificationName::updateQuickLook,
        [this](const Notification& notification) { updateQuickLookEvent(notification); });
}

QuickLookController::~QuickLookController()
{
    if (m_previewWindow && !m_previewWindow->parent())
        delete m_previewWindow;
}

bool QuickLookController::isPreviewVisible() const
{
    return m_previewWindow && m_previewWindow->isVisible();
}

void QuickLookController::setPreviewedFile(const Notification& notification)
{
    const std::optional<QVariant> file = AppNotification::ShowHideQuickLook::getFile(notification);
    if (file && file->canConvert<File>())
        m_previewedFile = file->value<File>();
    else
        m_previewedFile.reset();
}

QString QuickLookController::previewedPath() const
{
    return m_previewedFile ? m_previewedFile->sourceUrl().toLocalFile() : QString();
}

PreviewWindow* QuickLookController::makePreviewWindow(QObject* responder)
{
    if (!m_previewWindow) {
        // A tool window of the table's window stays above it and goes with it.
        auto* widget = qobject_cast<QWidget*>(responder);
        m_previewWindow = new PreviewWindow(widget ? widget->window() : nullptr);
    }
    return m_previewWindow;
}

void QuickLookController::showOrHideQuickLookEvent(const Notification& notification)
{
    setPreviewedFile(notification);
    QObject* responder = AppNotification::ShowHideQuickLook::getResponder(notification);
    PreviewWindow* window = makePreviewWindow(responder);
    window->setResponder(responder);
    if (window->isVisible()) {
        window->hide();
        return;
    }
    window->setPath(previewedPath());
    window->show();
    window->raise();
    window->activateWindow();
}

void QuickLookController::updateQuickLookEvent(const Notification& notification)
{
    setPreviewedFile(notification);
    if (isPreviewVisible())
        m_previewWindow->setPath(previewedPath());
}
