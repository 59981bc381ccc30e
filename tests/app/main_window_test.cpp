// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its frames on the tick count (the frame clock), the
// sleeping timer, touches, mouse events and closing.

#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>
#include <string_view>

#include "app/frame_clock.h"
#include "app_test_support.h"
#include "ui/dashboard_ids.h"
#include "ui/frame_counter.h"
#include "ui/popup_menu.h"
#include "ui/push_button.h"

namespace wp2 {
namespace {

class MainWindowTest : public test::AppTest {
protected:
    std::unique_ptr<MainWindow> make(WindowOptions options = {}) {
        auto w = std::make_unique<MainWindow>(services(), clock_, options);
        w->setMode(1);
        EXPECT_TRUE(w->create());
        return w;
    }
    // One timer message `ms` after the previous one; returns how far the frame moved.
    std::uint32_t tickAfter(MainWindow& w, std::uint32_t ms) {
        clock_.advanceMs(ms);
        const std::uint32_t before = w.frame();
        w.onTimer();
        return w.frame() - before;
    }
};

TEST_F(MainWindowTest, TheFrameFollowsRealTimeAcrossDialogsAndResetsTheIdleTimerEvery100) {
    auto w = make();
    std::vector<std::uint32_t> resets;
    w->setIdleReset([&] { resets.push_back(w->frame()); });
    while (w->frame() <= 301) {  // 30 ms, a frame each
        tickAfter(*w, 30);
    }
    EXPECT_EQ(currentFrame(), w->frame());  // published for the elements
    EXPECT_EQ(resets, (std::vector<std::uint32_t>{0, 100, 200, 300}));
    w->screen().suspend();  // a dialog of a minute: the timer stops meanwhile
    EXPECT_FALSE(w->timerRunning());
    clock_.advanceMs(60000);
    w->screen().resume();
    EXPECT_TRUE(w->timerRunning());
    EXPECT_EQ(tickAfter(*w, 0), 1980u);
}

// The same emulated drive (20 fixes, then the file ends: standing still) on
// the simulated clock, once with the timer running every 30 ms and once with
// the timer that sleeps while nothing changes, a touch on the menu button
// while standing still: wherever the first drew, the second shows the same
// picture, and standing still it wakes at most 5 times a second; on the
// dashboard and in map mode.
TEST_F(MainWindowTest, TheSleepingTimerShowsWhatTheRunningOneShowsAndWakesSeldomStandingStill) {
    test::installEmulationFile(20);
    for (const bool mapMode : {false, true}) {
        SCOPED_TRACE(mapMode ? "map mode" : "dashboard");

        constexpr int kSteps = 1300;     // 30 ms each
        constexpr int kStillFrom = 700;  // past the last fix and the needles' last turn
        constexpr int kTouchAt = 1001;   // standing still: a held touch, then the Options menu
        struct Run {
            std::vector<std::size_t> pictures;  // a hash of the frame after each step
            std::vector<bool> drawn;            // whether the step drew
            int stillWakeups = 0;
        };
        const auto run = [&](bool sleepWhenIdle) {
            ManualClock clock{1700000000, 5000};
            DashboardServices s = services();
            s.clock = &clock;
            MainWindow w(s, clock, {1, false, sleepWhenIdle});
            w.setMode(1);
            EXPECT_TRUE(w.create());
            if (mapMode) {  // the Map button
                w.onTouchDown(30, 290);
                w.onTouchUp(30, 290);
            }
            Run r;
            for (int step = 0; step < kSteps; ++step) {
                clock.advanceMs(MainWindow::kTimerPeriodMs);
                const QImage before = w.frameImage().copy();
                const int presents = w.presents();
                const int wakeups = w.timerWakeups();
                if (clock.tickCount() >= w.nextTimerTick()) {
                    w.onTimer();
                }
                if (step == kTouchAt) {  // the menu button, a touch between two ticks
                    clock.advanceMs(7);
                    w.onTouchDown(205, 295);
                } else if (step == kTouchAt + 45) {  // held past the button popping back
                    w.onTouchUp(205, 295);
                }
                const QImage& image = w.frameImage();
                r.pictures.push_back(std::hash<std::string_view>{}(std::string_view(
                    reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes())));
                r.drawn.push_back(w.presents() != presents);
                // Only the changed area goes to the display: nothing outside it may differ.
                if (w.presents() == presents + 1 && step != kTouchAt && step != kTouchAt + 45) {
                    QRegion shown;
                    for (const Rect& c : w.screen().changedAreas()) {
                        shown += QRect(c.left, c.top, c.width(), c.height());
                    }
                    int outside = 0;
                    for (int y = 0; y < image.height(); ++y) {
                        for (int x = 0; x < image.width(); ++x) {
                            outside += !shown.contains(QPoint(x, y)) &&
                                       image.pixel(x, y) != before.pixel(x, y);
                        }
                    }
                    EXPECT_EQ(outside, 0) << "step " << step;
                }
                r.stillWakeups += step >= kStillFrom ? w.timerWakeups() - wakeups : 0;
            }
            return r;
        };
        const Run always = run(false);
        const Run sleeping = run(true);
        int compared = 0;
        for (int step = 0; step < kSteps; ++step) {
            if (always.drawn[step]) {
                ++compared;
                ASSERT_EQ(sleeping.pictures[step], always.pictures[step]) << "step " << step;
            }
        }
        EXPECT_GT(compared, 30);
        EXPECT_EQ(always.stillWakeups, kSteps - kStillFrom);
        const double seconds = (kSteps - kStillFrom) * MainWindow::kTimerPeriodMs / 1000.0;
        EXPECT_LE(sleeping.stillWakeups / seconds, 5.0) << sleeping.stillWakeups << " wakeups";
    }
}

TEST_F(MainWindowTest, OnlyATouchReleasedInTheBottomRightCornerRepaintsEverything) {
    auto w = make();
    w->show();
    QCoreApplication::processEvents();
    const int afterShow = w->fullRepaints();
    for (const QPoint& at : {QPoint(230, 310), QPoint(220, 310), QPoint(230, 300)}) {
        w->onTouchUp(at.x(), at.y());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(w->fullRepaints(), afterShow + 1);
    const int presents = w->presents();
    w->onTouchDown(200, 290);  // a composed frame is copied without a full redraw
    QCoreApplication::processEvents();
    EXPECT_EQ(w->presents(), presents + 1);
    EXPECT_EQ(w->fullRepaints(), afterShow + 1);
}

TEST_F(MainWindowTest, MouseEventsOnAnEnlargedWindowReachTheFrameAsTouches) {
    auto w = make({3, false});
    EXPECT_EQ(w->size(), QSize(720, 960));
    PushButton& tbtn4 = w->screen().pushButton(DashboardId::MenuButton);
    const auto send = [&](QEvent::Type type, int x, int y) {
        const bool press = type == QEvent::MouseButtonPress;
        QMouseEvent e(type, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                      press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.get(), &e);
    };
    send(QEvent::MouseButtonPress, 3 * 179, 3 * 290);  // left of the button in frame pixels
    EXPECT_EQ(tbtn4.pressed, 0);
    send(QEvent::MouseButtonPress, 3 * 200 + 1, 3 * 290 + 2);
    EXPECT_EQ(tbtn4.pressed, 1);
    send(QEvent::MouseButtonRelease, 600, 870);
    EXPECT_EQ(w->screen().optionsMenu().open, 1);
    // After updates of the changed parts only (two buttons far apart in one
    // paint), the window shows the whole frame enlarged.
    w->show();
    QCoreApplication::processEvents();
    w->onTouchDown(30, 290);
    w->onTouchDown(210, 290);
    QCoreApplication::processEvents();
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              w->frameImage().scaled(720, 960).convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramTheOrderlyWay) {
    auto w = make();
    w->show();
    EXPECT_FALSE(w->close());  // the close is turned into the dashboard's quit
    EXPECT_TRUE(w->messageLoopEnded());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(test::storedText(registry_, "IOpt"), test::kFirstChoices);
}

// 33 frames a second of the tick count, rounded to the nearest frame; a tick
// count of 0 counts as no previous tick, and one going back (wrapped) or
// standing still advances by one.
TEST(FrameClock, FollowsTheTickCountAt33FramesASecond) {
    // The products with 33 of ticks past 0xF0000000 overflow 32 bits; their
    // difference must still be right.
    const std::vector<std::uint32_t> ticks = {0xF0000000u, 0xF000001Eu, 0xF000EA7Eu, 100,  0,
                                              3000,        3030,        3130,        3175, 3221};
    const std::vector<std::uint32_t> frames = {1,    2,    1982, 1983, 1984,
                                               1985, 1986, 1989, 1990, 1992};
    FrameClock clock;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        clock.advance(ticks[i]);
        EXPECT_EQ(clock.frame(), frames[i]) << "tick " << ticks[i];
    }
}

}  // namespace
}  // namespace wp2
