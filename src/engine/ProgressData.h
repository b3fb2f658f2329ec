// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>

// How far a long run has come.
struct ProgressData {
    // The transformation reports at most this often; the rename loop reports
    // each file once this much has passed since it began.
    static constexpr qint64 progressInterval = 1000; // milliseconds

    qint64 progressCount = 0;
    qint64 totalCount = 0;

    bool operator==(const ProgressData&) const = default;
};

// Called from the thread of the run.
using ProgressCallback = std::function<void(const ProgressData&)>;
