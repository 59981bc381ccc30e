// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/timer_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wp2 {
namespace {

class TimerQueueTest : public ::testing::Test {
protected:
    ManualClock clock{1000000, 0xFFFFFC00u};  // the tick count wraps during the tests
    TimerQueue timers{clock};
    std::vector<std::string> log;

    int record(std::uint32_t interval, const std::string& name) {
        return timers.start(interval, [this, name] {
            log.push_back(name + "@" + std::to_string(clock.tickCount() - 0xFFFFFC00u));
        });
    }
};

TEST_F(TimerQueueTest, PeriodicTimersFireInTimeOrderAcrossTheTickWrap) {
    record(1000, "a");
    record(300, "b");
    timers.runFor(2500);
    EXPECT_EQ(log, (std::vector<std::string>{"b@300", "b@600", "b@900", "a@1000", "b@1200",
                                             "b@1500", "b@1800", "a@2000", "b@2100", "b@2400"}));
    EXPECT_EQ(clock.tickCount() - 0xFFFFFC00u, 2500u);
    EXPECT_EQ(clock.now(), 1000002);
}

TEST_F(TimerQueueTest, CallbacksMayStopAndStartTimers) {
    int self = 0;
    int other = record(500, "other");
    int fired = 0;
    self = timers.start(500, [&] {
        ++fired;
        timers.stop(self);   // one-shot by stopping itself
        timers.stop(other);  // due at the same moment, must not fire any more
        record(200, "new");
    });
    timers.runFor(1000);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timers.isActive(self));
    EXPECT_FALSE(timers.isActive(other));
    // "other" was started first, so it fired before being stopped; the new
    // timer runs from the moment it was started.
    EXPECT_EQ(log, (std::vector<std::string>{"other@500", "new@700", "new@900"}));
}

}  // namespace
}  // namespace wp2
