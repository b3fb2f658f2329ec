// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowDelegate.h"

#include "platform/Log.h"

#include <QEvent>

bool MainWindowDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Log::debug(Log::Category::ui, "windowDidBecomeKey(_:)");
    else if (event->type() == QEvent::WindowDeactivate)
        Log::debug(Log::Category::ui, "windowDidResignKey(_:)");
    return QObject::eventFilter(watched, event);
}
