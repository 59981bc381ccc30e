// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/state_lamp.h"

#include "core/gps/nav_snapshot.h"
#include "ui/bitmap_source.h"
#include "ui/surface.h"

namespace wp2 {

void StateLamp::init(StateSource source, int x, int y, int bitmap1, int bitmap2, int bitmap3,
                     int bitmap4) {
    source_ = std::move(source);
    bitmaps_ = {bitmap1, bitmap2, bitmap3, bitmap4};
    const QImage first = loadBitmap(bitmap1);
    rect = Rect{0, 0, first.width(), first.height()};
    moveTo(x, y);
}

int StateLamp::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    }
    return 0;
}

int StateLamp::update(std::uint32_t) {
    const int now = source_ ? source_() : 0;
    // Drawn again only when the state changes (a palette change redraws all).
    if (now != state) {
        state = now;
        dirty = 1;
    }
    return 1;
}

void StateLamp::draw(DrawingSurfaces& surfaces) {
    int index = 0;
    switch (state) {
        case 2:
            index = 1;
            break;
        case 3:
            index = 2;
            break;
        case 4:
        case 5:
            index = 3;
            break;
        default:
            index = 0;
    }
    // Loaded at each draw (from the loader's cache), so a palette change shows.
    surfaces.blitStatic(rect.left, rect.top, loadBitmap(bitmaps_[static_cast<std::size_t>(index)]));
}

void StateLamp::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    dirty = 1;
}

void StateLamp::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

void initReceiverLamp(StateLamp& lamp, const NavSnapshot& snapshot, int x, int y) {
    constexpr int kDark = 453;
    constexpr int kRed = 454;
    constexpr int kGreen = 455;
    constexpr int kYellow = 456;
    lamp.init([&snapshot] { return snapshot.fixLevel; }, x, y, kDark, kRed, kYellow, kGreen);
}

}  // namespace wp2
