// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Task.h"

#include "platform/BackgroundPool.h"
#include "platform/Clock.h"

#include <condition_variable>
#include <mutex>
#include <vector>

struct TaskHandle::State {
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
};

namespace {
std::mutex liveTasksMutex;
std::vector<std::weak_ptr<TaskHandle::State>>& liveTasks()
{
    static auto* tasks = new std::vector<std::weak_ptr<TaskHandle::State>>;
    return *tasks;
}
} // namespace

void TaskHandle::cancelAll()
{
    std::lock_guard lock(liveTasksMutex);
    for (const auto& weak : liveTasks())
        if (const auto state = weak.lock())
            state->stop.request_stop();
}

TaskHandle TaskHandle::make(Work work, std::function<void(std::function<void()>)> launch)
{
    TaskHandle handle;
    handle.m_state = std::make_shared<State>();
    {
        std::lock_guard lock(liveTasksMutex);
        std::erase_if(liveTasks(), [](const auto& weak) { return weak.expired(); });
        liveTasks().push_back(handle.m_state);
    }
    auto state = handle.m_state;
    launch([state, work = std::move(work)] {
        if (!state->stop.stop_requested())
            work(state->stop.get_token());
        {
            std::lock_guard lock(state->mutex);
            state->finished = true;
        }
        state->finishedChanged.notify_all();
    });
    return handle;
}

TaskHandle TaskHandle::start(SerialExecutor& executor, Work work)
{
    return make(std::move(work), [&executor](std::function<void()> job) { executor.submit(std::move(job)); });
}

TaskHandle TaskHandle::detached(Work work)
{
    return make(std::move(work), [](std::function<void()> job) { BackgroundPool::start(std::move(job)); });
}

void TaskHandle::cancel() const
{
    if (m_state)
        m_state->stop.request_stop();
}

bool TaskHandle::isCancelled() const
{
    return m_state && m_state->stop.stop_requested();
}

bool TaskHandle::isFinished() const
{
    if (!m_state)
        return true;
    std::lock_guard lock(m_state->mutex);
    return m_state->finished;
}

std::stop_token TaskHandle::stopToken() const
{
    return m_state ? m_state->stop.get_token() : std::stop_token {};
}

bool TaskHandle::waitFinished(std::chrono::milliseconds timeout) const
{
    if (!m_state)
        return true;
    std::unique_lock lock(m_state->mutex);
    return m_state->finishedChanged.wait_for(lock, timeout, [&] { return m_state->finished; });
}

bool cancellableSleep(std::stop_token stop, std::chrono::steady_clock::duration duration)
{
    return Clock::system().sleepFor(duration, std::move(stop));
}
