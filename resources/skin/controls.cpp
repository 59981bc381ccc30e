// SPDX-License-Identifier: GPL-3.0-or-later
// Push buttons of the button strip, the quit button, the receiver lamp, and the
// small selector button with the edges of its list items.

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <functional>

#include "pixel_art.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

using IconPainter = std::function<void(QPainter&, QPointF centre)>;

const QColor kStrip(12, 14, 18);

// A 60 x 56 strip button: rounded key with an icon above its caption. The pressed
// image is sunk: darker, amber rim, contents one pixel down and right.
QImage stripButton(const QString& caption, const IconPainter& icon, bool pressed) {
    QImage image = blankImage(60, 56, kStrip);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF key(1.5, 1.5, 57, 53);
    QLinearGradient g(key.topLeft(), key.bottomLeft());
    if (pressed) {
        g.setColorAt(0, QColor(22, 26, 34));
        g.setColorAt(1, QColor(52, 60, 76));
    } else {
        g.setColorAt(0, QColor(84, 96, 118));
        g.setColorAt(0.5, QColor(52, 60, 76));
        g.setColorAt(1, QColor(30, 35, 45));
    }
    p.setPen(QPen(pressed ? kLabel : QColor(120, 132, 152), pressed ? 2.0 : 1.0));
    p.setBrush(g);
    p.drawRoundedRect(key, 7, 7);
    const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
    p.save();
    icon(p, QPointF(30, 21) + shift);
    p.restore();
    p.setFont(fittedFont(caption, 54, 12, true));
    p.setPen(pressed ? kLabel : kMarking);
    p.drawText(QRectF(0, 37, 60, 16).translated(shift), Qt::AlignCenter, caption);
    return image;
}

void mapIcon(QPainter& p, QPointF c) {
    // Folded map of three panels with a route across it.
    const double w = 30, h = 22;
    const double x0 = c.x() - w / 2, y0 = c.y() - h / 2;
    const std::array<QColor, 3> shades = {QColor(238, 230, 196), QColor(210, 200, 160),
                                          QColor(238, 230, 196)};
    for (int i = 0; i < 3; ++i) {
        const double xa = x0 + i * w / 3, xb = x0 + (i + 1) * w / 3;
        const double ta = (i % 2 == 0) ? 0 : 3, tb = (i % 2 == 0) ? 3 : 0;
        QPolygonF panel;
        panel << QPointF(xa, y0 + ta) << QPointF(xb, y0 + tb) << QPointF(xb, y0 + h + tb - 3)
              << QPointF(xa, y0 + h + ta - 3);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(shades[i]);
        p.drawPolygon(panel);
    }
    p.setPen(QPen(QColor(220, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygonF route;
    route << QPointF(x0 + 4, y0 + 15) << QPointF(x0 + 11, y0 + 9) << QPointF(x0 + 18, y0 + 13)
          << QPointF(x0 + 26, y0 + 5);
    p.drawPolyline(route);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(30, 90, 255));
    p.drawEllipse(QPointF(x0 + 26, y0 + 5), 3, 3);
}

void pinShape(QPainter& p, QPointF tip, double r, QColor fill) {
    // Map pin: a disc above a point.
    const QPointF head(tip.x(), tip.y() - 2.3 * r);
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(head.x() - r * 0.87, head.y() + r * 0.5);
    path.arcTo(QRectF(head.x() - r, head.y() - r, 2 * r, 2 * r), 210, -240);
    path.closeSubpath();
    p.setPen(QPen(QColor(20, 20, 20), 1.2));
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(head, r * 0.38, r * 0.38);
}

void markIcon(QPainter& p, QPointF c) {
    pinShape(p, QPointF(c.x() - 4, c.y() + 12), 8.5, QColor(230, 40, 40));
    // "+": adds a pushpin here.
    const QPointF plus(c.x() + 10, c.y() - 6);
    p.setPen(QPen(QColor(10, 40, 10), 1));
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(plus, 6.5, 6.5);
    p.setPen(QPen(QColor(255, 255, 255), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(plus + QPointF(-4, 0), plus + QPointF(4, 0));
    p.drawLine(plus + QPointF(0, -4), plus + QPointF(0, 4));
}

void goToIcon(QPainter& p, QPointF c) {
    // Target rings with an arrow flying in.
    const QPointF t(c.x() + 3, c.y());
    const std::array<QColor, 4> rings = {QColor(230, 40, 40), QColor(255, 255, 255),
                                         QColor(230, 40, 40), QColor(255, 255, 255)};
    for (int i = 0; i < 4; ++i) {
        const double r = 12 - i * 3;
        p.setPen(i == 0 ? QPen(QColor(20, 20, 20), 1) : Qt::NoPen);
        p.setBrush(rings[i]);
        p.drawEllipse(t, r, r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 40));
    p.drawEllipse(t, 2, 2);
    p.setPen(QPen(QColor(255, 210, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - 14, c.y() - 11), t);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(255, 210, 40));
    QPolygonF feather;
    feather << QPointF(c.x() - 15, c.y() - 12) << QPointF(c.x() - 15, c.y() - 6)
            << QPointF(c.x() - 11, c.y() - 8) << QPointF(c.x() - 9, c.y() - 12);
    p.drawPolygon(feather);
}

void gearIcon(QPainter& p, QPointF c) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const double a = i * M_PI * 2 / (teeth * 4) + M_PI / (teeth * 4);
        const double r = (i % 4 < 2) ? 12.5 : 9.5;
        const QPointF q = polar(c, r, a);
        if (i == 0) {
            gear.moveTo(q);
        } else {
            gear.lineTo(q);
        }
    }
    gear.closeSubpath();
    gear.addEllipse(c, 4, 4);
    gear.setFillRule(Qt::OddEvenFill);
    QRadialGradient g(c - QPointF(4, 4), 16);
    g.setColorAt(0, QColor(245, 245, 245));
    g.setColorAt(1, QColor(160, 166, 176));
    p.setPen(QPen(QColor(20, 20, 20), 1.2));
    p.setBrush(g);
    p.drawPath(gear);
}

void magnifier(QPainter& p, QPointF c, bool plus) {
    const QPointF lens(c.x() - 3, c.y() - 2);
    p.setPen(QPen(QColor(20, 20, 20), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(7, 7), lens + QPointF(15, 14));
    p.setPen(QPen(QColor(200, 150, 60), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(8, 8), lens + QPointF(14, 13));
    p.setPen(QPen(QColor(230, 234, 240), 3));
    p.setBrush(QColor(40, 90, 160));
    p.drawEllipse(lens, 10, 10);
    p.setPen(QPen(QColor(255, 255, 255), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(lens + QPointF(-5.5, 0), lens + QPointF(5.5, 0));
    if (plus) {
        p.drawLine(lens + QPointF(0, -5.5), lens + QPointF(0, 5.5));
    }
}

void addButtonPair(BitmapSet& out, int id, const QString& caption, const IconPainter& icon) {
    out[id] = stripButton(caption, icon, false);
    out[id + 1] = stripButton(caption, icon, true);
}

// 16 x 14 quit key: white cross on red.
QImage quitButton() {
    QImage image = blankImage(16, 14, kFaceTop);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(60, 0, 0), 1));
    QLinearGradient g(0, 0, 0, 14);
    g.setColorAt(0, QColor(240, 70, 60));
    g.setColorAt(1, QColor(170, 20, 20));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 13), 3, 3);
    p.setPen(QPen(QColor(255, 255, 255), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 3.5), QPointF(11.5, 10.5));
    p.drawLine(QPointF(11.5, 3.5), QPointF(4.5, 10.5));
    return image;
}

// 19 x 17 lamp module: LED in a dark bezel.
QImage lamp(QColor led, bool lit) {
    QImage image = blankImage(19, 17, QColor(20, 22, 28));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    paintBevel(p, image.rect(), kBevelDark, QColor(90, 100, 118));
    const QPointF c(9.5, 8.5);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(70, 74, 82));
    p.drawEllipse(c, 7, 7);
    QRadialGradient g(c - QPointF(2, 2), 7);
    g.setColorAt(0, lit ? led.lighter(170) : led.lighter(130));
    g.setColorAt(0.6, led);
    g.setColorAt(1, lit ? led.darker(130) : led.darker(160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, 5.5, 5.5);
    p.setBrush(QColor(255, 255, 255, lit ? 220 : 90));
    p.drawEllipse(c - QPointF(2, 2), 1.6, 1.3);
    return image;
}

const Palette kSelectorPalette = {
    {'h', qRgb(255, 255, 255)}, {'f', qRgb(214, 216, 222)}, {'g', qRgb(180, 184, 192)},
    {'d', qRgb(70, 72, 80)},    {'k', qRgb(16, 16, 20)},
};

// Closed: raised key with a down triangle. Open: sunk key with an up triangle.
QImage selectorButton(bool open) {
    if (!open) {
        return pixelImage({"hhhhhhhhhhd",  //
                           "hfffffffffd",  //
                           "hfffffffffd",  //
                           "hfffffffffd",  //
                           "hfkkkkkkkfd",  //
                           "hffkkkkkffd",  //
                           "hfffkkkfffd",  //
                           "hffffkffffd",  //
                           "hfffffffffd",  //
                           "hfffffffffd",  //
                           "hfffffffffd",  //
                           "ddddddddddd"},
                          kSelectorPalette, qRgb(0, 0, 0));
    }
    return pixelImage({"ddddddddddd",  //
                       "dgggggggggh",  //
                       "dgggggggggh",  //
                       "dgggggggggh",  //
                       "dggggkggggh",  //
                       "dgggkkkgggh",  //
                       "dggkkkkkggh",  //
                       "dgkkkkkkkgh",  //
                       "dgggggggggh",  //
                       "dgggggggggh",  //
                       "dgggggggggh",  //
                       "dhhhhhhhhhh"},
                      kSelectorPalette, qRgb(0, 0, 0));
}

// Bevelled ends of a list item, matching the item's five colour bands.
QImage selectorEdges() {
    QImage image = blankImage(4, 46, QColor(0, 0, 0));
    struct Bands {
        QRgb top1, top2, face, bottom1, bottom2;
    };
    const Bands other{qRgb(189, 189, 189), qRgb(170, 169, 169), qRgb(153, 153, 153),
                      qRgb(104, 103, 103), qRgb(39, 39, 39)};
    const Bands current{qRgb(218, 217, 217), qRgb(207, 206, 206), qRgb(198, 196, 196),
                        qRgb(134, 133, 133), qRgb(50, 50, 50)};
    const auto fill = [&](int top, const Bands& b) {
        for (int y = 0; y < 23; ++y) {
            const bool last = y == 22, nextToLast = y == 21;
            // Left edge: highlight columns.
            image.setPixel(0, top + y, last ? b.bottom2 : b.top1);
            image.setPixel(
                1, top + y,
                y == 0 ? b.top1 : (last ? b.bottom2 : (nextToLast ? b.bottom1 : b.top2)));
            // Right edge: shadow columns.
            image.setPixel(2, top + y, y == 0 ? b.top1 : (last ? b.bottom2 : b.bottom1));
            image.setPixel(3, top + y, y == 0 ? b.top1 : b.bottom2);
        }
    };
    fill(0, other);
    fill(23, current);
    return image;
}

}  // namespace

void drawControls(BitmapSet& out) {
    addButtonPair(out, 401, QStringLiteral("Map"), mapIcon);
    addButtonPair(out, 403, QStringLiteral("Mark"), markIcon);
    addButtonPair(out, 405, QStringLiteral("Go to"), goToIcon);
    addButtonPair(out, 407, QStringLiteral("Menu"), gearIcon);
    addButtonPair(out, 461, QStringLiteral("In"),
                  [](QPainter& p, QPointF c) { magnifier(p, c, true); });
    addButtonPair(out, 463, QStringLiteral("Out"),
                  [](QPainter& p, QPointF c) { magnifier(p, c, false); });
    out[465] = quitButton();
    out[453] = lamp(QColor(64, 68, 74), false);
    out[454] = lamp(QColor(235, 30, 30), true);
    out[455] = lamp(QColor(40, 215, 70), true);
    out[456] = lamp(QColor(255, 205, 0), true);
    out[437] = selectorButton(true);
    out[438] = selectorButton(false);
    out[472] = selectorEdges();
}

}  // namespace wp2::art
