// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SortMenuAction.h"

#include "core/AppNotification.h"
#include "platform/NotificationCenter.h"

SortMenuAction::SortMenuAction()
{
    initObservers();
}

void SortMenuAction::initObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::enableUserInput, [this](const Notification&) { m_userInputEnabled = true; });
    center.addObserver(this, NotificationName::disableUserInput, [this](const Notification&) { m_userInputEnabled = false; });
}

bool SortMenuAction::validateMenuItem(QAction* item)
{
    if (!m_userInputEnabled)
        return false;
    const auto dataSource = m_dataSource();
    return dataSource && dataSource->count() > 0;
}

void SortMenuAction::sort(FileSortOrder order)
{
    if (const auto dataSource = m_dataSource())
        dataSource->sortBy(order);
}
