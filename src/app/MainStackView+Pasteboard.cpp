#include "app/MainStackView.h"

#include "core/AppNotification+Typed.h"
#include "platform/Log.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {
// Only files of this machine can be renamed.
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
} // namespace

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
    const bool appendWithoutAsking = event->modifiers().testFlag(Qt::AltModifier);
    const QList<QUrl> urls = localFileUrls(event->mimeData());
    if (urls.isEmpty())
        return event->ignore();
    Log::debug(Log::Category::ui, "🔶 ===============[ performDragOperation (MainStackView) ]==================");
    if (appendWithoutAsking)
        AppNotification::OpenFolder::post(urls, false, FileAction::append);
    else
        AppNotification::OpenFolder::post(urls, true, FileAction::replace);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
