// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_clock.h"

namespace wp2 {

void FrameClock::advance(std::uint32_t now) {
    if (lastTick_ != 0 && lastTick_ < now) {
        // Elapsed milliseconds x 33 / 1000, rounded; the products wrap like
        // the 32-bit tick count, their difference stays exact.
        const std::uint32_t scaled = now * kFramesPerSecond - lastTick_ * kFramesPerSecond;
        frame_ += static_cast<std::uint32_t>(scaled * 0.001 + 0.5);
    } else {
        frame_ += 1;
    }
    lastTick_ = now;
}

}  // namespace wp2
