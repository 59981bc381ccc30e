#include "app/app_options.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

TEST(AppOptions, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    const AppOptionsResult r =
        parseAppOptions({"--scale", "3", "--fullscreen", "--emulate", "--root", "/tmp/x",
                         "--screenshot", "a.png", "--frames", "300", "--map"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.scale, 3);
    EXPECT_TRUE(r.options.fullscreen);
    EXPECT_TRUE(r.options.emulate);
    EXPECT_EQ(r.options.root, "/tmp/x");
    EXPECT_EQ(r.options.screenshot, "a.png");
    EXPECT_EQ(r.options.frames, 300);
    EXPECT_TRUE(r.options.map);
    EXPECT_EQ(parseAppOptions({}).options.scale, 0);  // chosen from the screen
    EXPECT_TRUE(parseAppOptions({}).options.screenshot.empty());

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
    const std::pair<int, int> cases[] = {{0, 1},
                                         {320, 1},
                                         {768, 1},
                                         {1080, 2},
                                         {1440, 3},
                                         {2160, 5},
                                         {100000, AppOptions::kMaxScale}};
    for (const auto& [height, scale] : cases) {
        EXPECT_EQ(comfortableScale(height), scale) << height;
    }
}

}  // namespace
}  // namespace wp2
