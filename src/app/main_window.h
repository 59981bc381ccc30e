// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one window of the dashboard. It owns the drawing surfaces and the
// dashboard screen, drives both with timer 1 (every 30 ms), copies the
// composed frame to the display and forwards touches (mouse events on the
// desktop). The 240 x 320 frame is shown enlarged `scale` times; touch
// positions are divided back.
//
// While nothing on the screen animates, timer 1 sleeps until the next frame
// at which the dashboard has work (a refresh, a duty counting frames) or a
// touch comes; the frame counter then moves on by the 30 ms ticks it slept
// through, so every frame-counting duty happens on the frame it always did.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/dashboard_screen.h"
#include "app/frame_clock.h"
#include "app/screen_host.h"
#include "ui/surface.h"

namespace wp2 {

class Clock;

struct WindowOptions {
    int scale = 1;
    bool fullscreen = false;  // a handheld: the shell's full-screen requests apply
    // False: timer 1 runs every 30 ms whether or not anything changes.
    bool sleepWhenIdle = true;
};

class MainWindow : public QWidget, public ScreenHost {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 320;
    static constexpr int kTimerPeriodMs = 30;

    // The window's timer messages read the tick count of clock.
    MainWindow(const DashboardServices& services, Clock& clock, WindowOptions options = {});
    ~MainWindow() override;

    // The screen mode used when the window is created (0 live, 1 emulation).
    void setMode(int mode) { mode_ = mode; }
    // Surfaces, the dashboard and timer 1. False when the window cannot be made.
    bool create();

    // The handlers, in frame coordinates (0..239, 0..319).
    void onTimer();
    void onTouchDown(int x, int y);
    void onTouchUp(int x, int y);
    void onTouchMove(int x, int y);
    // Copies the frame to the window when the dashboard drew anything.
    void present();

    DashboardScreen& screen() { return *screen_; }
    std::uint32_t frame() const { return frameClock_.frame(); }
    const QImage& frameImage() const { return surfaces_.frame.image(); }
    bool timerRunning() const { return running_; }
    // The tick count at which timer 1 fires next (30 ms after the last tick
    // unless it sleeps), and how often it fired.
    std::uint32_t nextTimerTick() const {
        return asleep_ ? wakeTick_ : frameClock_.lastTick() + kTimerPeriodMs;
    }
    int timerWakeups() const { return timerWakeups_; }
    // Paints that redrew every element (the first one, exposes, the repaint corner).
    int fullRepaints() const { return fullRepaints_; }
    // Frames copied to the window because the dashboard drew something.
    int presents() const { return presents_; }
    bool messageLoopEnded() const { return loopEnded_; }
    // Resets the system idle timer every 100 frames (nothing by default).
    void setIdleReset(std::function<void()> reset) { idleReset_ = std::move(reset); }

    // ScreenHost.
    void stopTimer() override;
    void startTimer() override;
    void hideForDialog() override;
    void showAfterDialog() override;
    void keepInFront() override;
    void forceInputPanelDown() override;
    void endMessageLoop(int exitCode) override;

    // The place of the enlarged frame in the window.
    QRect frameArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Frame coordinates of a window position.
    QPoint toFrame(const QPointF& windowPos) const;
    void showOnScreen();
    // Timer 1 every 30 ms, or once at the next frame with work to do.
    void runTimer(int ms);
    void sleepIfIdle();
    // Moves the frame counter on by the 30 ms ticks slept through by now;
    // at a tick of the timer, the one being run is not counted.
    void wake(bool atTick);

    DashboardServices services_;
    Clock& clock_;
    WindowOptions options_;
    int mode_ = 0;
    DrawingSurfaces surfaces_;
    std::unique_ptr<DashboardScreen> screen_;
    FrameClock frameClock_;
    int timerId_ = 0;
    int timerMs_ = 0;
    bool running_ = false;  // between startTimer and stopTimer
    bool asleep_ = false;
    std::uint32_t wakeTick_ = 0;
    int timerWakeups_ = 0;
    bool presentPending_ = false;
    bool repaintAll_ = true;
    int fullRepaints_ = 0;
    int presents_ = 0;
    bool loopEnded_ = false;
    std::function<void()> idleReset_;
};

}  // namespace wp2
