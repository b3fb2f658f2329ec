// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SerialExecutor.h"

#include <pthread.h>

SerialExecutor::SerialExecutor(QString name)
    : m_name(std::move(name))
{
    m_thread = std::thread([this] { run(); });
    m_threadId = m_thread.get_id();
    pthread_setname_np(m_thread.native_handle(), m_name.left(15).toUtf8().constData());
}

SerialExecutor::~SerialExecutor()
{
    shutdown();
}

void SerialExecutor::shutdown()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        dropped.swap(m_jobs);
    }
    m_wake.notify_all();
    // A job's captures are released here, outside the lock (they may hold promises).
    dropped.clear();
    if (m_thread.joinable() && !isCurrent())
        m_thread.join();
}

void SerialExecutor::submit(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

bool SerialExecutor::isCurrent() const
{
    return std::this_thread::get_id() == m_threadId;
}

void SerialExecutor::run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping || m_jobs.empty())
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}
