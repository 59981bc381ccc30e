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
    int id = nextId_++;
    auto* timer = new QTimer(owner_.get());
    // None of these timers (silence checks, reconnects, the receiver test's
    // view) needs precision: coarse timers are aligned with the program's
    // other timers, whole seconds with every program's, and share wakeups.
    timer->setTimerType(intervalMs % 1000 == 0 ? Qt::VeryCoarseTimer : Qt::CoarseTimer);
    QObject::connect(timer, &QTimer::timeout, [callback = std::move(callback)] { callback(); });
    timer->start(static_cast<int>(intervalMs));
    timers_[id] = timer;
    return id;
}

void QtTimers::stop(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        return;
    }
    it->second->stop();
    // The timer may be stopping itself from its own timeout: delete it once
    // the event loop is back.
    it->second->deleteLater();
    timers_.erase(it);
}

void QtTimers::processPending() {
    QCoreApplication::processEvents();
}

}  // namespace wp2
