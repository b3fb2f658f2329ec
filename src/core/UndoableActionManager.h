// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Undoable steps whose actions finish asynchronously. The first run of a step
// happens in perform(); every undo and redo is queued and run one at a time, in
// the order requested, each awaited to its end before the next starts.
class UndoableActionManager {
public:
    // An action calls `done` when it has finished (at once for synchronous work).
    using AsyncAction = std::function<void(std::function<void()> done)>;
    static AsyncAction fromSync(std::function<void()> work);

    static UndoableActionManager& shared();

    // Runs `doAction`, then registers the step with the main window's undo manager
    // (when there is one) and calls `completion`. A redo runs `redoAction` when given.
    void perform(const QString& actionName, AsyncAction doAction, AsyncAction undoAction,
        std::optional<AsyncAction> redoAction = std::nullopt, std::function<void()> completion = {});

    qint64 currentHistoryIndex() const { return m_currentHistoryIndex; }
    int historyCount() const { return static_cast<int>(m_undoHistory.size()); }
    QString historyActionName(int index) const { return m_undoHistory.at(index).actionName; }

private:
    enum class ActionType { doAction, undoAction };
    struct Action {
        QString actionId;
        ActionType actionType;
        QString actionName;
        AsyncAction action;
        QString description() const;
    };
    struct UndoableAction {
        QString actionId;
        qint64 undoHistoryIndex;
        QString actionName;
        Action doAction;
        Action undoAction;
    };

    QString nextId();
    void startActionStreamProcessor();
    void discardUnusedActions();
    void performAndRegisterUndo(const QString& actionName, const QString& doActionId, const QString& undoActionId);
    void runAction(const QString& actionId);
    void processActionStream();
    void runAction(const Action& action, std::function<void()> done);

    std::vector<UndoableAction> m_undoHistory;
    qint64 m_currentHistoryIndex = -1;
    bool m_streamStarted = false;
    std::deque<Action> m_actionStream;
    bool m_streamBusy = false;
    quint64 m_idCounter = 0;
};
