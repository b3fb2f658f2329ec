// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace MainThread {

bool isCurrent()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void post(std::function<void()> work)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

bool runBlocking(const std::function<void()>& work)
{
    if (isCurrent()) {
        work();
        return true;
    }
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    // Not a blocking queued call: while the application object is being destroyed
    // the main thread waits for pooled workers, and a worker waiting for the main
    // thread would never return. The waiter gives up then, and a hop that was given
    // up never runs its work (which may refer to the waiter's stack).
    struct State {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
    };
    auto state = std::make_shared<State>();
    QMetaObject::invokeMethod(app, [state, &work] {
        std::lock_guard lock(state->mutex);
        if (state->abandoned)
            return;
        work();
        state->done = true;
        state->finished.notify_all();
    }, Qt::QueuedConnection);
    std::unique_lock lock(state->mutex);
    while (!state->finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return state->done; })) {
        if (QCoreApplication::closingDown() || !QCoreApplication::instance()) {
            state->abandoned = true;
            return false;
        }
    }
    return true;
}

} // namespace MainThread
