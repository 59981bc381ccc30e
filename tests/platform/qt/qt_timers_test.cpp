// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace wp2 {
namespace {

TEST(QtTimers, RunOnThisThreadUntilStoppedEvenFromTheirOwnCallback) {
    static int argc = 1;
    static char name[] = "qt_timers_test";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QtTimers timers;
    int fired = 0, other = 0, stopped = 0, id = 0;
    Qt::HANDLE thread = nullptr;
    id = timers.start(10, [&] {
        thread = QThread::currentThreadId();
        if (++fired == 3) {
            timers.stop(id);
        }
    });
    const int otherId = timers.start(5, [&] { ++other; });
    const int stoppedId = timers.start(5, [&] { ++stopped; });
    EXPECT_TRUE(id != otherId && otherId != stoppedId && id != stoppedId);  // each its own
    timers.stop(stoppedId);
    timers.stop(9999);  // unknown ids are ignored
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 200) {
        timers.processPending();
        QThread::msleep(1);
    }
    EXPECT_EQ(fired, 3);
    EXPECT_GE(other, 3);
    EXPECT_EQ(stopped, 0);
    EXPECT_EQ(thread, QThread::currentThreadId());
}

}  // namespace
}  // namespace wp2
