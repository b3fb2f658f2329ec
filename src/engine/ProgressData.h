// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

// How far a long run has come.
struct ProgressData {
    // Reports of a run come at most this often.
    static constexpr qint64 progressInterval = 1000; // milliseconds

    qint64 progressCount = 0;
    qint64 totalCount = 0;
};

// Called from the thread of the run.
using ProgressCallback = std::function<void(const ProgressData&)>;
