// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

// Monotonic time and cancellable sleeps. Code that paces or debounces takes a
// Clock so that tests can drive time by hand instead of sleeping.
class Clock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // Blocks until `deadline`; answers false when `stop` was requested first.
    virtual bool sleepUntil(TimePoint deadline, std::stop_token stop) = 0;

    bool sleepFor(Duration duration, std::stop_token stop = {}) { return sleepUntil(now() + duration, std::move(stop)); }
    qint64 nowMilliseconds() const;

    static Clock& system();
};

class SystemClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    bool sleepUntil(TimePoint deadline, std::stop_token stop) override;
};

// Time moves only when a test calls advance(); sleepers wake when it passes
// their deadline.
class ManualClock final : public Clock {
public:
    TimePoint now() const override;
    bool sleepUntil(TimePoint deadline, std::stop_token stop) override;
    void advance(Duration duration);
    int sleeperCount() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable_any m_changed;
    TimePoint m_now {};
    int m_sleepers = 0;
};
