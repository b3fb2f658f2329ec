// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>

// A wait that the user sees counting down in the progress view and can abort.
class AppSleep {
public:
    // `isAborted` is polled while waiting; `second` is how long one counted
    // second lasts (tests shorten it).
    explicit AppSleep(std::function<bool()> isAborted,
        std::chrono::milliseconds second = std::chrono::seconds(1));

    // Throws TransformError::aborted() when aborted; the progress view is
    // hidden again whatever happens.
    void sleepWithProgressIndication(int seconds);

private:
    std::function<bool()> m_isAborted;
    std::chrono::milliseconds m_second;
};
