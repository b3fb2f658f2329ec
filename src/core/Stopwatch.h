// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <QString>

#include <chrono>
#include <stop_token>

// A millisecond stopwatch on the monotonic clock.
class Stopwatch {
public:
    explicit Stopwatch(Clock& clock = Clock::system());

    qint64 startTime() const { return m_startTime; }
    qint64 elapsedTime() const;

    // False while less than `milliseconds` have passed; otherwise restarts and answers true.
    bool hasElapsed(qint64 milliseconds);
    bool hasElapsed(std::chrono::nanoseconds duration);

    void logElapsedTime(const QString& label) const;

    // Sleeps until `threshold` milliseconds have passed since the start (cut short
    // by `stop`), then restarts; returns at once when they have passed already.
    void rateLimit(qint64 threshold, std::stop_token stop = {});

private:
    Clock* m_clock;
    qint64 m_startTime;
};
