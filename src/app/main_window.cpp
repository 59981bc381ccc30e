// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTimerEvent>

#include "core/base/clock.h"
#include "core/base/shared_wake_timers.h"
#include "ui/frame_counter.h"

namespace wp2 {

namespace {
constexpr std::uint32_t kIdleResetFrames = 100;
// A touch released in this corner repaints the whole window.
constexpr int kRepaintCornerX = 220;
constexpr int kRepaintCornerY = 300;
}  // namespace

MainWindow::MainWindow(const DashboardServices& services, Clock& clock, WindowOptions options)
    : services_(services), clock_(clock), options_(options) {
    options_.scale = std::max(1, options_.scale);
    setWindowTitle("Wayplot2");
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (!options_.fullscreen) {
        setFixedSize(kWidth * options_.scale, kHeight * options_.scale);
    }
}

MainWindow::~MainWindow() {
    stopTimer();
    // The dashboard's elements draw on the surfaces, which go only after it.
    screen_.reset();
}

bool MainWindow::create() {
    surfaces_.background.fill(rgb(200, 0, 0));
    surfaces_.frame.fill(rgb(0, 0, 255));
    publishFrame(frameClock_.frame());
    screen_ = std::make_unique<DashboardScreen>(*this, services_, surfaces_);
    screen_->buildScreen(mode_);
    startTimer();
    return true;
}

void MainWindow::onTimer() {
    ++timerWakeups_;
    if (asleep_) {
        wake(true);
    }
    screen_->tick(frameClock_.frame());
    present();
    if (frameClock_.frame() % kIdleResetFrames == 0 && idleReset_) {
        idleReset_();
    }
    frameClock_.advance(clock_.tickCount());
    publishFrame(frameClock_.frame());
    sleepIfIdle();
}

void MainWindow::sleepIfIdle() {
    if (!options_.sleepWhenIdle || !running_ || screen_->animating()) {
        return;
    }
    const std::uint32_t next = frameClock_.frame();
    std::uint32_t due = screen_->nextDueFrame(next);
    if (idleReset_) {
        due =
            std::min(due - next, (kIdleResetFrames - next % kIdleResetFrames) % kIdleResetFrames) +
            next;
    }
    if (due == next) {
        return;
    }
    // Frame `next` would run at the next tick, frame `due` that many ticks later.
    const std::uint32_t ticks = due - next + 1;
    wakeTick_ = frameClock_.lastTick() + ticks * kTimerPeriodMs;
    asleep_ = true;
    runTimer(static_cast<int>(wakeTick_ - clock_.tickCount()));
}

void MainWindow::wake(bool atTick) {
    asleep_ = false;
    const std::uint32_t last = frameClock_.lastTick();
    // No tick yet (a tick count of 0 counts as none): nothing slept through.
    std::uint32_t ticks = last == 0 ? 0 : (clock_.tickCount() - last) / kTimerPeriodMs;
    if (atTick && ticks > 0) {
        --ticks;
    }
    frameClock_.setFrame(frameClock_.frame() + ticks);
    frameClock_.setLastTick(last + ticks * kTimerPeriodMs);
    publishFrame(frameClock_.frame());
    if (running_) {
        runTimer(kTimerPeriodMs);
    }
}

void MainWindow::runTimer(int ms) {
    ms = std::max(ms, 0);
    if (timerId_ != 0 && timerMs_ == ms) {
        return;
    }
    if (timerId_ != 0) {
        killTimer(timerId_);
    }
    timerMs_ = ms;
    timerId_ = QObject::startTimer(ms, Qt::PreciseTimer);
}

void MainWindow::present() {
    if (screen_->compose() == 1) {
        ++presents_;
        presentPending_ = true;
        // Only what changed goes to the display.
        const QRect area = frameArea();
        const int scale = area.width() / kWidth;
        QRegion changed;
        for (const Rect& r : screen_->changedAreas()) {
            changed += QRect(area.left() + r.left * scale, area.top() + r.top * scale,
                             r.width() * scale, r.height() * scale)
                           .intersected(area);
        }
        update(changed);
    }
}

void MainWindow::onTouchDown(int x, int y) {
    if (asleep_) {
        wake(false);
    }
    screen_->press(x, y);
    present();
}

void MainWindow::onTouchUp(int x, int y) {
    if (asleep_) {
        wake(false);
    }
    if (x > kRepaintCornerX && y > kRepaintCornerY) {
        repaintAll_ = true;
        update();
    }
    screen_->release(x, y);
    present();
}

void MainWindow::onTouchMove(int x, int y) {
    if (asleep_) {
        wake(false);
    }
    screen_->move(x, y);
    present();
}

QRect MainWindow::frameArea() const {
    int scale = options_.scale;
    if (options_.fullscreen) {
        scale = std::max(1, std::min(width() / kWidth, height() / kHeight));
    }
    const int w = kWidth * scale;
    const int h = kHeight * scale;
    return QRect((width() - w) / 2, (height() - h) / 2, w, h);
}

QPoint MainWindow::toFrame(const QPointF& windowPos) const {
    const QRect area = frameArea();
    const double scale = static_cast<double>(area.width()) / kWidth;
    return QPoint(static_cast<int>((windowPos.x() - area.left()) / scale),
                  static_cast<int>((windowPos.y() - area.top()) / scale));
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = frameArea();
    if (area != rect()) {
        painter.fillRect(rect(), Qt::black);
    }
    if (!screen_) {
        return;
    }
    // A paint that only brings a composed frame to the display copies it;
    // any other paint (exposure, the repaint corner) redraws every element.
    if (!presentPending_ || repaintAll_) {
        screen_->drawAll();
        ++fullRepaints_;
    }
    presentPending_ = false;
    repaintAll_ = false;
    // Each part to be painted is enlarged on its own: the whole frame drawn
    // clipped to one rectangle takes Qt's plain scaling path, which touches
    // only the pixels inside it (a source rectangle would have the frame
    // converted first, on Qt's worker threads).
    for (const QRect& r : event->region()) {
        painter.setClipRect(r);
        painter.drawImage(area, surfaces_.frame.image());
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && screen_) {
        const QPoint p = toFrame(event->position());
        onTouchDown(p.x(), p.y());
    }
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && screen_) {
        const QPoint p = toFrame(event->position());
        onTouchUp(p.x(), p.y());
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && screen_) {
        const QPoint p = toFrame(event->position());
        onTouchMove(p.x(), p.y());
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window (window manager, logout) ends the program the
    // orderly way, so that everything the next start needs is saved.
    event->ignore();
    if (screen_ && !loopEnded_) {
        screen_->quit();
    }
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId_ && screen_) {
        onTimer();
    }
}

void MainWindow::stopTimer() {
    if (asleep_) {
        wake(false);
    }
    running_ = false;
    if (timerId_ != 0) {
        killTimer(timerId_);
        timerId_ = 0;
    }
    if (services_.sharedWakes) {
        services_.sharedWakes->setHostRunning(false);
    }
}

void MainWindow::startTimer() {
    if (!running_) {
        running_ = true;
        runTimer(kTimerPeriodMs);
        if (services_.sharedWakes) {
            services_.sharedWakes->setHostRunning(true);
        }
    }
}

void MainWindow::showOnScreen() {
    if (options_.fullscreen) {
        showFullScreen();
    } else {
        show();
    }
}

void MainWindow::hideForDialog() {
    lower();
    hide();
}

void MainWindow::showAfterDialog() {
    showOnScreen();
    raise();
    activateWindow();
}

void MainWindow::keepInFront() {
    // Only a handheld keeps its one window in front; on a desktop that would
    // take the focus from other programs every three seconds. An open dialog
    // stays on top.
    if (options_.fullscreen && isVisible() && !QApplication::activeModalWidget()) {
        raise();
    }
}

void MainWindow::forceInputPanelDown() {
    // There is no input panel to force down on the desktop.
}

void MainWindow::endMessageLoop(int exitCode) {
    loopEnded_ = true;
    // Posted, so that it also ends a loop that has not started yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
        Qt::QueuedConnection);
}

}  // namespace wp2
