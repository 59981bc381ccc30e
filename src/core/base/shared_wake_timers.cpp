// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/shared_wake_timers.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace wp2 {

SharedWakeTimers::~SharedWakeTimers() {
    for (auto& [id, e] : timers_) {
        base_.stop(e.baseId);
    }
}

int SharedWakeTimers::start(std::uint32_t intervalMs, Callback callback) {
    intervalMs = std::max<std::uint32_t>(intervalMs, 1);
    const int id = nextId_++;
    if (nextId_ <= 0) {
        nextId_ = 1;
    }
    Entry& e = timers_[id] =
        Entry{intervalMs, clock_.tickCount() + intervalMs, std::move(callback)};
    arm(id, e);
    return id;
}

void SharedWakeTimers::stop(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) {
        base_.stop(it->second.baseId);
        timers_.erase(it);
    }
}

void SharedWakeTimers::setHostRunning(bool running) {
    if (running == hostRunning_) {
        return;
    }
    hostRunning_ = running;
    for (auto& [id, e] : timers_) {
        arm(id, e);
    }
}

void SharedWakeTimers::runDue() {
    const std::uint32_t now = clock_.tickCount();
    // Collected first: callbacks may start and stop timers.
    std::vector<int> due;
    for (const auto& [id, e] : timers_) {
        if (shared(e) && ticksUntil(e.due, now) <= 0) {
            due.push_back(id);
        }
    }
    for (const int id : due) {
        fire(id);
    }
}

void SharedWakeTimers::arm(int id, Entry& e) {
    base_.stop(e.baseId);
    // A shared timer waits for the host, but fires by itself just before its
    // next period if the host has not come.
    const std::uint32_t at = shared(e) ? e.due + e.interval - 1 : e.due;
    const std::int32_t wait = ticksUntil(at, clock_.tickCount());
    e.baseId = base_.start(static_cast<std::uint32_t>(std::max(wait, 1)), [this, id] { fire(id); });
}

void SharedWakeTimers::fire(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    Entry& e = it->second;
    const std::uint32_t now = clock_.tickCount();
    // The next period begins a whole interval after this one did, so the
    // periods keep their rate; a timer more than a period behind starts anew.
    e.due += e.interval;
    if (ticksUntil(e.due, now) <= 0) {
        e.due = now + e.interval;
    }
    arm(id, e);
    Callback callback = e.callback;  // the timer may be stopped inside
    callback();
}

}  // namespace wp2
