// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers that share the wakes of a host which runs anyway: the dashboard,
// whose frame timer wakes for its own refresh every 30 frames. While the host
// runs, a periodic timer of a second or more does not wake the program when
// it falls due: it runs at the host's next runDue(), which comes before its
// next period would begin. So the receiver link's refresh and the
// dashboard's refresh make one wake a second, not two, and the refresh
// decodes what came just before the dashboard shows it. Shorter timers, and
// every timer while no host runs, fire by themselves on the base timers;
// each period still runs its callback exactly once.

#include <cstdint>
#include <map>

#include "core/base/clock.h"
#include "core/base/timers.h"

namespace wp2 {

class SharedWakeTimers final : public Timers {
public:
    static constexpr std::uint32_t kSharedFromMs = 1000;

    // base fires the timers by themselves; clock gives their due times. Both
    // must outlive this object.
    SharedWakeTimers(Timers& base, const Clock& clock) : base_(base), clock_(clock) {}
    ~SharedWakeTimers() override;
    SharedWakeTimers(const SharedWakeTimers&) = delete;
    SharedWakeTimers& operator=(const SharedWakeTimers&) = delete;

    int start(std::uint32_t intervalMs, Callback callback) override;
    void stop(int id) override;
    void processPending() override { base_.processPending(); }

    // While the host runs it calls runDue() at least once in every
    // kSharedFromMs; if it misses one, the timer fires by itself just before
    // its next period.
    void setHostRunning(bool running);
    // Runs the shared timers that have fallen due.
    void runDue();

private:
    struct Entry {
        std::uint32_t interval;
        std::uint32_t due;  // tick count
        Callback callback;
        int baseId = 0;
    };
    bool shared(const Entry& e) const { return hostRunning_ && e.interval >= kSharedFromMs; }
    // Starts the base timer for the moment the entry must fire by itself.
    void arm(int id, Entry& e);
    void fire(int id);

    Timers& base_;
    const Clock& clock_;
    std::map<int, Entry> timers_;
    int nextId_ = 1;
    bool hostRunning_ = false;
};

}  // namespace wp2
