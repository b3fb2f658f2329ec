// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/ModalIdleCondition.h"

#include "platform/NotificationQueue.h"

#include <QApplication>

namespace ModalIdleCondition {

bool isEventLoopIdle()
{
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

void install()
{
    NotificationQueue::defaultQueue().setIdleCondition(&isEventLoopIdle);
}

} // namespace ModalIdleCondition
