// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frame_counter.h"

namespace wp2 {

namespace {
std::uint32_t frameCount = 0;
}

std::uint32_t currentFrame() {
    return frameCount;
}
void publishFrame(std::uint32_t frame) {
    frameCount = frame;
}

}  // namespace wp2
