// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReloadFileListMenuAction.h"

#include "core/AppNotification+Typed.h"
#include "platform/Log.h"

ReloadFileListMenuAction::ReloadFileListMenuAction() = default;

void ReloadFileListMenuAction::reloadFileList(QObject* sender)
{
    const auto dataSource = m_dataSource();
    if (!dataSource || dataSource->openedUrls.isEmpty())
        return;
    Log::debug(Log::Category::ui, "reloadFileList is reopening %ld urls.", dataSource->openedUrls.size());
    AppNotification::OpenFolder::post(dataSource->openedUrls, false, FileAction::replace);
}

bool ReloadFileListMenuAction::validateMenuItem(QAction* item)
{
    if (m_inputBlock.isBlocked())
        return false;
    const auto dataSource = m_dataSource();
    return dataSource && !dataSource->openedUrls.isEmpty();
}
