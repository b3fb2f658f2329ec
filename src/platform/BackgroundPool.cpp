// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BackgroundPool.h"

#include "platform/GlobalActors.h"

#include <QThreadPool>

namespace BackgroundPool {

namespace {
QThreadPool& pool()
{
    // Made once and never destroyed: a job may still end while static objects are
    // destroyed at exit. Its threads are not bounded by the CPU count, because a
    // job may wait for the main thread and must not hold back the next one.
    static QThreadPool* instance = [] {
        auto* threads = new QThreadPool;
        threads->setObjectName(QStringLiteral("BackgroundPool"));
        threads->setMaxThreadCount(64);
        threads->setExpiryTimeout(30000);
        return threads;
    }();
    return *instance;
}
} // namespace

void start(std::function<void()> job)
{
    GlobalActors::watchApplication(); // its shutdown waits for these jobs
    pool().start(std::move(job));
}

void waitForDone()
{
    pool().waitForDone();
}

} // namespace BackgroundPool
