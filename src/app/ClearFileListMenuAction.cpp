// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClearFileListMenuAction.h"

#include "platform/MainThread.h"

void ClearFileListMenuAction::clearFileListAction(QObject* sender)
{
    MainThread::post([this] {
        const auto dataSource = m_dataSource();
        if (!dataSource || dataSource->count() < 1)
            return;
        dataSource->replaceFiles({}, FileAction::clear, std::nullopt);
    });
}
