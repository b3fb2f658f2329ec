// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// Named, grouped undo and redo steps. A handler may register steps while it
// runs: during an undo they form the redo step, during a redo the undo step.
class UndoManager : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit UndoManager(QObject* parent = nullptr);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return m_groupingLevel; }

    // With grouping by event, a registration outside any group opens a group
    // that closes when the event loop next runs (or before the next undo).
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool on) { m_groupsByEvent = on; }

    // Names the open group, or the last step when no group is open.
    void setActionName(const QString& name);
    // What a step holds to be undone, in the caller's unit (a list step: its
    // files); added to the open group, or the last step when none is open. The
    // step its undo or redo registers costs the same.
    void addActionCost(qint64 cost);
    // The most the history may hold in all; 0: no bound. Beyond it the oldest
    // undo steps go, never the newest.
    void setCostLimit(qint64 limit);
    qint64 costLimit() const { return m_costLimit; }
    qint64 totalCost() const;
    void registerUndo(Handler handler);

    bool canUndo() const;
    bool canRedo() const;
    QString undoActionName() const;
    QString redoActionName() const;
    void undo();
    void redo();
    bool isUndoing() const { return m_undoing; }
    bool isRedoing() const { return m_redoing; }
    void removeAllActions();
    // Drops the steps that concern `target`; the other steps stay.
    void removeAllActions(const void* target);

    // The steps registered while a scope lives concern `target`, the object
    // whose state they bring back, and so do the steps their undo and redo
    // register in turn.
    class TargetScope {
    public:
        TargetScope(UndoManager* manager, const void* target);
        ~TargetScope();
        TargetScope(const TargetScope&) = delete;
        TargetScope& operator=(const TargetScope&) = delete;

    private:
        UndoManager* m_manager;
        const void* m_previous = nullptr;
    };

    int undoCount() const { return static_cast<int>(m_undoStack.size()); }
    int redoCount() const { return static_cast<int>(m_redoStack.size()); }

signals:
    void stacksChanged();

private:
    struct Group {
        QString name;
        std::vector<Handler> handlers;
        std::vector<const void*> targets;
        qint64 cost = 0;
    };
    void addHandler(Handler handler);
    void closeImplicitGroup();
    void run(std::vector<Group>& from, bool undoing);
    void dropOldestBeyondCostLimit();

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    Group m_open;
    int m_groupingLevel = 0;
    bool m_implicitGroup = false;
    bool m_groupsByEvent = true;
    bool m_undoing = false;
    bool m_redoing = false;
    const void* m_target = nullptr;
    qint64 m_costLimit = 0;
};
