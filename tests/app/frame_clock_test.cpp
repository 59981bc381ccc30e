// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame_clock.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

// 33 frames a second of the tick count, rounded to the nearest frame; a tick
// count of 0 counts as no previous tick, and one going back (wrapped) or
// standing still advances by one.
TEST(FrameClock, FollowsTheTickCountAt33FramesASecond) {
    // The products with 33 of ticks past 0xF0000000 overflow 32 bits; their
    // difference must still be right.
    const std::vector<std::uint32_t> ticks = {0xF0000000u, 0xF000001Eu, 0xF000EA7Eu, 100,  0,
                                              3000,        3030,        3130,        3175, 3221};
    const std::vector<std::uint32_t> frames = {1,    2,    1982, 1983, 1984,
                                               1985, 1986, 1989, 1990, 1992};
    FrameClock clock;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        clock.advance(ticks[i]);
        EXPECT_EQ(clock.frame(), frames[i]) << "tick " << ticks[i];
    }
}

}  // namespace
}  // namespace wp2
