#include "app/splash_window.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace wp2 {
namespace {

TEST(SplashWindow, TextRectangleSitsInTheLowerStripAndFollowsALargerClientArea) {
    EXPECT_EQ(SplashWindow::textRect(180, 240), (Rect{10, 218, 130, 235}));
    EXPECT_EQ(SplashWindow::textRect(200, 300), (Rect{10, 218, 150, 295}));
}

TEST(SplashWindow, DrawsThePictureWithItsTextOnlyInTheTextRectangle) {
    test::ensureApplication();
    SplashWindow splash;
    EXPECT_EQ(splash.size(), QSize(180, 240));
    EXPECT_NE(splash.timerId(), 0);
    const QImage& picture = splash.picture();
    // Text pixels: black, inside (10, 218, 130, 235) only; the picture itself
    // is black nowhere in the strip next to the text.
    int inside = 0;
    for (int y = 218; y < 235; ++y) {
        for (int x = 10; x < 130; ++x) {
            inside += picture.pixel(x, y) == rgb(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 40);
    SplashWindow large(2);
    EXPECT_EQ(large.size(), QSize(360, 480));
}

}  // namespace
}  // namespace wp2
