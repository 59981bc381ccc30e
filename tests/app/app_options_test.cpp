// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_options.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

TEST(AppOptions, ReadsEveryOptionAndRefusesWhatItCannotUse) {
    const AppOptions o = parseAppOptions({"--scale", "3", "--fullscreen", "--emulate", "--root",
                                          "/x", "--screenshot", "a.png", "--frames", "300", "--map",
                                          "--map-source", "m.mbtiles"})
                             .options;
    EXPECT_TRUE(o.scale == 3 && o.fullscreen && o.emulate && o.map && o.frames == 300);
    EXPECT_TRUE(o.root == "/x" && o.screenshot == "a.png");
    EXPECT_EQ(o.mapSource, "m.mbtiles");
    EXPECT_EQ(parseAppOptions({"--map-source", ""}).options.mapSource, "");  // none this run
    EXPECT_EQ(parseAppOptions({}).options.mapSource, std::nullopt);          // the setting's
    EXPECT_EQ(parseAppOptions({}).options.scale, 0);  // chosen from the screen
    const std::vector<std::string> wrong[] = {
        {"--scale", "0"},  {"--scale", "9"},
        {"--scale", "2x"}, {"--frames", "-1", "--screenshot", "a"},
        {"--root"},        {"--frames", "10"},  // without --screenshot
        {"--map"},         {"--bogus"},
        {"--map-source"}};
    for (const auto& args : wrong) {
        EXPECT_NE(parseAppOptions(args).error, "") << args[0];
    }
}

TEST(AppOptions, ComfortableScaleUsesAboutFourFifthsOfTheScreenHeight) {
    const int heights[] = {0, 320, 768, 1080, 1440, 2160, 100000};
    const int scales[] = {1, 1, 1, 2, 3, 5, AppOptions::kMaxScale};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(comfortableScale(heights[i]), scales[i]) << heights[i];
    }
}

}  // namespace
}  // namespace wp2
