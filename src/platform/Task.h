// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SerialExecutor.h"

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

// A handle to one piece of background work with cooperative cancellation.
// Cancelling sets the stop source at once, from any thread; the work checks its
// stop token before every file. Copies of a handle name the same task.
class TaskHandle {
public:
    using Work = std::function<void(std::stop_token)>;

    TaskHandle() = default;

    // Runs `work` on `executor` (an actor).
    static TaskHandle start(SerialExecutor& executor, Work work);
    // Runs `work` on a thread of our background pool, bound to no actor.
    static TaskHandle detached(Work work);

    bool isValid() const { return static_cast<bool>(m_state); }
    void cancel() const;
    bool isCancelled() const;
    bool isFinished() const;
    std::stop_token stopToken() const;

    // For tests and shutdown only; never called on the main thread by the application.
    bool waitFinished(std::chrono::milliseconds timeout) const;

    bool operator==(const TaskHandle& other) const { return m_state == other.m_state; }

    // Requests the stop of every task that has not finished (at shutdown).
    static void cancelAll();

    struct State; // shared by the copies of a handle

private:
    static TaskHandle make(Work work, std::function<void(std::function<void()>)> launch);
    std::shared_ptr<State> m_state;
};

// Sleeps on the system clock; answers false when cancelled before the time passed.
bool cancellableSleep(std::stop_token stop, std::chrono::steady_clock::duration duration);
