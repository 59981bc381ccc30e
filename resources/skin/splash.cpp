// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up picture (180 x 240). The program writes "Wayplot2 loading..." in black
// into (10, 218)-(130, 235), so the bottom strip is light.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "dial_geometry.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

void compassRose(QPainter& p, QPointF c, double r) {
    p.setPen(QPen(QColor(150, 170, 210), 1.2));
    p.setBrush(QColor(16, 30, 66));
    p.drawEllipse(c, r, r);
    for (int d = 0; d < 360; d += 15) {
        const double a = d * kPi / 180;
        const bool major = d % 45 == 0;
        p.setPen(QPen(QColor(190, 205, 235), major ? 1.8 : 1.0));
        p.drawLine(polar(c, r - (major ? 8 : 5), a), polar(c, r - 1, a));
    }
    // Eight-point star: long cardinal points, short intercardinals; north red.
    for (int i = 7; i >= 0; --i) {
        const double a = kPi / 2 - i * kPi / 4;
        const double len = (i % 2 == 0) ? r - 10 : r * 0.5;
        const double half = (i % 2 == 0) ? 7 : 5;
        const QPointF tip = polar(c, len, a);
        const QPointF left = polar(c, half, a + kPi / 2);
        const QPointF right = polar(c, half, a - kPi / 2);
        const QColor lit = (i == 0) ? QColor(235, 40, 40) : QColor(240, 242, 248);
        const QColor shade = (i == 0) ? QColor(150, 10, 10) : QColor(150, 160, 180);
        p.setPen(QPen(QColor(10, 14, 24), 1));
        p.setBrush(lit);
        p.drawPolygon(QPolygonF({c, tip, left}));
        p.setBrush(shade);
        p.drawPolygon(QPolygonF({c, tip, right}));
    }
    p.setBrush(QColor(255, 200, 40));
    p.drawEllipse(c, 4, 4);
    p.setFont(uiFont(13, true));
    p.setPen(QColor(255, 255, 255));
    textCentred(p, polar(c, r + 9, kPi / 2), QStringLiteral("N"));
}

void satellite(QPainter& p, QPointF c) {
    p.save();
    p.translate(c);
    p.rotate(-30);
    p.setPen(QPen(QColor(10, 14, 24), 1));
    p.setBrush(QColor(60, 110, 220));
    p.drawRect(QRectF(-17, -4, 11, 8));
    p.drawRect(QRectF(6, -4, 11, 8));
    p.setPen(QPen(QColor(150, 180, 240), 0.8));
    p.drawLine(QPointF(-11.5, -4), QPointF(-11.5, 4));
    p.drawLine(QPointF(11.5, -4), QPointF(11.5, 4));
    p.setPen(QPen(QColor(10, 14, 24), 1));
    p.setBrush(QColor(220, 220, 226));
    p.drawRect(QRectF(-6, -5, 12, 10));
    p.restore();
    p.setPen(QPen(QColor(255, 200, 40), 1.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const double r = 5.0 * i + 6;
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 200 * 16, 50 * 16);
    }
}

QImage splash() {
    QImage image = blankImage(180, 240, QColor(8, 14, 32));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, 210);
    sky.setColorAt(0, QColor(6, 12, 30));
    sky.setColorAt(1, QColor(34, 64, 130));
    p.fillRect(QRect(0, 0, 180, 210), sky);
    // A few stars.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 236, 255));
    const QPointF stars[] = {{14, 60},  {30, 96}, {160, 110}, {150, 150}, {22, 150},
                             {170, 70}, {8, 120}, {128, 196}, {44, 200}};
    for (const QPointF& s : stars) {
        p.drawEllipse(s, 0.9, 0.9);
    }
    p.setPen(QColor(255, 255, 255));
    p.setFont(uiFont(26, true));
    p.drawText(QRectF(0, 6, 180, 34), Qt::AlignCenter, QStringLiteral("Wayplot2"));
    p.setPen(QColor(255, 200, 40));
    p.setFont(uiFont(12, true));
    p.drawText(QRectF(0, 38, 180, 16), Qt::AlignCenter, QStringLiteral("GPS dashboard"));
    compassRose(p, QPointF(90, 132), 54);
    satellite(p, QPointF(150, 74));
    // Track from the rose's rim into the strip, ending at a pin.
    p.setPen(QPen(QColor(235, 40, 40), 2.2, Qt::DashLine, Qt::RoundCap));
    QPainterPath route;
    route.moveTo(120, 184);
    route.cubicTo(140, 196, 130, 210, 152, 222);
    p.drawPath(route);
    // Light strip for the loading text.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(238, 238, 232));
    p.drawRect(QRectF(0, 210, 180, 30));
    p.setPen(QPen(QColor(255, 200, 40), 2));
    p.drawLine(QPointF(0, 210), QPointF(180, 210));
    // Pin at the end of the route, right of the text.
    const QPointF tip(156, 234);
    const double r = 6.5;
    const QPointF head(tip.x(), tip.y() - 2.3 * r);
    QPainterPath pin;
    pin.moveTo(tip);
    pin.lineTo(head.x() - r * 0.87, head.y() + r * 0.5);
    pin.arcTo(QRectF(head.x() - r, head.y() - r, 2 * r, 2 * r), 210, -240);
    pin.closeSubpath();
    p.setPen(QPen(QColor(60, 0, 0), 1));
    p.setBrush(QColor(230, 40, 40));
    p.drawPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(head, 2.3, 2.3);
    return image;
}

}  // namespace

void drawSplash(BitmapSet& out) {
    out[473] = splash();
}

}  // namespace wp2::art
