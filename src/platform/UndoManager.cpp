#include "platform/UndoManager.h"

#include <QTimer>

UndoManager::UndoManager(QObject* parent)
    : QObject(parent)
{
}

void UndoManager::beginUndoGrouping()
{
    if (m_groupingLevel == 0)
        m_open = Group {};
    ++m_groupingLevel;
}

void UndoManager::endUndoGrouping()
{
    if (m_groupingLevel == 0)
        return;
    if (--m_groupingLevel > 0)
        return;
    m_implicitGroup = false;
    Group group = std::move(m_open);
    m_open = Group {};
    if (group.handlers.empty())
        return;
    if (m_undoing) {
        m_redoStack.push_back(std::move(group));
    } else {
        if (!m_redoing)
            m_redoStack.clear();
        m_undoStack.push_back(std::move(group));
    }
    emit stacksChanged();
}

void UndoManager::setActionName(const QString& name)
{
    if (m_groupingLevel > 0)
        m_open.name = name;
    else if (!m_undoStack.empty())
        m_undoStack.back().name = name;
}

void UndoManager::registerUndo(Handler handler)
{
    if (m_groupingLevel == 0) {
        beginUndoGrouping();
        m_implicitGroup = true;
        if (m_groupsByEvent) {
            QTimer::singleShot(0, this, [this] { closeImplicitGroup(); });
        }
        m_open.handlers.push_back(std::move(handler));
        if (!m_groupsByEvent)
            closeImplicitGroup();
        return;
    }
    m_open.handlers.push_back(std::move(handler));
}

void UndoManager::closeImplicitGroup()
{
    if (m_implicitGroup && m_groupingLevel == 1)
        endUndoGrouping();
}

bool UndoManager::canUndo() const
{
    return !m_undoStack.empty() || (m_implicitGroup && !m_open.handlers.empty());
}

bool UndoManager::canRedo() const
{
    return !m_redoStack.empty();
}

QString UndoManager::undoActionName() const
{
    return m_undoStack.empty() ? QString() : m_undoStack.back().name;
}

QString UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back().name;
}

void UndoManager::undo()
{
    closeImplicitGroup();
    if (m_groupingLevel > 0 || m_undoStack.empty() || m_undoing || m_redoing)
        return;
    run(m_undoStack, true);
}

void UndoManager::redo()
{
    closeImplicitGroup();
    if (m_groupingLevel > 0 || m_redoStack.empty() || m_undoing || m_redoing)
        return;
    run(m_redoStack, false);
}

void UndoManager::run(std::vector<Group>& from, bool undoing)
{
    Group group = std::move(from.back());
    from.pop_back();
    (undoing ? m_undoing : m_redoing) = true;
    beginUndoGrouping();
    m_open.name = group.name;
    // Last registered, first undone.
    for (auto it = group.handlers.rbegin(); it != group.handlers.rend(); ++it)
        (*it)();
    // A handler may have renamed the group; the step keeps its own name unless it did.
    endUndoGrouping();
    (undoing ? m_undoing : m_redoing) = false;
    emit stacksChanged();
}

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    m_open = Group {};
    m_groupingLevel = 0;
    m_implicitGroup = false;
    emit stacksChanged();
}
