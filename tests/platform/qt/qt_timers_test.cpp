#include "platform/qt/qt_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace wp2 {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "qt_timers_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Runs the event loop until pred holds or the real-time limit passes.
bool pumpUntil(QtTimers& timers, const std::function<bool()>& pred, int limitMs = 3000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!pred()) {
        if (elapsed.elapsed() > limitMs) {
            return false;
        }
        timers.processPending();
        QThread::msleep(1);
    }
    return true;
}

TEST(QtTimersTest, TimersRunOnThisThreadUntilStoppedEvenFromTheirOwnCallback) {
    app();
    QtTimers timers;
    int fired = 0, other = 0, stopped = 0;
    int id = 0;
    Qt::HANDLE thread = nullptr;
    id = timers.start(10, [&] {
        thread = QThread::currentThreadId();
        if (++fired == 3) {
            timers.stop(id);
        }
    });
    EXPECT_NE(id, 0);
    timers.start(5, [&] { ++other; });
    timers.stop(timers.start(5, [&] { ++stopped; }));
    timers.stop(0);  // unknown ids are ignored
    timers.stop(9999);
    ASSERT_TRUE(pumpUntil(timers, [&] { return fired == 3 && other >= 3; }));
    EXPECT_EQ(thread, QThread::currentThreadId());
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 60) {
        timers.processPending();
    }
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(stopped, 0);
}

}  // namespace
}  // namespace wp2
