// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/UserInputBlockObserver.h"

#include "core/AppNotification.h"
#include "platform/NotificationCenter.h"

UserInputBlockObserver::UserInputBlockObserver(std::function<void(bool blocked)> changed, QObject* parent)
    : QObject(parent)
    , m_changed(std::move(changed))
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::disableUserInput, [this](const Notification&) {
        if (++m_level == 1 && m_changed)
            m_changed(true);
    });
    center.addObserver(this, NotificationName::enableUserInput, [this](const Notification&) {
        if (m_level < 1)
            return;
        if (--m_level == 0 && m_changed)
            m_changed(false);
    });
}
