#include "app/splash_window.h"

#include <QPainter>
#include <QTimerEvent>

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/skin_bitmaps.h"

namespace wp2 {

SplashWindow::SplashWindow(int scale) : scale_(std::max(1, scale)), surface_(kWidth, kHeight) {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle("Wayplot2");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kWidth * scale_, kHeight * scale_);
    drawPicture();
    timerId_ = startTimer(kTimerPeriodMs);
}

SplashWindow::~SplashWindow() {
    killTimer(timerId_);
}

Rect SplashWindow::textRect(int clientWidth, int clientHeight) {
    return Rect{10, 218, clientWidth - 50, clientHeight - 5};
}

void SplashWindow::drawPicture() {
    surface_.fill(rgb(255, 255, 255));
    surface_.blit(0, 0, loadBitmap(skin::kSplash));
    surface_.text(textRect(kWidth, kHeight), kText, dashboardFont(Typeface::Tahoma, 15, false),
                  rgb(0, 0, 0), TextFlag::Left);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), surface_.image());
}

void SplashWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId_) {
        raise();
        update();
    }
}

}  // namespace wp2
