// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ProgressData.h"

#include <QString>

#include <memory>

// Hands a run's progress to the overlay: every report is kept, the main thread
// shows the latest one at most once a frame, and a new task is posted only
// once the main thread has nothing new to show. A run that reports every file
// then neither queues nor wakes the main thread per file.
class LatestProgress {
public:
    explicit LatestProgress(const QString& label);
    // The run is over: what it reported and was not shown yet is dropped, so
    // that no late frame writes into the overlay of the next long task.
    ~LatestProgress();
    LatestProgress(const LatestProgress&) = delete;
    LatestProgress& operator=(const LatestProgress&) = delete;

    // From any thread; returns at once.
    void report(const ProgressData& data) const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
