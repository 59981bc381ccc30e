#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include "app_test_support.h"
#include "core/base/clock.h"
#include "core/settings/creg_store.h"
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
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
};

TEST_F(MainWindowTest, TheFrameFollowsRealTimeAcrossTicksAndDialogs) {
    auto w = make();
    EXPECT_EQ(w->windowTitle(), "Wayplot2");
    EXPECT_TRUE(w->timerRunning());
    EXPECT_EQ(tickAfter(*w, 30), 1u);  // the first message has no previous tick
    EXPECT_EQ(tickAfter(*w, 30), 1u);
    EXPECT_EQ(tickAfter(*w, 100), 3u);
    EXPECT_EQ(currentFrame(), w->frame());  // published for the elements

    // A modal dialog of 60 s: the timer is stopped meanwhile.
    w->screen().suspend();
    EXPECT_FALSE(w->timerRunning());
    clock_.advanceMs(60000);
    w->screen().resume();
    EXPECT_TRUE(w->timerRunning());
    const std::uint32_t before = w->frame();
    w->onTimer();
    EXPECT_EQ(w->frame() - before, 1980u);
}

TEST_F(MainWindowTest, TheIdleTimerIsResetOnMultiplesOf100AndSkippedWhenSteppedOver) {
    auto w = make();
    std::vector<std::uint32_t> resets;
    w->setIdleReset([&] { resets.push_back(w->frame()); });
    while (w->frame() <= 301) {
        tickAfter(*w, 30);
    }
    EXPECT_EQ(resets, (std::vector<std::uint32_t>{0, 100, 200, 300}));

    // Ticks 100 ms apart step 3 frames at a time from 302: they land on 500
    // but step over 400, 600 and 700.
    resets.clear();
    while (w->frame() <= 700) {
        tickAfter(*w, 100);
    }
    EXPECT_EQ(resets, std::vector<std::uint32_t>{500});
}

TEST_F(MainWindowTest, OnlyATouchReleasedInTheBottomRightCornerRepaintsEverything) {
    auto w = make();
    w->show();
    settle();
    const int afterShow = w->fullRepaints();
    EXPECT_GE(afterShow, 1);

    w->onTouchUp(230, 310);
    settle();
    EXPECT_EQ(w->fullRepaints(), afterShow + 1);

    w->onTouchUp(220, 310);
    w->onTouchUp(230, 300);
    settle();
    EXPECT_EQ(w->fullRepaints(), afterShow + 1);

    // A composed frame is copied to the window without a full redraw.
    const int presents = w->presents();
    w->onTouchDown(200, 290);  // TBtn4 shows its pressed picture
    settle();
    EXPECT_EQ(w->presents(), presents + 1);
    EXPECT_EQ(w->fullRepaints(), afterShow + 1);
}

TEST_F(MainWindowTest, MouseEventsOnAnEnlargedWindowReachTheFrameAsTouches) {
    auto w = make({3, false});
    EXPECT_EQ(w->size(), QSize(720, 960));
    PushButton& tbtn4 = w->screen().pushButton(DashboardId::MenuButton);
    const auto send = [&](QEvent::Type type, QPointF at) {
        const bool press = type == QEvent::MouseButtonPress;
        QMouseEvent e(type, at, at, Qt::LeftButton, press ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w.get(), &e);
    };
    send(QEvent::MouseButtonPress, QPointF(3 * 200 + 1, 3 * 290 + 2));
    EXPECT_EQ(tbtn4.pressed, 1);
    send(QEvent::MouseButtonRelease, QPointF(600, 870));
    EXPECT_EQ(tbtn4.pressed, 0);
    EXPECT_EQ(w->screen().optionsMenu().open, 1);
    // A press outside the button (in frame pixels) does not press it.
    send(QEvent::MouseButtonPress, QPointF(3 * 179, 3 * 290));
    EXPECT_EQ(tbtn4.pressed, 0);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramTheOrderlyWay) {
    auto w = make();
    w->show();
    settle();
    EXPECT_FALSE(w->close());  // the close is turned into the dashboard's quit
    EXPECT_TRUE(w->messageLoopEnded());
    EXPECT_FALSE(w->timerRunning());
    EXPECT_FALSE(w->isVisible());
    std::string choices;
    EXPECT_TRUE(CRegStore().ReadLongText("IOpt", choices));
    EXPECT_EQ(choices, "105,30,102,24,101,27,103,35,104,37");
}

TEST_F(MainWindowTest, TheFirstFrameShowsTheDashboardNotTheStartColours) {
    auto w = make();
    tickAfter(*w, 30);
    const QImage& frame = w->frameImage();
    ASSERT_EQ(frame.size(), QSize(240, 320));
    // The button strip's background is red; nothing is left of the blue the
    // frame started with.
    int blue = 0;
    for (int y = 0; y < 320; y += 4) {
        for (int x = 0; x < 240; x += 4) {
            blue += frame.pixel(x, y) == rgb(0, 0, 255) ? 1 : 0;
        }
    }
    EXPECT_LT(blue, 20);
}

}  // namespace
}  // namespace wp2
