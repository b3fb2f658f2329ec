// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One worker thread that runs its jobs one at a time, first in, first out.
// It stands in for an actor: work isolated to it never runs in parallel.
class SerialExecutor {
public:
    explicit SerialExecutor(QString name);
    ~SerialExecutor();
    SerialExecutor(const SerialExecutor&) = delete;
    SerialExecutor& operator=(const SerialExecutor&) = delete;

    void submit(std::function<void()> job);
    // Drops the jobs that have not started, lets the running one finish and ends
    // the thread. Later submissions are ignored. Safe to call more than once.
    void shutdown();
    bool isCurrent() const;
    const QString& name() const { return m_name; }

private:
    void run();

    QString m_name;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::thread::id m_threadId;
    std::thread m_thread;
};
