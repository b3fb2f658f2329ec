// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestEnvironment.h"
#include "core/DelayedUpdateWorker.h"
#include "platform/Clock.h"
#include "platform/NotificationQueue.h"

#include <chrono>

// The clock of every delayed rule update in this test program: edits in one
// test must not leave a delay running on real time into the next.
inline ManualClock& testClock()
{
    static ManualClock clock;
    return clock;
}

// Lets a pending delayed update run to its end (the worker thread must not be
// left sleeping when the program exits).
inline void finishDelayedUpdate()
{
    while (DelayedUpdateWorker::isPending()) {
        testClock().advance(std::chrono::seconds(1));
        TestEnvironment::drainEvents();
    }
    // Its save is delivered from the idle queue; let that happen now.
    TestEnvironment::processEventsUntil([] { return NotificationQueue::defaultQueue().pendingCount() == 0; });
}
