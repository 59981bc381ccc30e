// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/coordinate_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/nav/angles.h"

namespace wp2 {
namespace {

TEST(CoordinateText, MinutesKeepFourDecimalsWithoutPaddingAndDoNotCarryIntoDegrees) {
    EXPECT_EQ(formatLatitude((51.0 + 5.12345 / 60.0) * kDegToRad), "N 51 5.1235'");
    EXPECT_EQ(formatLongitude((-(7.0 + 0.5 / 60.0)) * kDegToRad), "W 7 0.5000'");
    EXPECT_EQ(formatLatitude((10.0 + 59.99996 / 60.0) * kDegToRad), "N 10 60.0000'");
    EXPECT_EQ(formatLongitude(-(100.0 + 59.99996 / 60.0) * kDegToRad), "W 100 60.0000'");
}

// A whole degree south and west is the point dialog's test; here the edges.
TEST(DegMinSplit, WholeDegreesMinutesAndHemisphere) {
    DegMin zero = DegMin::split(0.0);
    EXPECT_EQ(zero, (DegMin{0, 0.0f, true}));
    EXPECT_TRUE(DegMin::split(-0.0).positive);

    DegMin small = DegMin::split(-0.25 * kDegToRad);
    EXPECT_EQ(small.degrees, 0);
    EXPECT_NEAR(small.minutes, 15.0f, 1e-4f);
    EXPECT_FALSE(small.positive);

    EXPECT_EQ(DegMin::split(179.75 * kDegToRad).degrees, 179);
}

}  // namespace
}  // namespace wp2
