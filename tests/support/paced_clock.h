#pragma once
// Simulated time that still lets real threads work: every sleep moves the
// simulated clock by the full amount but sleeps a small fraction of it in
// real time, so a serial reader thread can deliver what a test's receiver
// sent meanwhile. For slow procedures (a port scan waits seconds per port).

#include <chrono>
#include <thread>

#include "core/base/clock.h"

namespace wp2::test {

class PacedClock final : public Clock {
public:
    // `divisor`: real sleeping time = simulated time / divisor.
    explicit PacedClock(std::time_t start, std::uint32_t divisor = 25)
        : clock_(start), divisor_(divisor) {}

    std::uint32_t tickCount() const override { return clock_.tickCount(); }
    std::time_t now() const override { return clock_.now(); }
    void sleepMs(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::microseconds(1000ull * ms / divisor_));
        clock_.advanceMs(ms);
    }

private:
    ManualClock clock_;
    std::uint32_t divisor_;
};

}  // namespace wp2::test
