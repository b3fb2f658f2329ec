// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RequestSpacing.h"

namespace {
// How often a waiting request looks for its abort.
constexpr auto POLL = std::chrono::milliseconds(50);
} // namespace

RequestSpacing::RequestSpacing(Clock& clock, Clock::Duration interval)
    : m_clock(clock)
    , m_interval(interval)
{
}

bool RequestSpacing::acquire(const std::function<bool()>& isAborted)
{
    for (;;) {
        Clock::TimePoint wakeUp;
        {
            std::lock_guard lock(m_mutex);
            const Clock::TimePoint now = m_clock.now();
            if (!m_busy && (!m_lastEnd || now >= *m_lastEnd + m_interval)) {
                m_busy = true;
                return true;
            }
            wakeUp = now + POLL;
            if (!m_busy)
                wakeUp = std::min(wakeUp, *m_lastEnd + m_interval);
        }
        if (isAborted && isAborted())
            return false;
        m_clock.sleepUntil(wakeUp, {});
    }
}

void RequestSpacing::release()
{
    std::lock_guard lock(m_mutex);
    m_busy = false;
    m_lastEnd = m_clock.now();
}
