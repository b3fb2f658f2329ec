// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Hops onto the thread of the application object (the main thread).
namespace MainThread {

bool isCurrent();

// Runs `work` later on the main thread, after the caller returns, even when the
// caller is on the main thread already.
void post(std::function<void()> work);

// Runs `work` on the main thread and waits for it. Only for workers: on the main
// thread it runs `work` directly. The main thread never waits for a worker.
// Answers false, without running `work`, when the application is shutting down.
bool runBlocking(const std::function<void()>& work);

} // namespace MainThread
