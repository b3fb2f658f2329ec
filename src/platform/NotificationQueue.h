// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

// Notifications queued on the main thread and delivered to the default centre
// when the event loop is idle. A name waiting in the queue is not queued twice;
// different names keep their order. Nothing is delivered while a modal run is
// open (a modal scope, or whatever the idle condition reports as busy).
class NotificationQueue : public QObject {
    Q_OBJECT
public:
    static NotificationQueue& defaultQueue();

    void enqueueWhenIdle(Notification notification);
    int pendingCount() const { return static_cast<int>(m_pending.size()); }

    // Marks a modal run; queued deliveries wait until the outermost one ends.
    void beginModal();
    void endModal();
    bool isInModal() const { return m_modalDepth > 0; }

    // Extra test for "the loop is in its default mode"; the window sets one that
    // looks for modal dialogs and open popup menus.
    void setIdleCondition(std::function<bool()> condition) { m_idleCondition = std::move(condition); }

private:
    NotificationQueue();
    void schedule(int delayMs);
    void flush();
    bool canDeliver() const;

    std::vector<Notification> m_pending;
    QTimer m_timer;
    int m_modalDepth = 0;
    std::function<bool()> m_idleCondition;
};

// Marks a modal run for as long as it lives.
class ModalScope {
public:
    ModalScope() { NotificationQueue::defaultQueue().beginModal(); }
    ~ModalScope() { NotificationQueue::defaultQueue().endModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
