// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One item of a drop-down list or menu: a shaded band with its label. The
// highlighted style marks the item now shown (or any menu item).

#include <QFont>
#include <QImage>
#include <QString>

#include "ui/rect.h"
#include "ui/surface.h"

namespace wp2 {

struct MenuBandStyle {
    bool highlighted = false;
    bool square = false;  // the small black square of the item now shown
};

// Draws a band of width x height at (left, top). `edges` (may be null) holds
// the two-pixel side edges: its upper half for plain items, its lower half for
// highlighted ones.
void drawMenuBand(Surface& surface, int left, int top, int width, int height, const QString& label,
                  const QFont& font, MenuBandStyle style, const QImage& edges);

}  // namespace wp2
