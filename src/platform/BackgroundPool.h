// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// The threads of our own for work bound to no actor. Such work may wait for the
// main thread, so it never runs on Qt's global pool: Qt's painter fills on that
// pool from the main thread and waits for it, and with few CPUs both would wait
// for good. A job never waits for another job of this pool.
namespace BackgroundPool {

void start(std::function<void()> job);

// Waits until every started job has ended (at shutdown, after the tasks were
// cancelled; a job that waits for the main thread gives up once it closes down).
void waitForDone();

} // namespace BackgroundPool
