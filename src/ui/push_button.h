// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A two-image button: the pressed image shows from a press inside it until the
// release, or for about a second when the touch is released elsewhere.

#include <cstdint>

#include "ui/skin_element.h"

namespace wp2 {

class PushButton : public SkinElement {
public:
    PushButton() { layer = 20; }

    // Places the button at (x, y) with the size of the normal bitmap.
    void init(int x, int y, int normalBitmap, int pressedBitmap);
    // New images; the top-left corner stays and the size follows the normal bitmap.
    void setBitmaps(int normalBitmap, int pressedBitmap);

    int onPress(int x, int y) override;
    int onRelease(int x, int y) override;
    int tick(std::uint32_t frame) override;
    bool animating() const override { return pressed != 0; }
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override { return rect; }

    int pressed = 0;
    std::uint32_t pressFrame = 0;
    int normalBitmapId = 0;
    int pressedBitmapId = 0;
};

}  // namespace wp2
