// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin generator's drawing functions: each adds its finished bitmaps, keyed by
// resource id, to the set that the generator writes out.

#include <QImage>
#include <map>

namespace wp2::art {

using BitmapSet = std::map<int, QImage>;

void drawDials(BitmapSet& out);         // course and speed dial faces
void drawPanels(BitmapSet& out);        // compass, destination, sky view, position panels
void drawControls(BitmapSet& out);      // push buttons, quit, lamp, selector button and edges
void drawGlyphs(BitmapSet& out);        // read-out digits
void drawMapSymbols(BitmapSet& out);    // satellite dots, position marker
void drawSplash(BitmapSet& out);        // start-up picture
void drawPushpinIcons(BitmapSet& out);  // the pushpin icon list

}  // namespace wp2::art
