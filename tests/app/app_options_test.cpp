#include "app/app_options.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

TEST(AppOptions, ReadsEveryOption) {
    const AppOptionsResult r =
        parseAppOptions({"--scale", "3", "--fullscreen", "--emulate", "--root", "/tmp/x"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.scale, 3);
    EXPECT_TRUE(r.options.fullscreen);
    EXPECT_TRUE(r.options.emulate);
    EXPECT_EQ(r.options.root, "/tmp/x");
    EXPECT_TRUE(r.options.screenshot.empty());

    const AppOptionsResult s =
        parseAppOptions({"--screenshot", "a.png", "--frames", "300", "--map"});
    ASSERT_EQ(s.error, "");
    EXPECT_EQ(s.options.screenshot, "a.png");
    EXPECT_EQ(s.options.frames, 300);
    EXPECT_TRUE(s.options.map);
    EXPECT_EQ(parseAppOptions({}).options.scale, 0);  // chosen from the screen
}

TEST(AppOptions, RefusesWhatItCannotUse) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--scale"},
             {"--scale", "0"},
             {"--scale", "9"},
             {"--scale", "2x"},
             {"--frames", "-1", "--screenshot", "a.png"},
             {"--root"},
             {"--screenshot"},
             {"--frames", "10"},  // without --screenshot
             {"--map"},
             {"--bogus"},
         }) {
        EXPECT_NE(parseAppOptions(args).error, "") << args[0];
    }
}

TEST(AppOptions, ComfortableScaleUsesAboutFourFifthsOfTheScreenHeight) {
    EXPECT_EQ(comfortableScale(320), 1);
    EXPECT_EQ(comfortableScale(768), 1);
    EXPECT_EQ(comfortableScale(1080), 2);  // 640 of 1080 pixels
    EXPECT_EQ(comfortableScale(1440), 3);
    EXPECT_EQ(comfortableScale(2160), 5);
    EXPECT_EQ(comfortableScale(0), 1);
    EXPECT_EQ(comfortableScale(100000), AppOptions::kMaxScale);
}

}  // namespace
}  // namespace wp2
