// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_timers.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <utility>

namespace wp2 {

QtTimers::QtTimers() : owner_(std::make_unique<QObject>()) {}

QtTimers::~QtTimers() = default;

int QtTimers::start(std::uint32_t intervalMs, Callback callback) {
    const int id = nextId_++;
    // A stopped timer is used again: some timers are re-armed every second
    // (a deadline moved), and a new QObject with its connection each time
    // costs more than the timer itself.
    QTimer* timer = nullptr;
    if (idle_.empty()) {
        timer = new QTimer(owner_.get());
        QObject::connect(timer, &QTimer::timeout, [this, timer] { fire(timer); });
    } else {
        timer = idle_.back();
        idle_.pop_back();
    }
    // None of these timers (silence checks, reconnects, the receiver test's
    // view) needs precision: coarse timers are aligned with the program's
    // other timers, whole seconds with every program's, and share wakeups.
    timer->setTimerType(intervalMs % 1000 == 0 ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
    timer->start(static_cast<int>(intervalMs));
    timers_[id] = {timer, std::move(callback)};
    running_[timer] = id;
    return id;
}

void QtTimers::stop(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    QTimer* timer = it->second.timer;
    timer->stop();
    running_.erase(timer);
    timers_.erase(it);
    idle_.push_back(timer);
}

void QtTimers::fire(QTimer* timer) {
    const auto owner = running_.find(timer);
    if (owner == running_.end()) {
        return;
    }
    // A copy: the callback may stop its own timer, or start others.
    Callback callback = timers_.at(owner->second).callback;
    callback();
}

void QtTimers::processPending() {
    QCoreApplication::processEvents();
}

}  // namespace wp2
