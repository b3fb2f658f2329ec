// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Stopwatch.h"

#include "platform/Log.h"

Stopwatch::Stopwatch(Clock& clock)
    : m_clock(&clock)
    , m_startTime(clock.nowMilliseconds())
{
}

qint64 Stopwatch::elapsedTime() const
{
    return m_clock->nowMilliseconds() - m_startTime;
}

bool Stopwatch::hasElapsed(qint64 milliseconds)
{
    if (elapsedTime() < milliseconds)
        return false;
    m_startTime = m_clock->nowMilliseconds();
    return true;
}

bool Stopwatch::hasElapsed(std::chrono::nanoseconds duration)
{
    return hasElapsed(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
}

void Stopwatch::logElapsedTime(const QString& label) const
{
    Log::debug(Log::Category::general, "==================[ %{public}s took %ld milliseconds. ]==================",
        label, elapsedTime());
}

void Stopwatch::rateLimit(qint64 threshold, std::stop_token stop)
{
    const qint64 remaining = threshold - elapsedTime();
    if (remaining < 1)
        return;
    m_clock->sleepFor(std::chrono::milliseconds(remaining), std::move(stop));
    m_startTime = m_clock->nowMilliseconds();
}
