// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours, fonts and small drawing helpers shared by every skin picture, so that the
// dials, panels and buttons read as one instrument panel.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QString>

namespace wp2::art {

// Dark instrument face, light markings.
inline const QColor kFaceTop(34, 40, 50);
inline const QColor kFaceBottom(16, 19, 25);
inline const QColor kBevelLight(96, 108, 128);
inline const QColor kBevelDark(4, 5, 8);
inline const QColor kMarking(245, 245, 245);
inline const QColor kLabel(255, 196, 40);     // amber captions
inline const QColor kSubtle(120, 134, 156);   // secondary captions, rules
inline const QColor kPort(200, 36, 36);       // left of the bow
inline const QColor kStarboard(30, 170, 70);  // right of the bow

// Which half of the lower screen a panel sits in; the outer screen edge gets the
// heavier frame so that a pair of panels reads as one unit.
enum class Side { Left, Right, Both };

// Loads the program's UI font when the system has it; falls back to DejaVu Sans.
void registerFonts();
QFont uiFont(int pixelSize, bool bold);
// The UI font at pixelSize, or smaller until text fits into width pixels.
QFont fittedFont(const QString& text, double width, int pixelSize, bool bold);

// An opaque RGB32 image filled with one colour.
QImage blankImage(int width, int height, QColor fill);

// Vertical gradient face with a bevelled frame.
void paintPanelFace(QPainter& p, const QRect& r, Side side);
// One-pixel raised (or sunken) frame just inside r.
void paintBevel(QPainter& p, const QRect& r, QColor light, QColor dark);

// Text centred on a point.
void textCentred(QPainter& p, QPointF centre, const QString& text);
// Point on a circle of radius r around c at the display angle a (0 right, pi/2 up).
QPointF polar(QPointF c, double r, double a);

}  // namespace wp2::art
