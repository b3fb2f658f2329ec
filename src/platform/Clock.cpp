// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <QtGlobal>

qint64 Clock::nowMilliseconds() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch()).count();
}

Clock& Clock::system()
{
    static SystemClock clock;
    return clock;
}

bool SystemClock::sleepUntil(TimePoint deadline, std::stop_token stop)
{
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    // wait_until with a stop token returns early when a stop is requested.
    wake.wait_until(lock, stop, deadline, [] { return false; });
    return !stop.stop_requested();
}

Clock::TimePoint ManualClock::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

bool ManualClock::sleepUntil(TimePoint deadline, std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    ++m_sleepers;
    m_changed.notify_all();
    const bool reached = m_changed.wait(lock, stop, [&] { return m_now >= deadline; });
    --m_sleepers;
    m_changed.notify_all();
    return reached && !stop.stop_requested();
}

void ManualClock::advance(Duration duration)
{
    {
        std::lock_guard lock(m_mutex);
        m_now += duration;
    }
    m_changed.notify_all();
}

int ManualClock::sleeperCount() const
{
    std::lock_guard lock(m_mutex);
    return m_sleepers;
}
