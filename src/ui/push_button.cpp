// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/push_button.h"

#include "ui/bitmap_source.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
// Frames after which a button released elsewhere pops back (about a second).
constexpr std::uint32_t kPopBackFrames = 33;
}  // namespace

void PushButton::init(int x, int y, int normalBitmap, int pressedBitmap) {
    normalBitmapId = normalBitmap;
    pressedBitmapId = pressedBitmap;
    const QImage normal = loadBitmap(normalBitmap);
    rect = Rect{x, y, x + normal.width(), y + normal.height()};
}

void PushButton::setBitmaps(int normalBitmap, int pressedBitmap) {
    init(rect.left, rect.top, normalBitmap, pressedBitmap);
    dirty = 1;
}

int PushButton::onPress(int x, int y) {
    if (!rect.contains(x, y)) {
        return 0;
    }
    pressed = 1;
    pressFrame = currentFrame();
    dirty = 1;
    return 1;
}

int PushButton::onRelease(int x, int y) {
    if (!rect.contains(x, y)) {
        return 0;
    }
    pressed = 0;
    dirty = 1;
    return 1;
}

int PushButton::tick(std::uint32_t frame) {
    if (pressed && frame > pressFrame + kPopBackFrames) {
        pressed = 0;
        dirty = 1;
    }
    return 0;
}

void PushButton::draw(DrawingSurfaces& surfaces) {
    const QImage image = loadBitmap(pressed ? pressedBitmapId : normalBitmapId);
    if (image.isNull()) {
        return;
    }
    surfaces.blitStatic(rect.left, rect.top, image);
}

void PushButton::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    dirty = 1;
}

void PushButton::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

}  // namespace wp2
