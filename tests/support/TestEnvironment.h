// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Log.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <mutex>

// Every test process runs with HOME and the XDG folders in a temporary folder,
// so no test reads or writes the user's real files or settings.
namespace TestEnvironment {

void isolateHome();
QString homePath();

// Runs the event loop until `condition` holds or the timeout passes. The
// default only ends a wait that would never end: a loaded machine or one CPU
// may take many seconds for what takes milliseconds here.
bool processEventsUntil(const std::function<bool()>& condition,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(60000));
// Runs the event loop until every posted and zero-timer event has been handled.
void drainEvents();

} // namespace TestEnvironment

// Collects log lines for as long as it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    bool contains(const QString& line) const;
    int indexOf(const QString& line) const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
