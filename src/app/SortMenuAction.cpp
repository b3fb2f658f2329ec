// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SortMenuAction.h"

#include "core/AppNotification.h"

SortMenuAction::SortMenuAction() = default;

bool SortMenuAction::validateMenuItem(QAction* item)
{
    if (m_inputBlock.isBlocked())
        return false;
    const auto dataSource = m_dataSource();
    return dataSource && dataSource->count() > 0;
}

void SortMenuAction::sort(FileSortOrder order)
{
    if (const auto dataSource = m_dataSource())
        dataSource->sortBy(order);
}
