// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notification.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Observers by name. An observer belongs to a QObject: once that object is
// destroyed the observer is dropped and never called again.
//
// Three ways to deliver:
//   post()              immediate, on the caller's thread, before it returns;
//   postOnMainThread()  later, on the main thread, after the caller returns;
//   NotificationQueue   when the main event loop is idle, coalesced by name.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // `owner` may be null for observers that live as long as the process.
    void addObserver(QObject* owner, const QString& name, Handler handler);
    void removeObserver(QObject* owner);
    void removeObserver(QObject* owner, const QString& name);
    int observerCount(const QString& name) const;

    void post(const Notification& notification);
    void postOnMainThread(Notification notification);

private:
    struct Entry {
        QPointer<QObject> owner;
        bool hasOwner = false;
        QString name;
        Handler handler;
        std::atomic<bool> active { true };
        bool isAlive() const { return active.load() && (!hasOwner || !owner.isNull()); }
    };

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Entry>> m_entries;
};
