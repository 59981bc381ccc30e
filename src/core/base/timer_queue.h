// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers run from a Clock by whoever drives the queue. processPending() fires
// each due timer once (a timer that fell behind fires once, not once for every
// period it missed, like a window timer); runFor() sleeps through the clock
// from one due time to the next, so on a ManualClock it moves simulated time.

#include <map>

#include "core/base/clock.h"
#include "core/base/timers.h"

namespace wp2 {

class TimerQueue final : public Timers {
public:
    explicit TimerQueue(Clock& clock) : clock_(clock) {}

    int start(std::uint32_t intervalMs, Callback callback) override;
    void stop(int id) override;
    void processPending() override;

    // Runs the timers for ms milliseconds of the clock's time.
    void runFor(std::uint32_t ms);
    bool isActive(int id) const { return timers_.count(id) != 0; }
    std::size_t activeCount() const { return timers_.size(); }
    Clock& clock() { return clock_; }

private:
    struct Entry {
        std::uint32_t interval;
        std::uint32_t due;  // tick count
        Callback callback;
    };
    // Milliseconds from now until the earliest due time (0 when one is due);
    // false when no timer runs.
    bool nextDue(std::uint32_t& wait) const;

    Clock& clock_;
    std::map<int, Entry> timers_;
    int nextId_ = 1;
};

}  // namespace wp2
