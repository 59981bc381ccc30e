#include "app/app_options.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

TEST(AppOptions, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    const AppOptions o =
        parseAppOptions({"--scale", "3", "--fullscreen", "--emulate", "--root", "/x",
                         "--screenshot", "a.png", "--frames", "300", "--map"})
            .options;
    EXPECT_TRUE(o.scale == 3 && o.fullscreen && o.emulate && o.map && o.frames == 300);
    EXPECT_TRUE(o.root == "/x" && o.screenshot == "a.png");
    EXPECT_EQ(parseAppOptions({}).options.scale, 0);  // chosen from the screen
    const std::vector<std::string> wrong[] = {
        {"--scale", "0"},  {"--scale", "9"},
        {"--scale", "2x"}, {"--frames", "-1", "--screenshot", "a"},
        {"--root"},        {"--frames", "10"},  // without --screenshot
        {"--map"},         {"--bogus"}};
    for (const auto& args : wrong) {
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
