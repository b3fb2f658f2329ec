// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RequestSpacing.h"

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono_literals;

namespace {

// Time moves only when the code under test sleeps, straight to its deadline,
// or when the test sets it; `onSleep` lets the test act while a request waits.
class JumpingClock final : public Clock {
public:
    TimePoint now() const override { return m_now; }
    bool sleepUntil(TimePoint deadline, std::stop_token) override
    {
        ++sleeps;
        m_now = std::max(m_now, deadline);
        if (onSleep)
            onSleep();
        return true;
    }
    void set(Duration sinceStart) { m_now = TimePoint {} + sinceStart; }
    Duration sinceStart() const { return m_now - TimePoint {}; }

    int sleeps = 0;
    std::function<void()> onSleep;

private:
    TimePoint m_now {};
};

const auto never = [] { return false; };

TEST(RequestSpacingTest, TheNextRequestStartsAnIntervalAfterThePreviousEnded)
{
    JumpingClock clock;
    RequestSpacing spacing(clock, 1s);
    ASSERT_TRUE(spacing.acquire(never));
    EXPECT_EQ(clock.sleeps, 0) << "the first request goes at once";
    clock.set(5s); // the answer took five seconds
    spacing.release();
    ASSERT_TRUE(spacing.acquire(never));
    EXPECT_EQ(clock.sinceStart(), 6s) << "counted from the end of the first, not from its start";
    spacing.release();

    clock.set(9s); // long after: no wait
    const int sleeps = clock.sleeps;
    ASSERT_TRUE(spacing.acquire(never));
    EXPECT_EQ(clock.sleeps, sleeps);
    spacing.release();
}

TEST(RequestSpacingTest, OneRequestAtATime)
{
    JumpingClock clock;
    RequestSpacing spacing(clock, 1s);
    ASSERT_TRUE(spacing.acquire(never));
    // A second request waits while the first is in flight; the first ends at 3 s.
    bool released = false;
    clock.onSleep = [&] {
        if (!released && clock.sinceStart() >= 3s) {
            released = true;
            spacing.release();
        }
    };
    ASSERT_TRUE(spacing.acquire(never));
    EXPECT_TRUE(released);
    EXPECT_GE(clock.sinceStart(), 4s);
    spacing.release();
}

TEST(RequestSpacingTest, AWaitingRequestCanBeAborted)
{
    JumpingClock clock;
    RequestSpacing spacing(clock, 1s);
    ASSERT_TRUE(spacing.acquire(never));
    EXPECT_FALSE(spacing.acquire([] { return true; })) << "the first still holds its turn";
    spacing.release();
    {
        const RequestSpacing::Turn turn(spacing, never);
        EXPECT_TRUE(turn.granted());
    }
    clock.set(clock.sinceStart() + 1s);
    EXPECT_TRUE(RequestSpacing::Turn(spacing, [] { return true; }).granted()) << "free again once the turn ended";
}

} // namespace
