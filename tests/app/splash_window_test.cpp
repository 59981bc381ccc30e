// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash_window.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace wp2 {
namespace {

TEST(SplashWindow, DrawsItsWholeTextInTheLowerStripWhichFollowsALargerClientArea) {
    EXPECT_EQ(SplashWindow::textRect(180, 240), (Rect{10, 218, 130, 235}));
    EXPECT_EQ(SplashWindow::textRect(200, 300), (Rect{10, 218, 150, 295}));
    test::ensureApplication();
    SplashWindow splash;
    // Black text pixels inside (10, 218, 130, 235) only, and none in its last
    // columns: a text too wide for its font is cut off there.
    const QImage& picture = splash.picture();
    int inside = 0, right = 0;
    for (int y = 200; y < 240; ++y) {
        for (int x = 0; x < 180; ++x) {
            if (picture.pixel(x, y) == rgb(0, 0, 0)) {
                const bool inRect = x >= 10 && x < 130 && y >= 218 && y < 235;
                EXPECT_TRUE(inRect) << x << "," << y;
                inside += inRect ? 1 : 0;
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GT(inside, 40);
    EXPECT_LT(right, 127);
    EXPECT_EQ(SplashWindow(2).size(), QSize(360, 480));
}

}  // namespace
}  // namespace wp2
