// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's frame counter: advanced on every timer message by the real
// time elapsed since the previous one, at 33 frames a second, so animations
// keep their speed whatever the real tick rate.

#include <cstdint>

namespace wp2 {

class FrameClock {
public:
    static constexpr std::uint32_t kFramesPerSecond = 33;

    // Advances by the time since the previous call (tick counts in
    // milliseconds); by 1 on the first call and when the tick count went back.
    void advance(std::uint32_t now);

    std::uint32_t frame() const { return frame_; }
    std::uint32_t lastTick() const { return lastTick_; }
    void setFrame(std::uint32_t frame) { frame_ = frame; }
    void setLastTick(std::uint32_t tick) { lastTick_ = tick; }

private:
    std::uint32_t frame_ = 0;
    std::uint32_t lastTick_ = 0;
};

}  // namespace wp2
