// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class UndoManager;

// Finds the undo manager of the main window. The window sets it when it becomes
// main; headless code and tests set one of their own. Null when there is none.
namespace MainWindowLocator {

UndoManager* undoManager();
void setUndoManager(UndoManager* manager);

} // namespace MainWindowLocator
