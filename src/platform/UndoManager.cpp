// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/UndoManager.h"

#include <QTimer>

#include <algorithm>

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
    dropOldestBeyondCostLimit();
    emit stacksChanged();
}

void UndoManager::addActionCost(qint64 cost)
{
    if (m_groupingLevel > 0)
        m_open.cost += cost;
    else if (!m_undoStack.empty())
        m_undoStack.back().cost += cost;
    else
        return;
    dropOldestBeyondCostLimit();
}

void UndoManager::setCostLimit(qint64 limit)
{
    m_costLimit = std::max<qint64>(limit, 0);
    dropOldestBeyondCostLimit();
    emit stacksChanged();
}

qint64 UndoManager::totalCost() const
{
    qint64 total = m_groupingLevel > 0 ? m_open.cost : 0;
    for (const Group& group : m_undoStack)
        total += group.cost;
    for (const Group& group : m_redoStack)
        total += group.cost;
    return total;
}

void UndoManager::dropOldestBeyondCostLimit()
{
    if (m_costLimit <= 0)
        return;
    qint64 total = totalCost();
    qsizetype dropped = 0;
    // The newest step stays whatever it costs: the last change can always be undone.
    while (total > m_costLimit && static_cast<qsizetype>(m_undoStack.size()) - dropped > 1)
        total -= m_undoStack.at(dropped++).cost;
    m_undoStack.erase(m_undoStack.begin(), m_undoStack.begin() + dropped);
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
        addHandler(std::move(handler));
        if (!m_groupsByEvent)
            closeImplicitGroup();
        return;
    }
    addHandler(std::move(handler));
}

void UndoManager::addHandler(Handler handler)
{
    m_open.handlers.push_back(std::move(handler));
    if (m_target && std::find(m_open.targets.cbegin(), m_open.targets.cend(), m_target) == m_open.targets.cend())
        m_open.targets.push_back(m_target);
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
    // What the handlers register brings back the same objects, at the same cost.
    m_open.targets = group.targets;
    m_open.cost = group.cost;
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

void UndoManager::removeAllActions(const void* target)
{
    const auto concerns = [target](const Group& group) {
        return std::find(group.targets.cbegin(), group.targets.cend(), target) != group.targets.cend();
    };
    std::erase_if(m_undoStack, concerns);
    std::erase_if(m_redoStack, concerns);
    if (concerns(m_open)) {
        m_open.handlers.clear();
        m_open.targets.clear();
    }
    emit stacksChanged();
}

UndoManager::TargetScope::TargetScope(UndoManager* manager, const void* target)
    : m_manager(manager)
{
    if (m_manager) {
        m_previous = m_manager->m_target;
        m_manager->m_target = target;
    }
}

UndoManager::TargetScope::~TargetScope()
{
    if (m_manager)
        m_manager->m_target = m_previous;
}
