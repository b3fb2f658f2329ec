// SPDX-License-Identifier: GPL-3.0-or-later
#include "uikit/FileDrop.h"

#include "core/AppNotification+Typed.h"

#include <QMimeData>

namespace FileDrop {

QList<QUrl> localFileUrls(const QMimeData* mimeData)
{
    QList<QUrl> urls;
    if (!mimeData || !mimeData->hasUrls())
        return urls;
    for (const QUrl& url : mimeData->urls())
        if (url.isLocalFile())
            urls << url;
    return urls;
}

void open(const QList<QUrl>& urls, Qt::KeyboardModifiers modifiers)
{
    if (urls.isEmpty())
        return;
    if (modifiers.testFlag(Qt::AltModifier))
        AppNotification::OpenFolder::post(urls, false, FileAction::append);
    else
        AppNotification::OpenFolder::post(urls, true, FileAction::replace);
}

} // namespace FileDrop
