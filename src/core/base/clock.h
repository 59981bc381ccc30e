// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Time as the core sees it. The platform supplies the system clock; tests
// supply a clock they move by hand.

#include <cstdint>
#include <ctime>

namespace wp2 {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
    virtual std::uint32_t tickCount() const = 0;
    // Calendar time (seconds since the epoch, UTC based).
    virtual std::time_t now() const = 0;
    // Sleeps the calling thread.
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// Signed milliseconds from tick count `now` to `due`: the 32-bit count
// wraps, so ticks are compared through their difference, never directly.
inline std::int32_t ticksUntil(std::uint32_t due, std::uint32_t now) {
    return static_cast<std::int32_t>(due - now);
}

// A clock that only moves when told to; sleeping advances it.
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::time_t start = 0, std::uint32_t tick = 0)
        : now_(start), tick_(tick) {}
    std::uint32_t tickCount() const override { return tick_; }
    std::time_t now() const override { return now_; }
    void sleepMs(std::uint32_t ms) override { advanceMs(ms); }

    void advanceMs(std::uint32_t ms) {
        tick_ += ms;
        subSecondMs_ += ms;
        now_ += subSecondMs_ / 1000;
        subSecondMs_ %= 1000;
    }
    void setNow(std::time_t t) { now_ = t; }

private:
    std::time_t now_;
    std::uint32_t tick_;
    std::uint32_t subSecondMs_ = 0;
};

}  // namespace wp2
