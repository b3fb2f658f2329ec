// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GlobalActors.h"

#include "platform/BackgroundPool.h"
#include "platform/HttpGet.h"
#include "platform/Task.h"

#include <QCoreApplication>

#include <atomic>
#include <mutex>
#include <vector>

namespace GlobalActors {

namespace {
std::mutex createdMutex;
std::vector<SerialExecutor*> created;
bool watchesApplication = false;
std::atomic<bool> shuttingDown = false;

// From here on, nothing in the background waits for the network or a clock.
void beginShutdown()
{
    shuttingDown = true;
    HttpGet::abortAll();
}

void watchApplicationLocked()
{
    if (!watchesApplication) {
        if (auto* app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] { beginShutdown(); });
            QObject::connect(app, &QObject::destroyed, [] { shutdown(); });
            watchesApplication = true;
        }
    }
}

// The executors stop when the application object is gone and before any static
// object is destroyed: a job still running at exit could otherwise use what the
// exit handlers have already destroyed.
SerialExecutor* make(const char* name)
{
    auto* executor = new SerialExecutor(QString::fromLatin1(name));
    std::lock_guard lock(createdMutex);
    watchApplicationLocked();
    created.push_back(executor);
    return executor;
}
} // namespace

SerialExecutor& transformation()
{
    static SerialExecutor* executor = make("Transformation");
    return *executor;
}

SerialExecutor& validation()
{
    static SerialExecutor* executor = make("Validation");
    return *executor;
}

SerialExecutor& transformationQueue()
{
    static SerialExecutor* executor = make("TransformQueue");
    return *executor;
}

SerialExecutor& fileAttributes()
{
    static SerialExecutor* executor = make("FileAttributes");
    return *executor;
}

void watchApplication()
{
    std::lock_guard lock(createdMutex);
    watchApplicationLocked();
}

bool isShuttingDown()
{
    return shuttingDown;
}

void shutdown()
{
    beginShutdown();
    TaskHandle::cancelAll();
    std::vector<SerialExecutor*> executors;
    {
        std::lock_guard lock(createdMutex);
        executors = created;
    }
    for (SerialExecutor* executor : executors)
        executor->shutdown();
    // The pool's jobs were cancelled above; one waiting for the main thread gives up now.
    BackgroundPool::waitForDone();
}

} // namespace GlobalActors
