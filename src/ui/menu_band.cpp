// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/menu_band.h"

#include "ui/fonts.h"
#include "ui/night_palette.h"

namespace wp2 {

namespace {

struct BandColours {
    QRgb top1, top2, body, bottom1, bottom2, text;
};

constexpr BandColours kHighlighted{rgb(218, 217, 217), rgb(207, 206, 206), rgb(198, 196, 196),
                                   rgb(134, 133, 133), rgb(50, 50, 50),    rgb(0, 0, 0)};
constexpr BandColours kPlain{rgb(189, 189, 189), rgb(170, 169, 169), rgb(153, 153, 153),
                             rgb(104, 103, 103), rgb(39, 39, 39),    rgb(255, 255, 255)};
// At night the bands are dark and their labels light (then shaded warm).
constexpr BandColours kNightHighlighted{rgb(96, 96, 96), rgb(84, 84, 84), rgb(72, 72, 72),
                                        rgb(40, 40, 40), rgb(20, 20, 20), rgb(255, 255, 255)};
constexpr BandColours kNightPlain{rgb(52, 52, 52), rgb(44, 44, 44), rgb(34, 34, 34),
                                  rgb(22, 22, 22), rgb(10, 10, 10), rgb(210, 210, 210)};
constexpr int kEdgeWidth = 2;

}  // namespace

void drawMenuBand(Surface& surface, int left, int top, int width, int height, const QString& label,
                  const QFont& font, MenuBandStyle style, const QImage& edges) {
    const bool night = currentPalette() == Palette::Night;
    const BandColours& c = style.highlighted ? (night ? kNightHighlighted : kHighlighted)
                                             : (night ? kNightPlain : kPlain);
    const int right = left + width;
    const int bottom = top + height;
    surface.fillRect({left, top, right, top + 1}, c.top1);
    surface.fillRect({left, top + 1, right, top + 2}, c.top2);
    surface.fillRect({left, top + 2, right, bottom - 2}, c.body);
    surface.fillRect({left, bottom - 2, right, bottom - 1}, c.bottom1);
    surface.fillRect({left, bottom - 1, right, bottom}, c.bottom2);
    if (style.square) {
        surface.fillRect({left + 4, top + 9, left + 8, top + 13}, night ? c.text : rgb(0, 0, 0));
    }
    if (!edges.isNull()) {
        const int half = edges.height() / 2;
        const int srcTop = style.highlighted ? half : 0;
        const int rows = std::min(half, height);
        surface.blit(left, top, edges, {0, srcTop, kEdgeWidth, srcTop + rows});
        surface.blit(right - kEdgeWidth, top, edges,
                     {edges.width() - kEdgeWidth, srcTop, edges.width(), srcTop + rows});
    }
    // Drawn unclipped as the list always was, but a label too long for its
    // band is set smaller instead of spilling past it.
    const Rect textArea{left + 12, top + 3, left - 2 + width, top + height};
    surface.text(textArea, label, shrunkToFit(font, label, textArea.width()), c.text,
                 TextFlag::NoClip);
}

}  // namespace wp2
