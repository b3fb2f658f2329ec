// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <functional>
#include <mutex>
#include <optional>

// Keeps the requests to one service apart: one at a time, each started at
// least `interval` after the one before has ended. The end is what counts: a
// request reaches the server some time after it is started, but always before
// its answer comes back, so the server sees them at least `interval` apart.
class RequestSpacing {
public:
    RequestSpacing(Clock& clock, Clock::Duration interval);

    // Waits for the turn; false when `isAborted` answered true first.
    bool acquire(const std::function<bool()>& isAborted);
    // The request that got its turn has ended, answered or not.
    void release();

    // Holds a turn for as long as it lives.
    class Turn {
    public:
        Turn(RequestSpacing& spacing, const std::function<bool()>& isAborted)
            : m_spacing(spacing)
            , m_granted(spacing.acquire(isAborted))
        {
        }
        ~Turn()
        {
            if (m_granted)
                m_spacing.release();
        }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        bool granted() const { return m_granted; }

    private:
        RequestSpacing& m_spacing;
        bool m_granted;
    };

private:
    Clock& m_clock;
    Clock::Duration m_interval;
    std::mutex m_mutex;
    bool m_busy = false;
    std::optional<Clock::TimePoint> m_lastEnd;
};
