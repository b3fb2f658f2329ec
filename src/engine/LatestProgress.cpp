// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/LatestProgress.h"

#include "core/AppNotification+Typed.h"
#include "platform/MainThread.h"

#include <QTimer>

#include <mutex>
#include <optional>

namespace {
// No screen shows more: reports closer together are shown as their latest.
constexpr int FRAME_MILLISECONDS = 16;
}

struct LatestProgress::State : std::enable_shared_from_this<State> {
    explicit State(const QString& label)
        : label(label)
    {
    }
    const QString label;
    std::mutex mutex;
    ProgressData latest;
    std::optional<ProgressData> lastShown;
    // A task or a frame is pending on the main thread: reports only update `latest`.
    bool pending = false;
    bool ended = false;

    // On the main thread: the latest report, if new, then a frame's wait
    // before the next; with nothing new the next report posts again.
    void show()
    {
        ProgressData shown;
        {
            std::lock_guard lock(mutex);
            if (ended)
                return;
            if (lastShown == latest) {
                pending = false;
                return;
            }
            shown = latest;
            lastShown = latest;
        }
        AppNotification::UpdateProgressView::post(shown.progressCount, shown.totalCount, label, true);
        QTimer::singleShot(FRAME_MILLISECONDS, [self = shared_from_this()] { self->show(); });
    }
};

LatestProgress::LatestProgress(const QString& label)
    : m_state(std::make_shared<State>(label))
{
}

LatestProgress::~LatestProgress()
{
    std::lock_guard lock(m_state->mutex);
    m_state->ended = true;
}

void LatestProgress::report(const ProgressData& data) const
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->latest = data;
        if (m_state->pending)
            return;
        m_state->pending = true;
    }
    // The task outlives the run when the main thread is busy: it holds the state.
    MainThread::post([state = m_state] { state->show(); });
}
