// SPDX-License-Identifier: GPL-3.0-or-later
#include "filetable/TableViewController.h"

#include "platform/MainThread.h"

#include <QAction>
#include <QPointer>

void TableViewController::hideNotRenamedFilesMenuHandler(QObject* sender)
{
    const bool toBeChanged = filter().toggleToBeChanged();
    if (auto* item = qobject_cast<QAction*>(sender))
        item->setChecked(toBeChanged);
    QPointer<TableViewController> self(this);
    MainThread::post([self] {
        if (self)
            self->reloadData();
    });
}

void TableViewController::hideHiddenFilesMenuHandler(QObject* sender)
{
    const bool hiddenFiles = filter().toggleHiddenFiles();
    if (auto* item = qobject_cast<QAction*>(sender))
        item->setChecked(!hiddenFiles);
    QPointer<TableViewController> self(this);
    MainThread::post([self] {
        if (self)
            self->reloadData();
    });
}
