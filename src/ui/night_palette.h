// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The night palette: the dashboard and the dialogs on a dark background with a
// dim, warm foreground (red to amber, no blue), so that the screen does not
// dazzle in the dark. The skin generator draws the night bitmaps with
// nightColour(), and the dashboard's own drawing passes its colours through
// shade(), so both follow the same mapping.
//
// Built into the bitmap loader's library and into the skin generator.

#include <QRgb>

namespace wp2 {

enum class Palette { Day, Night };

// The palette the dashboard draws with now (Day until told otherwise).
Palette currentPalette();
void setCurrentPalette(Palette palette);
// Counts palette changes, so that holders of loaded bitmaps can tell that
// theirs are stale.
unsigned paletteGeneration();

// The night counterpart of a day colour: its brightness dimmed to at most 80 %;
// greys become amber; reds stay red, yellows amber, greens yellow and blues
// amber, so colours that differ by day still differ at night.
QRgb nightColour(QRgb day);

// The colour to draw with in the current palette (the surfaces apply it to
// every colour they are given).
QRgb shade(QRgb day);
// For areas that are light by day and turn dark at night, and their text:
// `day` by day, `night` at night, which the surfaces then shade like any other.
QRgb darkAtNight(QRgb day, QRgb night);

}  // namespace wp2
