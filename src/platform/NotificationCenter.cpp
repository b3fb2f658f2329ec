// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NotificationCenter.h"

#include "platform/MainThread.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject* owner, const QString& name, Handler handler)
{
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->hasOwner = owner != nullptr;
    entry->name = name;
    entry->handler = std::move(handler);
    if (owner) {
        std::weak_ptr<Entry> weak = entry;
        QObject::connect(owner, &QObject::destroyed, [weak] {
            if (auto e = weak.lock())
                e->active = false;
        });
    }
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [](const auto& e) { return !e->isAlive(); });
    m_entries.push_back(std::move(entry));
}

void NotificationCenter::removeObserver(QObject* owner)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const auto& e) {
        if (e->hasOwner && e->owner == owner) {
            e->active = false;
            return true;
        }
        return false;
    });
}

void NotificationCenter::removeObserver(QObject* owner, const QString& name)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [&](const auto& e) {
        if (e->hasOwner && e->owner == owner && e->name == name) {
            e->active = false;
            return true;
        }
        return false;
    });
}

int NotificationCenter::observerCount(const QString& name) const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
        [&](const auto& e) { return e->name == name && e->isAlive(); }));
}

void NotificationCenter::post(const Notification& notification)
{
    std::vector<std::shared_ptr<Entry>> receivers;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& e : m_entries)
            if (e->name == notification.name)
                receivers.push_back(e);
    }
    // Observers may add or remove observers while they run; each is checked again
    // right before its call.
    for (const auto& e : receivers)
        if (e->isAlive())
            e->handler(notification);
}

void NotificationCenter::postOnMainThread(Notification notification)
{
    MainThread::post([this, notification = std::move(notification)] { post(notification); });
}
