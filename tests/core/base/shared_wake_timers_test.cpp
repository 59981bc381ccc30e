// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/shared_wake_timers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/timer_queue.h"

namespace wp2 {
namespace {

// A host (the dashboard) that wakes every 909 ms for its own refresh and runs
// the shared timers then; the base queue counts the wakes the timers make by
// themselves.
class SharedWakeTimersTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kStart = 0xFFFFF000u;  // the tick count wraps
    ManualClock clock{1000000, kStart};
    TimerQueue base{clock};
    SharedWakeTimers timers{base, clock};
    std::vector<std::uint32_t> fired;  // ms since the start
    int ownWakes = 0;

    void record(std::uint32_t interval) {
        timers.start(interval, [this] { fired.push_back(clock.tickCount() - kStart); });
    }
    // Runs ms of time; the host calls runDue() every hostEvery ms (0: never).
    void run(std::uint32_t ms, std::uint32_t hostEvery) {
        for (std::uint32_t t = 1; t <= ms; ++t) {
            clock.advanceMs(1);
            const std::size_t before = fired.size();
            base.processPending();
            ownWakes += fired.size() != before;
            if (hostEvery != 0 && (clock.tickCount() - kStart) % hostEvery == 0) {
                timers.runDue();
            }
        }
    }
};

TEST_F(SharedWakeTimersTest, WhileTheHostRunsASecondTimerRunsAtItsNextWakeOncePerPeriod) {
    timers.setHostRunning(true);
    record(1000);
    run(5000, 909);
    // The first host wake at or after each whole second.
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{1818, 2727, 3636, 4545}));
    EXPECT_EQ(ownWakes, 0);

    // The host stops (a dialog) as a period falls due: it runs at once, then
    // each on time by itself.
    timers.setHostRunning(false);
    run(2200, 0);
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{1818, 2727, 3636, 4545, 5001, 6000, 7000}));
    EXPECT_EQ(ownWakes, 3);
}

TEST_F(SharedWakeTimersTest, ShortTimersAndAMissingHostDoNotLoseAPeriod) {
    timers.setHostRunning(true);
    record(400);  // shorter than a host period: fires by itself
    run(1300, 909);
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{400, 800, 1200}));
    fired.clear();
    ownWakes = 0;
    record(1000);
    run(2500, 0);  // the host has stopped calling: just before each next period
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{1600, 2000, 2400, 2800, 3200, 3299, 3600}));
    EXPECT_EQ(ownWakes, 7);

    // A timer stopped from its own callback fires neither at the host's wake
    // nor by itself again.
    int once = 0, runs = 0;
    once = timers.start(1000, [&] {
        ++runs;
        timers.stop(once);
    });
    run(5000, 909);
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace wp2
