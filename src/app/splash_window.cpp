// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash_window.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QTimerEvent>

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/night_palette.h"
#include "ui/skin_bitmaps.h"

namespace wp2 {

namespace {

bool dialogUp() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QDialog*>(w) && w->isVisible()) {
            return true;
        }
    }
    return false;
}

}  // namespace

SplashWindow::SplashWindow(int scale) : scale_(std::max(1, scale)), surface_(kWidth, kHeight) {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle("Wayplot2");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kWidth * scale_, kHeight * scale_);
    drawPicture();
    timerId_ = startTimer(kTimerPeriodMs);
    // Told of every dialog before it appears, so that it never opens under
    // the splash, not even for one timer period.
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
    qApp->removeEventFilter(this);
    killTimer(timerId_);
}

Rect SplashWindow::textRect(int clientWidth, int clientHeight) {
    return Rect{10, 218, clientWidth - 50, clientHeight - 5};
}

void SplashWindow::drawPicture() {
    surface_.fill(darkAtNight(rgb(255, 255, 255), rgb(0, 0, 0)));
    surface_.blit(0, 0, loadBitmap(skin::kSplash));
    // Smaller than 15 pixels when the typeface standing in for Tahoma is too
    // wide for the rectangle: the whole text is shown, never a cut one.
    const Rect r = textRect(kWidth, kHeight);
    const QFont font = fittingFont(Typeface::Tahoma, kTextHeight, false, kText, r.right - r.left);
    surface_.text(r, kText, font, rgb(0, 0, 0), TextFlag::Left);
}

void SplashWindow::stepAside() {
    if (isVisible()) {
        steppedAside_ = true;
        hide();
    }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched)) {
        stepAside();
    }
    return false;
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), surface_.image());
}

void SplashWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timerId_) {
        return;
    }
    if (dialogUp()) {
        stepAside();
        return;
    }
    if (steppedAside_) {
        steppedAside_ = false;
        show();
    }
    raise();
    update();
}

}  // namespace wp2
