// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MainWindowLocator.h"

#include "platform/UndoManager.h"

#include <QPointer>

namespace MainWindowLocator {

namespace {
QPointer<UndoManager>& current()
{
    static QPointer<UndoManager> manager;
    return manager;
}
}

UndoManager* undoManager()
{
    return current().data();
}

void setUndoManager(UndoManager* manager)
{
    current() = manager;
}

} // namespace MainWindowLocator
