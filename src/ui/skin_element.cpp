// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/skin_element.h"

#include "ui/frame_counter.h"

namespace wp2 {

int SkinElement::onRelease(int, int) {
    return 0;
}
int SkinElement::onPress(int, int) {
    return 0;
}
int SkinElement::tick(std::uint32_t) {
    return 0;
}
int SkinElement::update(std::uint32_t) {
    return 0;
}
void SkinElement::offsetBy(int, int) {}
void SkinElement::moveTo(int, int) {}
void SkinElement::dragTo(int, int) {}
void SkinElement::setKeepArea(const Rect&) {}

void SkinElement::setVisible(int v) {
    if (v && !visible) {
        update(currentFrame());
        dirty = 1;
    }
    visible = v;
}

}  // namespace wp2
