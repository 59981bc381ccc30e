// SPDX-License-Identifier: GPL-3.0-or-later
// The two big dial faces of the top area: the course dial (relative bearing of the
// target) and the speed dial. Both share one layout: a scale ring above the arrow
// pivot, a light hub disc under the small triangle, the receiver lamp's caption at
// bottom left of the centre and the dial's title at bottom right; the corners stay
// plain for the selector buttons, the quit button and the digit read-outs.

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "dial_geometry.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

constexpr double kDeg = kPi / 180.0;

void paintFace(QPainter& p) {
    const QRect all(0, 0, 240, 150);
    paintPanelFace(p, all, Side::Both);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A slightly lighter well behind the scale.
    QRadialGradient well(kDialPivot, 100);
    well.setColorAt(0.0, QColor(46, 54, 68));
    well.setColorAt(0.92, QColor(30, 36, 46));
    well.setColorAt(1.0, QColor(30, 36, 46, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(well);
    p.drawEllipse(kDialPivot, 100, 100);
}

// Coloured arc of the scale between two display angles (a1 > a2).
void paintBand(QPainter& p, double a1, double a2, QColor colour) {
    QPainterPath path;
    const QRectF outer(kDialPivot.x() - kBandOuter, kDialPivot.y() - kBandOuter, 2 * kBandOuter,
                       2 * kBandOuter);
    const QRectF inner(kDialPivot.x() - kBandInner, kDialPivot.y() - kBandInner, 2 * kBandInner,
                       2 * kBandInner);
    const double d1 = a1 / kDeg;
    const double d2 = a2 / kDeg;
    path.arcMoveTo(outer, d2);
    path.arcTo(outer, d2, d1 - d2);
    path.arcTo(inner, d1, d2 - d1);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void paintTick(QPainter& p, double a, double inner, double width) {
    p.setPen(QPen(kMarking, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(polar(kDialPivot, inner, a), polar(kDialPivot, kTickOuter, a));
}

// Scale number whose box keeps the same gap to the inner end of its tick whatever the
// direction: the box centre is pulled in by the box's extent along the ray.
void paintLabel(QPainter& p, double a, double radius, const QString& text) {
    const QFontMetricsF m(p.font());
    const double halfW = m.horizontalAdvance(text) / 2;
    const double halfH = m.capHeight() / 2 + 1;
    const double pull = std::abs(std::cos(a)) * halfW + std::abs(std::sin(a)) * halfH;
    textCentred(p, polar(kDialPivot, radius - pull, a), text);
}

// Light hub under the small direction triangle, with quarter marks.
void paintHub(QPainter& p) {
    QRadialGradient g(kDialPivot - QPointF(6, 6), kHubRadius * 1.6);
    g.setColorAt(0, QColor(240, 242, 246));
    g.setColorAt(1, QColor(170, 176, 186));
    p.setPen(QPen(QColor(10, 12, 16), 1.5));
    p.setBrush(g);
    p.drawEllipse(kDialPivot, kHubRadius, kHubRadius);
    p.setPen(QPen(QColor(60, 66, 78), 1.5, Qt::SolidLine, Qt::FlatCap));
    for (int q = 0; q < 8; ++q) {
        const double a = q * kPi / 4;
        const double inner = (q % 2 == 0) ? kHubRadius - 6 : kHubRadius - 3;
        p.drawLine(polar(kDialPivot, inner, a), polar(kDialPivot, kHubRadius - 1, a));
    }
}

// Captions along the bottom edge: "GPS" beside the receiver lamp at (66, 128) and
// the dial's title on the other side of the pivot.
void paintCaptions(QPainter& p, const QString& title) {
    p.setFont(fittedFont(QStringLiteral("GPS"), 24, 11, true));
    p.setPen(kSubtle);
    p.drawText(QRectF(88, 129, 24, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("GPS"));
    p.setFont(fittedFont(title, 64, 11, true));
    p.setPen(kLabel);
    p.drawText(QRectF(140, 129, 64, 16), Qt::AlignLeft | Qt::AlignVCenter, title);
}

QImage courseDial() {
    QImage image = blankImage(240, 150, kFaceBottom);
    QPainter p(&image);
    paintFace(p);
    // Port (left) red, starboard (right) green, meeting straight ahead.
    paintBand(p, courseArrowAngle(-90 * kDeg), courseArrowAngle(0), kPort);
    paintBand(p, courseArrowAngle(0), courseArrowAngle(90 * kDeg), kStarboard);
    for (int rb = -90; rb <= 90; rb += 10) {
        const double a = courseArrowAngle(rb * kDeg);
        if (rb % 30 == 0) {
            paintTick(p, a, kMajorTickInner, 2.5);
        } else {
            paintTick(p, a, kMinorTickInner, 1.2);
        }
    }
    p.setFont(uiFont(13, true));
    p.setPen(kMarking);
    for (int rb : {-90, -60, -30, 30, 60, 90}) {
        paintLabel(p, courseArrowAngle(rb * kDeg), kLabelRadius, QString::number(std::abs(rb)));
    }
    // Straight-ahead mark above the scale.
    QPolygonF ahead;
    const double top = kDialPivot.y() - kTickOuter - 2;
    ahead << QPointF(kDialPivot.x(), top) << QPointF(kDialPivot.x() - 7, top - 10)
          << QPointF(kDialPivot.x() + 7, top - 10);
    p.setPen(QPen(kBevelDark, 1));
    p.setBrush(kLabel);
    p.drawPolygon(ahead);
    p.setFont(uiFont(12, true));
    p.setPen(kPort.lighter(140));
    paintLabel(p, courseArrowAngle(-45 * kDeg), 50, QStringLiteral("L"));
    p.setPen(kStarboard.lighter(140));
    paintLabel(p, courseArrowAngle(45 * kDeg), 50, QStringLiteral("R"));
    paintHub(p);
    paintCaptions(p, QStringLiteral("TARGET"));
    return image;
}

QImage speedDial() {
    QImage image = blankImage(240, 150, kFaceBottom);
    QPainter p(&image);
    paintFace(p);
    // The arrow rests pointing down below about 24 km/h; the scale starts where it
    // first points left and ends where it is clamped to the right (about 183 km/h).
    const double first = speedArrowAngle(25);
    const double redFrom = speedArrowAngle(130);
    paintBand(p, first, redFrom, QColor(60, 110, 190));
    paintBand(p, redFrom, 0.0, kPort);
    for (int v = 25; v <= 180; v += 5) {
        const double a = speedArrowAngle(v);
        if (v % 20 == 0) {
            paintTick(p, a, kMajorTickInner, 2.5);
        } else if (v % 10 == 0) {
            paintTick(p, a, kMinorTickInner - 2, 1.6);
        } else {
            paintTick(p, a, kMinorTickInner + 3, 1.0);
        }
    }
    p.setFont(uiFont(13, true));
    p.setPen(kMarking);
    for (int v = 40; v <= 180; v += 20) {
        paintLabel(p, speedArrowAngle(v), kLabelRadius, QString::number(v));
    }
    // Inner miles-per-hour scale, for readers of the U.S. units.
    p.setPen(QPen(kLabel, 1.2, Qt::SolidLine, Qt::FlatCap));
    for (int mph = 20; mph <= 110; mph += 10) {
        const double a = speedArrowAngle(mph * 1.609344);
        p.drawLine(polar(kDialPivot, 47, a), polar(kDialPivot, 52, a));
    }
    p.setFont(uiFont(9, true));
    p.setPen(kLabel);
    for (int mph = 20; mph <= 100; mph += 20) {
        paintLabel(p, speedArrowAngle(mph * 1.609344), 43, QString::number(mph));
    }
    paintHub(p);
    paintCaptions(p, QString());
    // Title in the colours of the two scales: km/h white, mph amber.
    const QString kmh = QStringLiteral("km/h "), mph = QStringLiteral("mph");
    p.setFont(fittedFont(kmh + mph, 64, 11, true));
    const double split = 140 + QFontMetricsF(p.font()).horizontalAdvance(kmh);
    p.setPen(kMarking);
    p.drawText(QRectF(140, 129, split - 140, 16), Qt::AlignLeft | Qt::AlignVCenter, kmh);
    p.setPen(kLabel);
    p.drawText(QRectF(split, 129, 204 - split, 16), Qt::AlignLeft | Qt::AlignVCenter, mph);
    return image;
}

}  // namespace

void drawDials(BitmapSet& out) {
    out[424] = courseDial();
    out[409] = speedDial();
}

}  // namespace wp2::art
