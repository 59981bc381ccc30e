// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/timer_queue.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace wp2 {

int TimerQueue::start(std::uint32_t intervalMs, Callback callback) {
    intervalMs = std::max<std::uint32_t>(intervalMs, 1);  // a zero period would never let time pass
    int id = nextId_++;
    if (nextId_ <= 0) {
        nextId_ = 1;
    }
    timers_[id] = Entry{intervalMs, clock_.tickCount() + intervalMs, std::move(callback)};
    return id;
}

void TimerQueue::stop(int id) {
    timers_.erase(id);
}

void TimerQueue::processPending() {
    std::uint32_t now = clock_.tickCount();
    // Collect first: callbacks may start and stop timers, their own included.
    std::vector<std::pair<std::uint32_t, int>> due;
    for (const auto& [id, entry] : timers_) {
        if (ticksUntil(entry.due, now) <= 0) {
            due.emplace_back(entry.due, id);
        }
    }
    std::sort(due.begin(), due.end(), [now](const auto& a, const auto& b) {
        std::int32_t da = ticksUntil(a.first, now);
        std::int32_t db = ticksUntil(b.first, now);
        return da != db ? da < db : a.second < b.second;
    });
    for (const auto& [when, id] : due) {
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            continue;  // stopped by an earlier callback
        }
        it->second.due = now + it->second.interval;
        Callback callback = it->second.callback;  // the timer may be stopped inside
        callback();
    }
}

bool TimerQueue::nextDue(std::uint32_t& wait) const {
    if (timers_.empty()) {
        return false;
    }
    std::uint32_t now = clock_.tickCount();
    std::int32_t best = INT32_MAX;
    for (const auto& [id, entry] : timers_) {
        best = std::min(best, ticksUntil(entry.due, now));
    }
    wait = best < 0 ? 0u : static_cast<std::uint32_t>(best);
    return true;
}

void TimerQueue::runFor(std::uint32_t ms) {
    const std::uint32_t end = clock_.tickCount() + ms;
    for (;;) {
        std::int32_t left = ticksUntil(end, clock_.tickCount());
        if (left < 0) {
            return;
        }
        std::uint32_t wait = 0;
        if (!nextDue(wait) || wait > static_cast<std::uint32_t>(left)) {
            if (left > 0) {
                clock_.sleepMs(static_cast<std::uint32_t>(left));
            }
            processPending();
            return;
        }
        if (wait > 0) {
            clock_.sleepMs(wait);
        }
        processPending();
    }
}

}  // namespace wp2
