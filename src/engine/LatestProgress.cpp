// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/LatestProgress.h"

#include "core/AppNotification+Typed.h"
#include "platform/MainThread.h"

#include <mutex>

struct LatestProgress::State {
    explicit State(const QString& label)
        : label(label)
    {
    }
    const QString label;
    std::mutex mutex;
    ProgressData latest;
    bool posted = false;
};

LatestProgress::LatestProgress(const QString& label)
    : m_state(std::make_shared<State>(label))
{
}

void LatestProgress::report(const ProgressData& data) const
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->latest = data;
        if (m_state->posted)
            return;
        m_state->posted = true;
    }
    // The task outlives the run when the main thread is busy: it holds the state.
    MainThread::post([state = m_state] {
        ProgressData shown;
        {
            std::lock_guard lock(state->mutex);
            shown = state->latest;
            state->posted = false;
        }
        AppNotification::UpdateProgressView::post(shown.progressCount, shown.totalCount, state->label, true);
    });
}
