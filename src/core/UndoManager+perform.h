// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UndoManager.h"

#include <QString>

#include <functional>
#include <optional>

enum class UndoManagerState { undoing, redoing, newState };

// Synchronous undoable changes through the main window's undo manager.
namespace UndoManagerHelpers {

using Action = std::function<void()>;

// Runs `doAction` at once and registers a step named `actionName` whose undo runs
// `undoAction`; redo runs `redoAction` when given, else `doAction`. Without an
// undo manager the change still happens; only the undo step is missing.
void perform(const QString& actionName, Action doAction, Action undoAction,
    std::optional<Action> redoAction = std::nullopt);

// Opens a named group with grouping by event off; the caller closes it.
void beginGroupedAction(UndoManager& undoManager, const QString& actionName);
UndoManagerState state(const UndoManager& undoManager);

} // namespace UndoManagerHelpers
