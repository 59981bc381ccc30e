// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's bitmaps, addressed by resource id.
//
// Every picture is drawn at build time by the skin generator (resources/skin) and
// embedded with the Qt resource system as ":/skin/<id>.png", and again in the
// night palette as ":/skin-night/<id>.png". Images come back in
// QImage::Format_RGB32; loaded images are cached, so repeated calls are cheap.
//
// Key colours (pixels of exactly this colour are transparent when drawn):
//   digit glyphs 425-436   RGB (120, 0, 120)
//   satellite dot 422      RGB (81, 103, 245)
//   satellite dot 423      black
//   position marker 151    white
//   pushpin icons          black
//
// Bitmap 472 holds the edges of a selector list item: columns 0-1 are the left edge,
// columns 2-3 the right edge; rows 0-22 belong to an ordinary item, rows 23-45 to the
// current item (one item is 23 pixels high).

#include <QImage>
#include <QSize>
#include <optional>
#include <vector>

#include "ui/night_palette.h"

namespace wp2 {

namespace skin {
inline constexpr int kMarker = 151;
inline constexpr int kButtonMap = 401;  // 402 pressed
inline constexpr int kButtonMark = 403;
inline constexpr int kButtonGoTo = 405;
inline constexpr int kButtonMenu = 407;
inline constexpr int kSpeedDial = 409;
inline constexpr int kSatelliteWithSignal = 422;
inline constexpr int kSatelliteNoSignal = 423;
inline constexpr int kCourseDial = 424;
inline constexpr int kFirstGlyph = 425;  // digits 0-9 are 425-434
inline constexpr int kOtherGlyph = 435;
inline constexpr int kMinusGlyph = 436;
inline constexpr int kSelectorOpen = 437;
inline constexpr int kSelectorClosed = 438;
inline constexpr int kLampDark = 453;
inline constexpr int kLampRed = 454;
inline constexpr int kLampGreen = 455;
inline constexpr int kLampYellow = 456;
inline constexpr int kButtonZoomIn = 461;  // 462 pressed
inline constexpr int kButtonZoomOut = 463;
inline constexpr int kQuit = 465;
inline constexpr int kCompassLeft = 467;
inline constexpr int kCompassRight = 468;
inline constexpr int kDestinationLeft = 469;
inline constexpr int kDestinationRight = 470;
inline constexpr int kSkyView = 471;
inline constexpr int kSelectorEdges = 472;
inline constexpr int kSplash = 473;
inline constexpr int kPositionLeft = 477;
inline constexpr int kPositionRight = 478;
inline constexpr int kFirstPushpinIcon = 1001;  // list entry i is id 1001 + i

inline constexpr QRgb kGlyphKey = 0xff780078;      // (120, 0, 120)
inline constexpr QRgb kSignalDotKey = 0xff5167f5;  // (81, 103, 245)
inline constexpr QRgb kNoSignalDotKey = 0xff000000;
inline constexpr QRgb kMarkerKey = 0xffffffff;
inline constexpr QRgb kPushpinKey = 0xff000000;

// The key colour bitmap `id` is drawn with, if any; the night bitmaps keep it.
inline std::optional<QRgb> keyColour(int id) {
    if (id >= kFirstGlyph && id <= kMinusGlyph) {
        return kGlyphKey;
    }
    switch (id) {
        case kSatelliteWithSignal:
            return kSignalDotKey;
        case kSatelliteNoSignal:
            return kNoSignalDotKey;
        case kMarker:
            return kMarkerKey;
        default:
            return id >= kFirstPushpinIcon ? std::optional<QRgb>(kPushpinKey) : std::nullopt;
    }
}
}  // namespace skin

// The bitmap with that id in the current palette (":/skin/<id>.png" by day,
// ":/skin-night/<id>.png" at night); a null image for an id that names none.
QImage skinBitmap(int id);
QImage skinBitmap(int id, Palette palette);
// Its size; an invalid QSize for an unknown id.
QSize skinBitmapSize(int id);
// Every id that names a bitmap, ascending (the pushpin icons included).
std::vector<int> skinBitmapIds();

// The fixed list of pushpin icon bitmaps, in order. Entry index is a null image when
// index is outside 0 .. pushpinIconCount() - 1. Entries of exactly 16 x 16 pixels are
// the pictures a pushpin can wear; the narrower ones are small markers.
QImage pushpinIcon(int index);
int pushpinIconCount();

}  // namespace wp2
