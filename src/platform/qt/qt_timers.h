// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers on the Qt event loop of the thread that creates them (the
// user-interface thread): each timer is a QTimer.

#include <map>
#include <memory>

#include "core/base/timers.h"

class QObject;
class QTimer;

namespace wp2 {

class QtTimers final : public Timers {
public:
    QtTimers();
    ~QtTimers() override;
    QtTimers(const QtTimers&) = delete;
    QtTimers& operator=(const QtTimers&) = delete;

    int start(std::uint32_t intervalMs, Callback callback) override;
    void stop(int id) override;
    // Dispatches the thread's pending events, timer events included.
    void processPending() override;

private:
    std::unique_ptr<QObject> owner_;  // parent of every timer, stopped ones included
    std::map<int, QTimer*> timers_;
    int nextId_ = 1;
};

}  // namespace wp2
