#include "app/frame_clock.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

// Advances through ticks `period` ms apart starting at `start` and returns
// how far each tick moved the frame counter.
std::vector<std::uint32_t> steps(std::uint32_t start, std::uint32_t period, int ticks) {
    FrameClock clock;
    clock.advance(start);
    std::vector<std::uint32_t> out;
    for (int i = 1; i <= ticks; ++i) {
        const std::uint32_t before = clock.frame();
        clock.advance(start + period * static_cast<std::uint32_t>(i));
        out.push_back(clock.frame() - before);
    }
    return out;
}

TEST(FrameClock, FollowsRealTimeAt33FramesASecond) {
    EXPECT_EQ(steps(5000, 30, 5), std::vector<std::uint32_t>(5, 1));
    EXPECT_EQ(steps(5000, 100, 4), std::vector<std::uint32_t>(4, 3));
    // A minute without ticks (a modal dialog) is caught up at once.
    EXPECT_EQ(steps(5000, 60000, 1), std::vector<std::uint32_t>{1980});
    // Rounded to the nearest frame: 45 ms is 1.485 frames, 46 ms 1.518.
    EXPECT_EQ(steps(5000, 45, 1), std::vector<std::uint32_t>{1});
    EXPECT_EQ(steps(5000, 46, 1), std::vector<std::uint32_t>{2});
}

TEST(FrameClock, FirstTickSameTickAndTickCountGoingBackAdvanceByOne) {
    FrameClock clock;
    clock.advance(123456);
    EXPECT_EQ(clock.frame(), 1u);
    clock.advance(123456);
    EXPECT_EQ(clock.frame(), 2u);
    clock.advance(100);  // the 32-bit tick count wrapped around
    EXPECT_EQ(clock.frame(), 3u);
    EXPECT_EQ(clock.lastTick(), 100u);
}

TEST(FrameClock, TickCountsWhoseProductsOverflowStillGiveTheElapsedFrames) {
    // 0xF0000000 x 33 does not fit in 32 bits; the difference must still be right.
    EXPECT_EQ(steps(0xF0000000u, 30, 3), std::vector<std::uint32_t>(3, 1));
    EXPECT_EQ(steps(0xF0000000u, 60000, 1), std::vector<std::uint32_t>{1980});
}

TEST(FrameClock, ATickCountOfZeroCountsAsNoPreviousTick) {
    FrameClock clock;
    clock.advance(0);
    clock.advance(3000);  // lastTick was 0: only one frame, not 99
    EXPECT_EQ(clock.frame(), 2u);
}

}  // namespace
}  // namespace wp2
