// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReloadFileListMenuAction.h"

#include "core/AppNotification+Typed.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"

ReloadFileListMenuAction::ReloadFileListMenuAction()
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, NotificationName::enableUserInput, [this](const Notification&) { m_userInputEnabled = true; });
    center.addObserver(this, NotificationName::disableUserInput, [this](const Notification&) { m_userInputEnabled = false; });
}

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
    if (!m_userInputEnabled)
        return false;
    const auto dataSource = m_dataSource();
    return dataSource && !dataSource->openedUrls.isEmpty();
}
