// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainStackView.h"

#include "platform/Log.h"
#include "uikit/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

using FileDrop::localFileUrls;

void MainStackView::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFileUrls(event->mimeData()).isEmpty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainStackView::dragMoveEvent(QDragMoveEvent* event)
{
    if (localFileUrls(event->mimeData()).isEmpty())
        return event->ignore();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void MainStackView::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = localFileUrls(event->mimeData());
    if (urls.isEmpty())
        return event->ignore();
    Log::debug(Log::Category::ui, "🔶 ===============[ performDragOperation (MainStackView) ]==================");
    FileDrop::open(urls, event->modifiers());
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
