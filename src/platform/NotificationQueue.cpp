// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NotificationQueue.h"

#include "platform/NotificationCenter.h"

#include <QCoreApplication>

namespace {
// While a modal run blocks delivery, look again at this pace.
constexpr int BLOCKED_RETRY_MS = 20;
}

NotificationQueue& NotificationQueue::defaultQueue()
{
    static NotificationQueue* queue = [] {
        auto* q = new NotificationQueue;
        if (auto* app = QCoreApplication::instance())
            q->moveToThread(app->thread());
        return q;
    }();
    return *queue;
}

NotificationQueue::NotificationQueue()
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &NotificationQueue::flush);
}

void NotificationQueue::enqueueWhenIdle(Notification notification)
{
    for (const auto& pending : m_pending)
        if (pending.name == notification.name)
            return;
    m_pending.push_back(std::move(notification));
    if (!m_timer.isActive())
        schedule(0);
}

void NotificationQueue::beginModal()
{
    ++m_modalDepth;
}

void NotificationQueue::endModal()
{
    if (m_modalDepth > 0)
        --m_modalDepth;
    if (m_modalDepth == 0 && !m_pending.empty())
        schedule(0);
}

void NotificationQueue::schedule(int delayMs)
{
    m_timer.start(delayMs);
}

bool NotificationQueue::canDeliver() const
{
    return m_modalDepth == 0 && (!m_idleCondition || m_idleCondition());
}

void NotificationQueue::flush()
{
    if (m_pending.empty())
        return;
    if (!canDeliver()) {
        schedule(BLOCKED_RETRY_MS);
        return;
    }
    // Posts made by the observers wait for the next idle pass.
    std::vector<Notification> batch;
    batch.swap(m_pending);
    for (const auto& notification : batch)
        NotificationCenter::defaultCenter().post(notification);
    if (!m_pending.empty())
        schedule(0);
}
