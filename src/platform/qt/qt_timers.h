// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timers on the Qt event loop of the thread that creates them (the
// user-interface thread): each timer is a QTimer, kept for reuse once stopped.

#include <map>
#include <memory>
#include <vector>

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
    struct Running {
        QTimer* timer;
        Callback callback;
    };
    void fire(QTimer* timer);

    std::unique_ptr<QObject> owner_;  // parent of every timer, stopped ones included
    std::map<int, Running> timers_;
    std::map<QTimer*, int> running_;  // the id each running timer serves
    std::vector<QTimer*> idle_;       // stopped timers, kept for the next start()
    int nextId_ = 1;
};

}  // namespace wp2
