#pragma once
// The small picture window shown while the program starts: bitmap 473 with
// "Wayplot II loading..." in its lower strip. It repaints itself and stays in
// front every 300 ms while it exists.

#include <QWidget>

#include "ui/rect.h"
#include "ui/surface.h"

namespace wp2 {

class SplashWindow : public QWidget {
public:
    static constexpr int kWidth = 180;
    static constexpr int kHeight = 240;
    static constexpr int kTimerPeriodMs = 300;
    static constexpr const char* kText = "Wayplot II loading...";

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void drawPicture();

    int scale_;
    Surface surface_;
    int timerId_ = 0;
};

}  // namespace wp2
