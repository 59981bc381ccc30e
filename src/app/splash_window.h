// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small picture window shown while the program starts: bitmap 473 with
// "Wayplot2 loading..." in its lower strip. It repaints itself and stays in
// front every 300 ms while it exists, except while a dialog is up: a message
// box of the start-up ("The GPS receiver could not be started.") must be seen and answered, so
// the splash steps aside until no dialog is left.

#include <QWidget>

#include "ui/rect.h"
#include "ui/surface.h"

namespace wp2 {

class SplashWindow : public QWidget {
public:
    static constexpr int kWidth = 180;
    static constexpr int kHeight = 240;
    static constexpr int kTimerPeriodMs = 300;
    static constexpr int kTextHeight = 15;
    static constexpr const char* kText = "Wayplot2 loading...";

    // The picture enlarged `scale` times, like the main window.
    explicit SplashWindow(int scale = 1);
    ~SplashWindow() override;

    // The rectangle of the text in a client area of that size: the client
    // rectangle shrunk by 10 on the left, 218 at the top, 50 on the right and
    // 5 at the bottom.
    static Rect textRect(int clientWidth, int clientHeight);
    // The picture with its text, as the window shows it.
    const QImage& picture() const { return surface_.image(); }
    int timerId() const { return timerId_; }
    // True while the splash is hidden for a dialog.
    bool steppedAside() const { return steppedAside_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void drawPicture();
    void stepAside();

    int scale_;
    Surface surface_;
    int timerId_ = 0;
    bool steppedAside_ = false;
};

}  // namespace wp2
