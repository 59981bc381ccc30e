// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_choices.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

using Choices = std::vector<ScreenChoice>;

TEST(ScreenChoices, ReadsAtMostTenNumbersOfTheFirstHundredCharactersInCompletePairs) {
    const std::pair<std::string, Choices> cases[] = {
        {"105,29,999,1", {{105, 29}, {999, 1}}},
        {"105,29,102", {{105, 29}}},  // an odd last number is dropped
        {"1,2,3,4,5,6,7,8,9,10,11,12", {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}},
        // The 100-character cut falls just before the "12" that follows 98 zeros.
        {"7," + std::string(98, '0') + "12,3", {{7, 0}}},
        // Pieces read like atoi, empty ones skipped, overflow clamped.
        {" 105,,abc,12x,-4", {{105, 0}, {12, -4}}},
        {"99999999999999,1", {{2147483647, 1}}},
    };
    for (const auto& [text, choices] : cases) {
        EXPECT_EQ(ScreenChoices::parse(text), choices) << text;
    }
}

}  // namespace
}  // namespace wp2
