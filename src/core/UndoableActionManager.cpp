// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/UndoableActionManager.h"

#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"

UndoableActionManager::AsyncAction UndoableActionManager::fromSync(std::function<void()> work)
{
    return [work = std::move(work)](std::function<void()> done) {
        work();
        done();
    };
}

UndoableActionManager& UndoableActionManager::shared()
{
    static UndoableActionManager manager;
    return manager;
}

QString UndoableActionManager::Action::description() const
{
    return QStringLiteral("%1 %2 \"%3\"")
        .arg(actionType == ActionType::undoAction ? QStringLiteral("undoAction") : QStringLiteral("doAction"),
            actionId, actionName);
}

// A counter, not a clock: ids of one step never collide.
QString UndoableActionManager::nextId()
{
    return QString::number(++m_idCounter, 16).toUpper();
}

void UndoableActionManager::perform(const QString& actionName, AsyncAction doAction, AsyncAction undoAction,
    std::optional<AsyncAction> redoAction, std::function<void()> completion)
{
    if (!m_streamStarted)
        startActionStreamProcessor();
    discardUnusedActions();
    const qint64 position = static_cast<qint64>(m_undoHistory.size());
    AsyncAction doPart = redoAction ? *redoAction : doAction;
    const QString stepId = nextId();
    const QString doId = nextId();
    const QString undoId = nextId();
    UndoableAction step { stepId, position, actionName,
        Action { doId, ActionType::doAction, actionName, doPart },
        Action { undoId, ActionType::undoAction, actionName, undoAction } };
    m_undoHistory.push_back(step);
    ++m_currentHistoryIndex;
    Log::debug(Log::Category::ui, "💫 New: (%ld) \"%s\" %s %s", m_currentHistoryIndex + 1, actionName,
        step.doAction.description(), step.undoAction.description());
    doAction([this, actionName, doId, undoId, completion = std::move(completion)] {
        performAndRegisterUndo(actionName, doId, undoId);
        if (completion)
            completion();
    });
}

void UndoableActionManager::discardUnusedActions()
{
    qint64 i = m_currentHistoryIndex;
    const qint64 c = static_cast<qint64>(m_undoHistory.size());
    if (i >= c) {
        i = c - 1;
        m_currentHistoryIndex = i;
    } else if (i <= -2) {
        i = c == 0 ? -1 : 0;
        m_currentHistoryIndex = i;
    }
    const qint64 r = c - (i + 1);
    if (r >= 1) {
        Log::debug(Log::Category::ui,
            "💫 Discard: (%ld) Removing last %ld undo actions [currentHistoryIndex: %ld, undoHistoryCount: %ld]",
            i + 1, r, i, c);
        m_undoHistory.resize(static_cast<size_t>(c - r));
    }
}

void UndoableActionManager::startActionStreamProcessor()
{
    Log::debug(Log::Category::ui, "💫 Initializing Action Stream");
    m_streamStarted = true;
    MainThread::post([] { Log::debug(Log::Category::ui, "💫 Starting Action Stream"); });
}

void UndoableActionManager::performAndRegisterUndo(const QString& actionName, const QString& doActionId,
    const QString& undoActionId)
{
    UndoManager* undoManager = MainWindowLocator::undoManager();
    if (!undoManager)
        return;
    const bool undoing = undoManager->isUndoing();
    const bool redoing = undoManager->isRedoing();
    if (!undoing) {
        undoManager->setGroupsByEvent(false);
        undoManager->beginUndoGrouping();
        undoManager->setActionName(actionName);
    }
    // Each run registers the opposite step: the ids swap.
    undoManager->registerUndo([this, actionName, doActionId, undoActionId] {
        performAndRegisterUndo(actionName, undoActionId, doActionId);
    });
    if (undoing) {
        runAction(doActionId);
    } else if (redoing) {
        runAction(doActionId);
        undoManager->endUndoGrouping();
    } else {
        undoManager->endUndoGrouping();
    }
}

void UndoableActionManager::runAction(const QString& actionId)
{
    const Action* found = nullptr;
    for (const auto& step : m_undoHistory)
        if (step.doAction.actionId == actionId) {
            found = &step.doAction;
            break;
        }
    if (!found)
        for (const auto& step : m_undoHistory)
            if (step.undoAction.actionId == actionId) {
                found = &step.undoAction;
                break;
            }
    if (!found) {
        Log::error(Log::Category::ui, "💫 runAction called with non existing actionId: %{public}s", actionId);
        return;
    }
    if (!m_streamStarted) {
        Log::error(Log::Category::ui, "💫 Action Stream Continuation not initialized");
        return;
    }
    m_actionStream.push_back(*found);
    // The stream is drained from the event loop, never inside the undo handler.
    MainThread::post([this] { processActionStream(); });
}

void UndoableActionManager::processActionStream()
{
    if (m_streamBusy || m_actionStream.empty())
        return;
    Action action = std::move(m_actionStream.front());
    m_actionStream.pop_front();
    m_streamBusy = true;
    runAction(action, [this] {
        m_streamBusy = false;
        MainThread::post([this] { processActionStream(); });
    });
}

void UndoableActionManager::runAction(const Action& action, std::function<void()> done)
{
    if (action.actionType == ActionType::undoAction)
        --m_currentHistoryIndex;
    else
        ++m_currentHistoryIndex;
    const qint64 k = m_currentHistoryIndex + 1;
    Log::debug(Log::Category::ui, "💫 Run: (%ld) Start Running %{public}s", k, action.description());
    const QString description = action.description();
    action.action([k, description, done = std::move(done)] {
        Log::debug(Log::Category::ui, "💫 Run: (%ld) End Running %{public}s", k, description);
        done();
    });
}
