// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DelayedUpdateWorker.h"

#include "core/AppNotification.h"
#include "platform/Clock.h"
#include "platform/MainThread.h"
#include "platform/Task.h"

#include <atomic>
#include <chrono>

namespace DelayedUpdateWorker {

namespace {
constexpr auto DELAY = std::chrono::milliseconds(700);

TaskHandle currentTask;
std::atomic<Clock*> clockOverride { nullptr };

Clock& clock()
{
    Clock* c = clockOverride.load();
    return c ? *c : Clock::system();
}

void executeDelayedUpdateTask(bool postApplyChanges)
{
    currentTask = TaskHandle();
    const QString function = QStringLiteral("executeDelayedUpdateTask(_:)");
    AppNotification::post(NotificationName::transformButtonSave, {}, std::nullopt, function);
    if (postApplyChanges)
        AppNotification::post(NotificationName::applyChanges, {}, std::nullopt, function);
}
} // namespace

void scheduleDelayedUpdate(bool postApplyChanges)
{
    if (currentTask.isValid())
        return;
    Clock* sleepClock = &clock();
    currentTask = TaskHandle::detached([postApplyChanges, sleepClock](std::stop_token stop) {
        // A cancelled sleep ends at once and goes on as if the time had passed:
        // the edit is saved all the same.
        sleepClock->sleepFor(DELAY, stop);
        MainThread::post([postApplyChanges] { executeDelayedUpdateTask(postApplyChanges); });
    });
}

bool isPending()
{
    return currentTask.isValid();
}

void setClock(Clock* c)
{
    clockOverride.store(c);
}

} // namespace DelayedUpdateWorker
