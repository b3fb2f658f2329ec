// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/UndoManager+perform.h"

#include "platform/MainWindowLocator.h"

namespace UndoManagerHelpers {

namespace {
void registerStep(UndoManager& undoManager, const QString& name, Action doAction, Action undoAction,
    std::optional<Action> redoAction);

// Runs when the user undoes or redoes the step: runs X and registers the opposite.
void runStep(const QString& name, const Action& doAction, const Action& undoAction,
    const std::optional<Action>& redoAction)
{
    UndoManager* undoManager = MainWindowLocator::undoManager();
    if (!undoManager)
        return;
    const bool undoing = undoManager->isUndoing();
    if (!undoing) {
        undoManager->beginUndoGrouping();
        undoManager->setActionName(name);
    }
    registerStep(*undoManager, name, undoAction, redoAction ? *redoAction : doAction, std::nullopt);
    undoAction();
    if (!undoing)
        undoManager->endUndoGrouping();
}

void registerStep(UndoManager& undoManager, const QString& name, Action doAction, Action undoAction,
    std::optional<Action> redoAction)
{
    undoManager.registerUndo([name, doAction, undoAction, redoAction] {
        runStep(name, doAction, undoAction, redoAction);
    });
}
} // namespace

void perform(const QString& actionName, Action doAction, Action undoAction, std::optional<Action> redoAction)
{
    UndoManager* undoManager = MainWindowLocator::undoManager();
    if (!undoManager) {
        doAction();
        return;
    }
    const bool undoing = undoManager->isUndoing();
    if (!undoing) {
        undoManager->beginUndoGrouping();
        undoManager->setActionName(actionName);
    }
    registerStep(*undoManager, actionName, doAction, undoAction, redoAction);
    doAction();
    if (!undoing)
        undoManager->endUndoGrouping();
}

void beginGroupedAction(UndoManager& undoManager, const QString& actionName)
{
    undoManager.setGroupsByEvent(false);
    undoManager.beginUndoGrouping();
    undoManager.setActionName(actionName);
}

UndoManagerState state(const UndoManager& undoManager)
{
    if (undoManager.isUndoing())
        return UndoManagerState::undoing;
    if (undoManager.isRedoing())
        return UndoManagerState::redoing;
    return UndoManagerState::newState;
}

} // namespace UndoManagerHelpers
