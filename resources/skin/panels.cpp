// SPDX-License-Identifier: GPL-3.0-or-later
// The 120 x 114 panels of the two lower screen areas. The selector button of the
// area sits at (5, 5) of each panel, so every panel keeps that corner plain.

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "dial_geometry.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 114;

QImage panelImage(Side side) {
    QImage image = blankImage(kWidth, kHeight, kFaceBottom);
    QPainter p(&image);
    paintPanelFace(p, image.rect(), side);
    return image;
}

// A recessed, darker display area for text.
void paintInset(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, QColor(10, 13, 18));
    paintBevel(p, r, kBevelDark, QColor(70, 80, 98));
    p.restore();
}

void paintRule(QPainter& p, int x1, int x2, int y) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(44, 52, 66));
    p.drawLine(x1, y, x2, y);
    p.restore();
}

// Heading-up compass: the face stays put with the direction of travel at the top
// (lubber mark); the needle (centre (61, 58), 38 long) turns over it, blue to north.
QImage compassPanel(Side side) {
    QImage image = panelImage(side);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(61, 58);
    QRadialGradient bezel(c - QPointF(10, 10), 70);
    bezel.setColorAt(0, QColor(150, 158, 172));
    bezel.setColorAt(1, QColor(40, 44, 52));
    p.setPen(QPen(kBevelDark, 1));
    p.setBrush(bezel);
    p.drawEllipse(c, 53, 53);
    QRadialGradient face(c - QPointF(12, 14), 70);
    face.setColorAt(0, QColor(252, 252, 250));
    face.setColorAt(1, QColor(206, 210, 216));
    p.setBrush(face);
    p.setPen(QPen(QColor(60, 64, 72), 1));
    p.drawEllipse(c, 48, 48);
    for (int d = 0; d < 360; d += 10) {
        const double a = d * kPi / 180;
        const bool major = d % 30 == 0;
        p.setPen(QPen(QColor(30, 34, 42), major ? 2.2 : 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(c, major ? 39 : 43, a), polar(c, 47, a));
    }
    // Lubber mark: direction of travel.
    QPolygonF lubber;
    lubber << QPointF(c.x(), c.y() - 41) << QPointF(c.x() - 6, c.y() - 53)
           << QPointF(c.x() + 6, c.y() - 53);
    p.setPen(QPen(kBevelDark, 1));
    p.setBrush(kLabel);
    p.drawPolygon(lubber);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 34, 42));
    p.drawEllipse(c, 3, 3);
    // Legend for the needle's two halves.
    p.setFont(uiFont(11, true));
    const auto legend = [&](QPointF at, QColor fill, const QString& text) {
        QPolygonF tri;
        tri << at + QPointF(0, -5) << at + QPointF(-4, 4) << at + QPointF(4, 4);
        p.setPen(QPen(kBevelDark, 1));
        p.setBrush(fill);
        p.drawPolygon(tri);
        p.setPen(kMarking);
        p.drawText(QRectF(at.x() + 5, at.y() - 7, 12, 14), Qt::AlignCenter, text);
    };
    legend(QPointF(8, 104), QColor(0, 0, 255), QStringLiteral("N"));
    legend(QPointF(100, 104), QColor(255, 0, 0), QStringLiteral("S"));
    return image;
}

// Sky view: horizon circle of radius 40 around (60, 57), zenith in the centre, north
// up and east to the left (the sky seen from below).
QImage skyPanel() {
    QImage image = panelImage(Side::Both);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(60, 57);
    QRadialGradient sky(c, 44);
    sky.setColorAt(0, QColor(36, 64, 128));
    sky.setColorAt(1, QColor(12, 24, 58));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawEllipse(c, 40, 40);
    const QColor grid(90, 120, 180);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(grid, 1));
    // Elevation 60 and 30 degrees: radius cos(e) x 40.
    p.drawEllipse(c, 20, 20);
    p.drawEllipse(c, 34.64, 34.64);
    p.drawLine(QPointF(c.x() - 40, c.y()), QPointF(c.x() + 40, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 40), QPointF(c.x(), c.y() + 40));
    p.setPen(QPen(QColor(170, 196, 240), 1.6));
    p.drawEllipse(c, 40, 40);
    p.setFont(uiFont(11, true));
    p.setPen(kLabel);
    textCentred(p, QPointF(c.x(), c.y() - 48), QStringLiteral("N"));
    p.setPen(kMarking);
    textCentred(p, QPointF(c.x() - 49, c.y()), QStringLiteral("E"));
    textCentred(p, QPointF(c.x() + 49, c.y()), QStringLiteral("W"));
    textCentred(p, QPointF(c.x(), c.y() + 49), QStringLiteral("S"));
    return image;
}

// Destination: title, icon frame at (100, 5), name area (8, 22)-(117, 62) and the
// distance, time-to-go and clock rows whose values the panel writes at x 46 / 76.
QImage destinationPanel(Side side) {
    QImage image = panelImage(side);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QString title = QStringLiteral("Destination");
    p.setFont(fittedFont(title, 76, 12, true));
    p.setPen(kLabel);
    p.drawText(QRect(21, 3, 76, 16), Qt::AlignLeft | Qt::AlignVCenter, title);
    paintInset(p, QRect(98, 3, 19, 19));
    paintInset(p, QRect(4, 21, 113, 41));
    paintRule(p, 4, 116, 77);
    paintRule(p, 4, 116, 93);
    p.setFont(uiFont(11, true));
    p.setPen(kSubtle);
    p.drawText(QRect(8, 62, 37, 15), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Dist"));
    p.drawText(QRect(8, 78, 66, 15), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("To go"));
    p.drawText(QRect(8, 94, 66, 15), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Clock"));
    return image;
}

// Position: the panel writes "Position" at (25, 3) and three rows from y 22, 20
// apart; a small globe fills the free lower part.
QImage positionPanel(Side side) {
    QImage image = panelImage(side);
    QPainter p(&image);
    paintInset(p, QRect(4, 21, 113, 62));
    paintRule(p, 5, 115, 42);
    paintRule(p, 5, 115, 62);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF g(20, 98);
    p.setPen(QPen(kSubtle, 1));
    p.setBrush(QColor(24, 44, 80));
    p.drawEllipse(g, 10, 10);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(g, 4.5, 10);
    p.drawLine(QPointF(g.x(), g.y() - 10), QPointF(g.x(), g.y() + 10));
    p.drawLine(QPointF(g.x() - 10, g.y()), QPointF(g.x() + 10, g.y()));
    p.drawLine(QPointF(g.x() - 8.6, g.y() - 5), QPointF(g.x() + 8.6, g.y() - 5));
    p.drawLine(QPointF(g.x() - 8.6, g.y() + 5), QPointF(g.x() + 8.6, g.y() + 5));
    p.setFont(uiFont(11, true));
    p.setPen(kSubtle);
    p.drawText(QRect(36, 90, 78, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("WGS 84"));
    return image;
}

}  // namespace

void drawPanels(BitmapSet& out) {
    out[467] = compassPanel(Side::Left);
    out[468] = compassPanel(Side::Right);
    out[469] = destinationPanel(Side::Left);
    out[470] = destinationPanel(Side::Right);
    out[471] = skyPanel();
    out[477] = positionPanel(Side::Left);
    out[478] = positionPanel(Side::Right);
}

}  // namespace wp2::art
