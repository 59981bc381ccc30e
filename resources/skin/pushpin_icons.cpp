// SPDX-License-Identifier: GPL-3.0-or-later
// The pushpin icon list: 89 bitmaps in a fixed order. The 59 of exactly 16 x 16 are
// the pictures a pushpin can wear (map pins, flags, signs and objects); the 30
// narrower ones (12 x 12 markers) complete the list. Black is transparent, so dark
// ink inside a picture is drawn in near-black (24, 24, 24).

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <vector>

#include "pixel_art.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(24, 24, 24);
const QRgb kW = qRgb(255, 255, 255);

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    return image;
}

QImage painted(int w, int h, const Painter& paint) {
    QImage image = canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    paint(p);
    return image;
}

// ---- map pins -------------------------------------------------------------

QImage pin(QColor fill) {
    return painted(16, 16, [&](QPainter& p) {
        const QPointF tip(8, 15.5);
        const double r = 5.6;
        const QPointF head(8, 6.2);
        QPainterPath path;
        path.moveTo(tip);
        path.lineTo(head.x() - r * 0.8, head.y() + r * 0.6);
        path.arcTo(QRectF(head.x() - r, head.y() - r, 2 * r, 2 * r), 217, -254);
        path.closeSubpath();
        QRadialGradient g(head - QPointF(2, 2), 9);
        g.setColorAt(0, fill.lighter(150));
        g.setColorAt(1, fill.darker(115));
        p.setPen(QPen(fill.darker(250), 1));
        p.setBrush(g);
        p.drawPath(path);
        p.setPen(Qt::NoPen);
        p.setBrush(fill.lightness() > 200 ? QColor(60, 60, 60) : QColor(255, 255, 255));
        p.drawEllipse(head, 1.9, 1.9);
    });
}

// ---- flags ----------------------------------------------------------------

QImage flag(QColor fill, bool chequered) {
    return painted(16, 16, [&](QPainter& p) {
        QPainterPath cloth;
        cloth.moveTo(4, 1.5);
        cloth.cubicTo(7, 0, 10, 3, 15, 1.5);
        cloth.lineTo(15, 9.5);
        cloth.cubicTo(10, 11, 7, 8, 4, 9.5);
        cloth.closeSubpath();
        p.setPen(Qt::NoPen);
        if (chequered) {
            p.setBrush(QColor(255, 255, 255));
            p.drawPath(cloth);
            p.save();
            p.setClipPath(cloth);
            p.setRenderHint(QPainter::Antialiasing, false);
            for (int y = 0; y < 12; y += 3) {
                for (int x = 4; x < 16; x += 3) {
                    if (((x - 4) / 3 + y / 3) % 2 == 0) {
                        p.fillRect(x, y, 3, 3, QColor(40, 40, 40));
                    }
                }
            }
            p.restore();
        } else {
            p.setBrush(fill);
            p.drawPath(cloth);
        }
        p.setPen(QPen(
            fill.lightness() > 200 || chequered ? QColor(110, 110, 110) : fill.darker(200), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(cloth);
        // Pole.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(2, 0, 2, 16, QColor(200, 200, 204));
        p.fillRect(3, 0, 1, 16, QColor(120, 120, 126));
    });
}

// ---- signs: a badge with a white 12 x 12 symbol ---------------------------

enum class Badge { Square, Circle };

QImage sign(Badge shape, QColor fill, const Rows& symbol, QRgb ink = kW) {
    QImage image = painted(16, 16, [&](QPainter& p) {
        p.setPen(QPen(fill.darker(200), 1));
        p.setBrush(fill);
        if (shape == Badge::Square) {
            p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        } else {
            p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        }
    });
    stamp(image, QPoint(2, 2), symbol, {{'W', ink}, {'R', qRgb(220, 30, 30)}});
    return image;
}

const QColor kService(30, 90, 200);
const QColor kNature(30, 140, 60);
const QColor kTourist(150, 84, 30);

const Rows kParking = {"............", "..WWWWWW....", "..WWWWWWW...", "..WW....WW..",
                       "..WW....WW..", "..WW....WW..", "..WWWWWWW...", "..WWWWWW....",
                       "..WW........", "..WW........", "..WW........", "............"};
const Rows kFuel = {"............", ".WWWWW......", ".W...W.W....", ".W...W..W...",
                    ".WWWWW..W...", ".WWWWWW.W...", ".WWWWW.WW...", ".WWWWW..W...",
                    ".WWWWW..W...", ".WWWWW.WW...", "WWWWWWW.....", "............"};
const Rows kFood = {"............", ".W.W.W...W..", ".W.W.W..WW..", ".W.W.W..WW..",
                    ".WWWWW..WW..", "..WWW...WW..", "...W....WW..", "...W...WWW..",
                    "...W.....W..", "...W.....W..", "...W.....W..", "............"};
const Rows kHotel = {"............", "............", "W...........", "W.WW........",
                     "W.WW.WWWWWW.", "W....WWWWWWW", "WWWWWWWWWWWW", "WWWWWWWWWWWW",
                     "W..........W", "W..........W", "............", "............"};
const Rows kPhone = {"............", ".WWW........", "WWWW........", "WWW.........",
                     "WW..........", "WW..........", "WWW.........", ".WWW.....WWW",
                     "..WWWW..WWWW", "...WWWWWWWW.", ".....WWWWW..", "............"};
const Rows kToilets = {"............", "............", "............", "W...W.WWWW..",
                       "W...W.W.....", "W.W.W.W.....", "W.W.W.W.....", "WW.WW.W.....",
                       "W...W.WWWW..", "............", "............", "............"};
const Rows kInfo = {"............", ".....WW.....", ".....WW.....", "............",
                    "....WWW.....", ".....WW.....", ".....WW.....", ".....WW.....",
                    ".....WW.....", ".....WW.....", "....WWWW....", "............"};
const Rows kFirstAid = {"............", "....RRRR....", "....RRRR....", "....RRRR....",
                        ".RRRRRRRRRR.", ".RRRRRRRRRR.", ".RRRRRRRRRR.", ".RRRRRRRRRR.",
                        "....RRRR....", "....RRRR....", "....RRRR....", "............"};
const Rows kBus = {"............", ".WWWWWWWWWW.", ".W........W.", ".W........W.",
                   ".W........W.", ".WWWWWWWWWW.", ".WWWWWWWWWW.", ".WW.WWWW.WW.",
                   ".WWWWWWWWWW.", "..WW....WW..", "..WW....WW..", "............"};
const Rows kTrain = {"............", "...WWWWWW...", "..WWWWWWWW..", "..W......W..",
                     "..W......W..", "..WWWWWWWW..", "..WW.WW.WW..", "..WWWWWWWW..",
                     "...WWWWWW...", "..W......W..", ".W........W.", "............"};
const Rows kPlane = {".....WW.....", ".....WW.....", ".....WW.....", "....WWWW....",
                     "..WWWWWWWW..", "WWWWWWWWWWWW", "WWW..WW..WWW", ".....WW.....",
                     ".....WW.....", "....WWWW....", "...WWWWWW...", "............"};
const Rows kCoffee = {"............", "...W..W.....", "....W..W....", "...W..W.....",
                      "............", ".WWWWWWWW...", ".WWWWWWWWWW.", ".WWWWWWWW.W.",
                      ".WWWWWWWWWW.", "..WWWWWW....", "WWWWWWWWWW..", "............"};
const Rows kShop = {"............", "WW..........", ".W..........", ".WWWWWWWWWW.",
                    ".WWWWWWWWW..", "..WWWWWWWW..", "..WWWWWWW...", "..W.........",
                    "..WWWWWWWW..", "...WW...WW..", "...WW...WW..", "............"};
const Rows kBank = {".....W......", "...WWWWWW...", "..WW.W..WW..", "..WW.W......",
                    "...WWWW.....", ".....WWWW...", ".....W..WW..", "..WW.W..WW..",
                    "...WWWWWW...", ".....W......", "............", "............"};
const Rows kPost = {"............", "............", "WWWWWWWWWWWW", "WW........WW",
                    "W.W......W.W", "W..W....W..W", "W...W..W...W", "W....WW....W",
                    "W..........W", "WWWWWWWWWWWW", "............", "............"};
const Rows kRepair = {"........WW..", ".......WW..W", ".......WW.WW", "......WWWWWW",
                      ".....WWWWWW.", "....WWW.....", "...WWW......", "..WWW.......",
                      ".WWW........", "WWW.........", "WW..........", "............"};
const Rows kTent = {"............", ".....WW.....", ".....WW.....", "....WWWW....",
                    "....WWWW....", "...WWWWWW...", "...WW..WW...", "..WWW..WWW..",
                    "..WW....WW..", ".WWW....WWW.", "WWWWWWWWWWWW", "............"};
const Rows kTree = {".....WW.....", "....WWWW....", "...WWWWWW...", "....WWWW....",
                    "...WWWWWW...", "..WWWWWWWW..", "...WWWWWW...", "..WWWWWWWW..",
                    ".WWWWWWWWWW.", ".....WW.....", ".....WW.....", "............"};
const Rows kFish = {"............", "............", "............", "....WWWW...W",
                    "..WWWWWWW.WW", ".WW.WWWWWWWW", "WWWWWWWWWWW.", ".WWWWWWWWWWW",
                    "..WWWWWWW.WW", "....WWWW...W", "............", "............"};
const Rows kHiker = {"......WW....", "......WW....", "....WWW.....", "...WWWWW....",
                     "..W.WWW.W...", "....WWW..W..", "....WWW.....", "...WW.WW....",
                     "..WW...WW...", "..W.....W...", ".WW.....WW..", "............"};
const Rows kPicnic = {"............", "............", "WWWWWWWWWWWW", "WWWWWWWWWWWW",
                      "..W......W..", "..W......W..", "WWWWWWWWWWWW", "..W......W..",
                      ".W........W.", ".W........W.", "W..........W", "............"};
const Rows kSun = {".....WW.....", ".W...WW...W.", "..W......W..", "....WWWW....",
                   "...WWWWWW...", "WW.WWWWWW.WW", "WW.WWWWWW.WW", "...WWWWWW...",
                   "....WWWW....", "..W......W..", ".W...WW...W.", ".....WW....."};
const Rows kMushroom = {"............", "...WWWWWW...", ".WWWWWWWWWW.", "WWW.WWWWW.WW",
                        "WWWWWWW.WWWW", "WWWWWWWWWWWW", "....WWWW....", "....WWWW....",
                        "....WWWW....", "...WWWWWW...", "............", "............"};
const Rows kCastle = {"............", "W.W.W..W.W.W", "WWWWW..WWWWW", ".WWW....WWW.",
                      ".WWW.WW.WWW.", ".WWWWWWWWWW.", ".WWWWWWWWWW.", ".WWWW..WWWW.",
                      ".WWW....WWW.", ".WWW....WWW.", ".WWW....WWW.", "............"};
const Rows kChurch = {".....W......", "....WWW.....", ".....W......", "....WWW.....",
                      "...WWWWW....", "...WW.WW....", "...WWWWW....", ".WWWWWWWWW..",
                      "WWWWWWWWWWW.", ".WWWW.WWWW..", ".WWW...WWW..", ".WWW...WWW.."};
const Rows kCamera = {"............", "............", "...WWW......", ".WWWWWWWWWW.",
                      "WWWW...WWWWW", "WWW.....WWWW", "WWW.....WWWW", "WWW.....WWWW",
                      "WWWW...WWWWW", ".WWWWWWWWWW.", "............", "............"};
const Rows kMuseum = {"............", ".....WW.....", "...WWWWWW...", ".WWWWWWWWWW.",
                      "WWWWWWWWWWWW", "............", ".WW..WW..WW.", ".WW..WW..WW.",
                      ".WW..WW..WW.", ".WW..WW..WW.", "WWWWWWWWWWWW", "WWWWWWWWWWWW"};
const Rows kBinoculars = {"............", "..WWW..WWW..", "..WWW..WWW..", ".WWWWWWWWWW.",
                          ".WWWW..WWWW.", "WWWWW..WWWWW", "WWWWW..WWWWW", "WWWWW..WWWWW",
                          "W...W..W...W", "W...W..W...W", "WWWWW..WWWWW", "............"};
const Rows kQuestion = {"............", "...WWWWW....", "..WW...WW...", "..WW...WW...",
                        ".......WW...", "......WW....", ".....WW.....", ".....WW.....",
                        "............", ".....WW.....", ".....WW.....", "............"};
const Rows kAnchor = {".....WW.....", "....W..W....", ".....WW.....", ".....WW.....",
                      "..WWWWWWWW..", ".....WW.....", ".....WW.....", "W....WW....W",
                      "WW...WW...WW", ".WW..WW..WW.", "..WWWWWWWW..", "....WWWW...."};

// ---- objects drawn freely ---------------------------------------------------

QImage house() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 40), 1));
        p.setBrush(QColor(245, 235, 210));
        p.drawRect(QRectF(2.5, 7.5, 11, 7.5));
        p.setBrush(QColor(130, 80, 40));
        p.drawRect(QRectF(6.5, 10.5, 3, 4.5));
        p.setBrush(QColor(120, 190, 255));
        p.drawRect(QRectF(10, 9, 2.5, 2.5));
        p.setPen(QPen(QColor(110, 10, 10), 1));
        p.setBrush(QColor(220, 40, 30));
        p.drawRect(QRectF(10.5, 1.5, 2, 4));
        p.drawPolygon(QPolygonF({QPointF(0.5, 8.5), QPointF(8, 1), QPointF(15.5, 8.5)}));
    });
}

QImage car() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(100, 10, 10), 1));
        p.setBrush(QColor(225, 35, 35));
        QPainterPath body;
        body.moveTo(0.5, 11.5);
        body.lineTo(0.5, 8.5);
        body.lineTo(3.5, 7.5);
        body.lineTo(5.5, 3.5);
        body.lineTo(11, 3.5);
        body.lineTo(13, 7.5);
        body.lineTo(15.5, 8.5);
        body.lineTo(15.5, 11.5);
        body.closeSubpath();
        p.drawPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 220, 255));
        p.drawPolygon(
            QPolygonF({QPointF(4.6, 7.4), QPointF(6.2, 4.6), QPointF(8, 4.6), QPointF(8, 7.4)}));
        p.drawPolygon(
            QPolygonF({QPointF(9, 7.4), QPointF(9, 4.6), QPointF(10.4, 4.6), QPointF(12, 7.4)}));
        for (double x : {4.0, 12.0}) {
            p.setPen(QPen(QColor(24, 24, 24), 1));
            p.setBrush(QColor(50, 50, 54));
            p.drawEllipse(QPointF(x, 12), 2.6, 2.6);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(190, 190, 196));
            p.drawEllipse(QPointF(x, 12), 1.0, 1.0);
        }
    });
}

QImage cache() {
    return painted(16, 16, [](QPainter& p) {
        // Olive container with a lid, handle and a yellow latch.
        p.setPen(QPen(QColor(40, 50, 15), 1));
        p.setBrush(QColor(110, 130, 50));
        p.drawRect(QRectF(1.5, 6.5, 13, 8));
        p.setBrush(QColor(140, 162, 70));
        p.drawRect(QRectF(0.5, 4.5, 15, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5.5, 1.5, 5, 3));
        p.setPen(QPen(QColor(90, 70, 0), 1));
        p.setBrush(QColor(255, 210, 30));
        p.drawRect(QRectF(6.5, 7.5, 3, 3));
        p.setPen(QPen(QColor(60, 75, 25), 1));
        p.drawLine(QPointF(2.5, 12.5), QPointF(13.5, 12.5));
    });
}

QPolygonF starShape(QPointF c, double outer, double inner) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = M_PI / 2 + i * M_PI / 5;
        star << polar(c, (i % 2 == 0) ? outer : inner, a);
    }
    return star;
}

QImage star() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(170, 90, 0), 1));
        p.setBrush(QColor(255, 215, 0));
        p.drawPolygon(starShape(QPointF(8, 8.6), 7.6, 3.1));
    });
}

QImage heart() {
    return painted(16, 16, [](QPainter& p) {
        QPainterPath h;
        h.moveTo(8, 14.5);
        h.cubicTo(1, 9.5, 0, 6, 1.5, 3.5);
        h.cubicTo(3.5, 0.5, 7, 1.5, 8, 4.5);
        h.cubicTo(9, 1.5, 12.5, 0.5, 14.5, 3.5);
        h.cubicTo(16, 6, 15, 9.5, 8, 14.5);
        p.setPen(QPen(QColor(110, 0, 20), 1));
        p.setBrush(QColor(230, 30, 60));
        p.drawPath(h);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 160, 170));
        p.drawEllipse(QPointF(4.5, 5), 1.3, 1.3);
    });
}

QImage sailboat() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 96), 1));
        p.setBrush(QColor(250, 250, 250));
        p.drawPolygon(QPolygonF({QPointF(7.5, 0.5), QPointF(7.5, 10.5), QPointF(1.5, 10.5)}));
        p.drawPolygon(QPolygonF({QPointF(8.5, 2.5), QPointF(8.5, 10.5), QPointF(13.5, 10.5)}));
        p.setPen(QPen(QColor(70, 30, 10), 1));
        p.setBrush(QColor(160, 90, 40));
        p.drawPolygon(
            QPolygonF({QPointF(0.5, 11), QPointF(15.5, 11), QPointF(13, 14), QPointF(3, 14)}));
        p.setPen(QPen(QColor(40, 120, 230), 1.4));
        p.drawLine(QPointF(0, 15.3), QPointF(16, 15.3));
    });
}

QImage target() {
    return painted(16, 16, [](QPainter& p) {
        const QPointF c(8, 8);
        p.setPen(QPen(QColor(110, 0, 0), 1));
        p.setBrush(QColor(225, 30, 30));
        p.drawEllipse(c, 7.4, 7.4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(c, 5.2, 5.2);
        p.setBrush(QColor(225, 30, 30));
        p.drawEllipse(c, 3.2, 3.2);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(c, 1.2, 1.2);
    });
}

QImage lighthouse() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 90));
        p.drawPolygon(QPolygonF({QPointF(8, 3.5), QPointF(0, 1), QPointF(0, 6)}));
        p.drawPolygon(QPolygonF({QPointF(8, 3.5), QPointF(16, 1), QPointF(16, 6)}));
        p.setPen(QPen(QColor(60, 20, 20), 1));
        p.setBrush(QColor(255, 240, 120));
        p.drawRect(QRectF(6.5, 2.5, 3, 3));
        p.setBrush(QColor(60, 60, 66));
        p.drawPolygon(QPolygonF({QPointF(5.5, 2.5), QPointF(8, 0.5), QPointF(10.5, 2.5)}));
        // Striped tower.
        const QPolygonF tower(
            {QPointF(6, 5.5), QPointF(10, 5.5), QPointF(11.5, 15.5), QPointF(4.5, 15.5)});
        p.setBrush(QColor(255, 255, 255));
        p.drawPolygon(tower);
        p.save();
        QPainterPath clip;
        clip.addPolygon(tower);
        p.setClipPath(clip);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawRect(QRectF(0, 6, 16, 3));
        p.drawRect(QRectF(0, 12, 16, 3));
        p.restore();
    });
}

QImage bridge() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 120, 230));
        p.drawRect(QRectF(0, 12, 16, 4));
        QPainterPath deck;
        deck.addRect(QRectF(0, 4, 16, 10));
        QPainterPath arch;
        arch.addEllipse(QRectF(2.5, 8, 11, 12));
        p.setPen(QPen(QColor(70, 70, 76), 1));
        p.setBrush(QColor(180, 180, 186));
        p.drawPath(deck.subtracted(arch));
        p.setPen(QPen(QColor(90, 90, 96), 1));
        p.drawLine(QPointF(0, 4.5), QPointF(16, 4.5));
        p.drawLine(QPointF(0, 2.5), QPointF(16, 2.5));
        for (double x = 1.5; x < 16; x += 3) {
            p.drawLine(QPointF(x, 2.5), QPointF(x, 4.5));
        }
    });
}

QImage peak() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 40, 20), 1));
        p.setBrush(QColor(140, 100, 60));
        p.drawPolygon(QPolygonF({QPointF(0.5, 15), QPointF(6.5, 2.5), QPointF(9.5, 8),
                                 QPointF(11, 6), QPointF(15.5, 15)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawPolygon(QPolygonF({QPointF(4.6, 6.4), QPointF(6.5, 2.6), QPointF(8.6, 6.4),
                                 QPointF(7.2, 5.6), QPointF(6, 7)}));
        p.setBrush(QColor(220, 30, 30));
        p.drawRect(QRectF(6.1, 0, 1, 3));
        p.drawPolygon(QPolygonF({QPointF(7, 0), QPointF(10, 1), QPointF(7, 2)}));
    });
}

QImage water() {
    return painted(16, 16, [](QPainter& p) {
        QPainterPath drop;
        drop.moveTo(8, 0.5);
        drop.cubicTo(9, 4, 13.5, 7, 13.5, 10);
        drop.cubicTo(13.5, 13.5, 11, 15.5, 8, 15.5);
        drop.cubicTo(5, 15.5, 2.5, 13.5, 2.5, 10);
        drop.cubicTo(2.5, 7, 7, 4, 8, 0.5);
        QRadialGradient g(QPointF(6, 8), 9);
        g.setColorAt(0, QColor(120, 200, 255));
        g.setColorAt(1, QColor(20, 90, 220));
        p.setPen(QPen(QColor(10, 40, 120), 1));
        p.setBrush(g);
        p.drawPath(drop);
        p.setPen(QPen(QColor(230, 245, 255), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(4.5, 8, 5, 5), 160 * 16, 70 * 16);
    });
}

QImage campfire() {
    return painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(60, 30, 10), 1));
        p.setBrush(QColor(140, 80, 30));
        p.drawPolygon(
            QPolygonF({QPointF(1, 12.5), QPointF(2, 11), QPointF(15, 14.5), QPointF(14, 16)}));
        p.drawPolygon(
            QPolygonF({QPointF(15, 12.5), QPointF(14, 11), QPointF(1, 14.5), QPointF(2, 16)}));
        QPainterPath flame;
        flame.moveTo(8, 0.5);
        flame.cubicTo(10, 4, 13, 6, 12, 10);
        flame.cubicTo(11.5, 12, 9.5, 13, 8, 13);
        flame.cubicTo(6.5, 13, 4.5, 12, 4, 10);
        flame.cubicTo(3.5, 7.5, 5, 6, 6, 4);
        flame.cubicTo(6.5, 6, 7, 6.5, 7.5, 6.5);
        flame.cubicTo(8, 5, 8.5, 3, 8, 0.5);
        p.setPen(QPen(QColor(190, 40, 0), 1));
        p.setBrush(QColor(255, 120, 0));
        p.drawPath(flame);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 230, 60));
        p.drawEllipse(QPointF(8, 10.2), 2.2, 2.6);
    });
}

QImage danger() {
    QImage image = painted(16, 16, [](QPainter& p) {
        p.setPen(QPen(QColor(200, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 255, 255));
        p.drawPolygon(QPolygonF({QPointF(8, 1.4), QPointF(14.8, 14), QPointF(1.2, 14)}));
    });
    stamp(image, QPoint(7, 5), {"KK", "KK", "KK", "KK", "..", "KK"}, {{'K', qRgb(24, 24, 24)}});
    return image;
}

QImage skull() {
    return painted(16, 16, [](QPainter& p) {
        // Crossed bones behind a skull.
        p.setPen(QPen(QColor(230, 230, 220), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2, 10), QPointF(14, 15));
        p.drawLine(QPointF(14, 10), QPointF(2, 15));
        p.setPen(QPen(QColor(120, 120, 110), 1));
        p.setBrush(QColor(245, 245, 235));
        p.drawEllipse(QRectF(2.5, 0.5, 11, 10));
        p.drawRect(QRectF(5.5, 8.5, 5, 3.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(24, 24, 24));
        p.drawEllipse(QPointF(5.8, 5.5), 1.8, 1.9);
        p.drawEllipse(QPointF(10.2, 5.5), 1.8, 1.9);
        p.drawPolygon(QPolygonF({QPointF(8, 7.2), QPointF(7, 9), QPointF(9, 9)}));
    });
}

// ---- the narrow markers: 12 x 12 shapes ---------------------------------------

enum class Shape { Circle, Square, Triangle, Diamond, Star };

QImage marker(Shape shape, QColor fill) {
    return painted(12, 12, [&](QPainter& p) {
        p.setPen(QPen(fill.darker(220), 1));
        p.setBrush(fill);
        switch (shape) {
            case Shape::Circle:
                p.drawEllipse(QRectF(1, 1, 10, 10));
                break;
            case Shape::Square:
                p.drawRect(QRectF(1.5, 1.5, 9, 9));
                break;
            case Shape::Triangle:
                p.drawPolygon(
                    QPolygonF({QPointF(6, 0.8), QPointF(11.3, 10.8), QPointF(0.7, 10.8)}));
                break;
            case Shape::Diamond:
                p.drawPolygon(QPolygonF(
                    {QPointF(6, 0.5), QPointF(11.5, 6), QPointF(6, 11.5), QPointF(0.5, 6)}));
                break;
            case Shape::Star:
                p.drawPolygon(starShape(QPointF(6, 6.4), 5.8, 2.4));
                break;
        }
    });
}

void addMarkers(std::vector<QImage>& list, Shape shape) {
    for (const QColor& c : {QColor(230, 40, 40), QColor(40, 100, 240), QColor(40, 190, 70),
                            QColor(255, 215, 0), QColor(210, 60, 210), QColor(60, 210, 230)}) {
        list.push_back(marker(shape, c));
    }
}

}  // namespace

void drawPushpinIcons(BitmapSet& out) {
    std::vector<QImage> list;
    // Map pins.
    for (const QColor& c :
         {QColor(230, 40, 40), QColor(40, 100, 240), QColor(40, 180, 60), QColor(255, 210, 0),
          QColor(255, 130, 0), QColor(150, 60, 210), QColor(240, 240, 240), QColor(40, 200, 230)}) {
        list.push_back(pin(c));
    }
    addMarkers(list, Shape::Circle);
    // Flags.
    for (const QColor& c : {QColor(230, 40, 40), QColor(40, 100, 240), QColor(40, 180, 60),
                            QColor(255, 210, 0), QColor(255, 130, 0), QColor(245, 245, 245)}) {
        list.push_back(flag(c, false));
    }
    list.push_back(flag(QColor(245, 245, 245), true));
    addMarkers(list, Shape::Square);
    // Objects.
    list.push_back(house());
    list.push_back(car());
    list.push_back(cache());
    list.push_back(star());
    list.push_back(heart());
    list.push_back(sign(Badge::Circle, QColor(40, 100, 240), kQuestion));
    list.push_back(sailboat());
    list.push_back(target());
    list.push_back(sign(Badge::Circle, QColor(20, 50, 120), kAnchor));
    list.push_back(lighthouse());
    list.push_back(bridge());
    addMarkers(list, Shape::Triangle);
    // Services.
    for (const Rows* symbol :
         {&kParking, &kFuel, &kFood, &kHotel, &kPhone, &kToilets, &kInfo, &kBus, &kTrain, &kPlane,
          &kCoffee, &kShop, &kBank, &kPost, &kRepair}) {
        list.push_back(sign(Badge::Square, kService, *symbol));
    }
    list.push_back(sign(Badge::Square, QColor(245, 245, 245), kFirstAid));
    addMarkers(list, Shape::Diamond);
    // Nature, sights, dangers.
    for (const Rows* symbol : {&kTent, &kTree, &kFish, &kHiker, &kPicnic, &kSun, &kMushroom}) {
        list.push_back(sign(Badge::Square, kNature, *symbol));
    }
    list.push_back(peak());
    list.push_back(water());
    list.push_back(campfire());
    for (const Rows* symbol : {&kCastle, &kChurch, &kCamera, &kMuseum, &kBinoculars}) {
        list.push_back(sign(Badge::Square, kTourist, *symbol));
    }
    list.push_back(danger());
    list.push_back(skull());
    addMarkers(list, Shape::Star);

    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        out[1001 + i] = list[i];
    }
}

}  // namespace wp2::art
