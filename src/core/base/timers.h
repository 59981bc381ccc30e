// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers whose callbacks run on the thread that drives them (the
// user-interface thread), as window timers do. The Qt layer supplies QTimer
// based ones; TimerQueue runs them from any Clock, so tests drive them on
// simulated time.

#include <cstdint>
#include <functional>

namespace wp2 {

class Timers {
public:
    using Callback = std::function<void()>;

    virtual ~Timers() = default;
    // Starts a periodic timer; the id is never 0.
    virtual int start(std::uint32_t intervalMs, Callback callback) = 0;
    // Stops a timer; 0 and unknown ids are ignored. A callback may stop its
    // own timer.
    virtual void stop(int id) = 0;
    // Takes and dispatches what is pending for the calling thread now: due
    // timers and, with a window system, its queued events.
    virtual void processPending() = 0;
};

}  // namespace wp2
