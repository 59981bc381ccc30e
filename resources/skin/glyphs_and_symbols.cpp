// SPDX-License-Identifier: GPL-3.0-or-later
// Read-out digit glyphs (key colour (120, 0, 120)), the two satellite dots of the sky
// view and the position marker of the track map. All are drawn pixel by pixel, with
// no blending against the key colour, so the transparent area is exact.

#include <cmath>

#include "pixel_art.h"
#include "skin_art.h"
#include "skin_style.h"

namespace wp2::art {
namespace {

const QRgb kGlyphKey = qRgb(120, 0, 120);
const QRgb kDigitInk = qRgb(255, 255, 255);
const QRgb kDigitOutline = qRgb(16, 16, 20);

// 8 x 14 digit shapes; the glyph adds a one-pixel dark outline around them.
const Rows kDigits[10] = {
    {"..####..", ".######.", "###..###", "##....##", "##....##", "##....##", "##....##", "##....##",
     "##....##", "##....##", "##....##", "###..###", ".######.", "..####.."},
    {"....##..", "...###..", "..####..", ".##.##..", "....##..", "....##..", "....##..", "....##..",
     "....##..", "....##..", "....##..", "....##..", "..######", "..######"},
    {"..####..", ".######.", "###..###", "##....##", "......##", ".....###", "....###.", "...###..",
     "..###...", ".###....", "###.....", "##......", "########", "########"},
    {"..####..", ".######.", "###..###", "##....##", "......##", ".....###", "...####.", "...####.",
     ".....###", "......##", "##....##", "###..###", ".######.", "..####.."},
    {".....##.", "....###.", "...####.", "..##.##.", ".##..##.", "##...##.", "##...##.", "########",
     "########", ".....##.", ".....##.", ".....##.", ".....##.", ".....##."},
    {"########", "########", "##......", "##......", "##.###..", "#######.", "###..###", "......##",
     "......##", "......##", "##....##", "###..###", ".######.", "..####.."},
    {"..#####.", ".######.", "###.....", "##......", "##.###..", "#######.", "###..###", "##....##",
     "##....##", "##....##", "##....##", "###..###", ".######.", "..####.."},
    {"########", "########", "......##", ".....###", ".....##.", "....###.", "....##..", "...###..",
     "...##...", "...##...", "..###...", "..##....", "..##....", "..##...."},
    {"..####..", ".######.", "###..###", "##....##", "##....##", "###..###", ".######.", ".######.",
     "###..###", "##....##", "##....##", "###..###", ".######.", "..####.."},
    {"..####..", ".######.", "###..###", "##....##", "##....##", "##....##", "##....##", "###..###",
     ".#######", "..###.##", "......##", ".....###", ".######.", ".#####.."},
};

// The decimal point: what the read-outs draw for every character that is not a digit.
const Rows kPoint = {"...", "...", "...", "...", "...", "...", "...",
                     "...", "...", "...", "...", "###", "###", "###"};

// The minus sign, at the height of a digit's middle bar.
const Rows kMinus = {"......", "......", "......", "......", "......", "......", "######",
                     "######", "......", "......", "......", "......", "......", "......"};

// Core shape at (1, 1) of a glyph one pixel larger on every side, outlined.
QImage outlinedGlyph(const Rows& core) {
    const int w = rowsWidth(core) + 2;
    const int h = static_cast<int>(core.size()) + 2;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kGlyphKey);
    stamp(image, QPoint(1, 1), core, {{'#', kDigitInk}});
    QImage result = image.copy();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (image.pixel(x, y) != kGlyphKey) {
                continue;
            }
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint q(x + dx, y + dy);
                    if (image.rect().contains(q) && image.pixel(q) == kDigitInk) {
                        touches = true;
                        break;
                    }
                }
            }
            if (touches) {
                result.setPixel(x, y, kDigitOutline);
            }
        }
    }
    return result;
}

// A round dot of radius r centred in a size x size image: fill, rim, optional
// highlight; everything else is the key colour.
QImage dot(int size, double fillRadius, double rimRadius, QRgb fill, QRgb rim, QRgb highlight,
           QRgb key) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(key);
    const double c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c);
            if (d <= fillRadius) {
                const bool shine = std::hypot(x - (c - 1.5), y - (c - 1.5)) <= 1.2;
                image.setPixel(x, y, shine ? highlight : fill);
            } else if (d <= rimRadius) {
                image.setPixel(x, y, rim);
            }
        }
    }
    return image;
}

// Position marker: blue disc with a yellow centre and short cross-hair arms, on white
// (the key colour) so the map shows around it.
QImage positionMarker() {
    QImage image(15, 15, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    const QRgb ink = qRgb(16, 16, 20), blue = qRgb(20, 90, 255), yellow = qRgb(255, 220, 0);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 15; ++x) {
            const double d = std::hypot(x - 7, y - 7);
            if (d <= 2.2) {
                image.setPixel(x, y, yellow);
            } else if (d <= 4.6) {
                image.setPixel(x, y, blue);
            } else if (d <= 5.8) {
                image.setPixel(x, y, ink);
            } else if (x == 7 || y == 7) {
                image.setPixel(x, y, ink);
            }
        }
    }
    return image;
}

}  // namespace

void drawGlyphs(BitmapSet& out) {
    for (int digit = 0; digit < 10; ++digit) {
        out[425 + digit] = outlinedGlyph(kDigits[digit]);
    }
    out[435] = outlinedGlyph(kPoint);
    out[436] = outlinedGlyph(kMinus);
}

void drawMapSymbols(BitmapSet& out) {
    // With signal: bright green on the blue key colour.
    out[422] = dot(9, 3.3, 4.4, qRgb(60, 230, 80), qRgb(0, 80, 10), qRgb(220, 255, 220),
                   qRgb(81, 103, 245));
    // Without signal: grey ring with a dark centre, on black.
    out[423] =
        dot(9, 2.6, 4.4, qRgb(70, 74, 84), qRgb(200, 200, 206), qRgb(110, 114, 124), qRgb(0, 0, 0));
    out[151] = positionMarker();
}

}  // namespace wp2::art
