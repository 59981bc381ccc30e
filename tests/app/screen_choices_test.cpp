#include "app/screen_choices.h"

#include <gtest/gtest.h>

namespace wp2 {
namespace {

using Choices = std::vector<ScreenChoice>;

TEST(ScreenChoices, CompletePairsOnlyAndAnOddLastNumberIsDropped) {
    EXPECT_EQ(ScreenChoices::parse("105,29,999,1"), (Choices{{105, 29}, {999, 1}}));
    EXPECT_EQ(ScreenChoices::parse("105,29,102"), (Choices{{105, 29}}));
    EXPECT_EQ(ScreenChoices::parse(""), Choices{});
    EXPECT_EQ(ScreenChoices::parse("105"), Choices{});
}

TEST(ScreenChoices, ReadsAtMostTenNumbersFromTheFirstHundredCharacters) {
    EXPECT_EQ(ScreenChoices::parse("1,2,3,4,5,6,7,8,9,10,11,12").size(), 5u);
    // The 100-character cut falls just before the "12" that follows 98 zeros.
    const std::string text = "7," + std::string(98, '0') + "12,3";
    EXPECT_EQ(ScreenChoices::parse(text), (Choices{{7, 0}}));
}

TEST(ScreenChoices, PiecesAreReadLikeAtoiAndEmptyPiecesSkipped) {
    EXPECT_EQ(ScreenChoices::parse("105,,30,,"), (Choices{{105, 30}}));
    EXPECT_EQ(ScreenChoices::parse(" 105,abc,12x,-4"), (Choices{{105, 0}, {12, -4}}));
    EXPECT_EQ(ScreenChoices::parse("99999999999999,1"), (Choices{{2147483647, 1}}));
}

TEST(ScreenChoices, FormatWritesPairsWithoutAFinalComma) {
    EXPECT_EQ(ScreenChoices::format({{105, 30}, {102, 24}}), "105,30,102,24");
    EXPECT_EQ(ScreenChoices::format({}), "");
    const Choices first = {{105, 30}, {102, 24}, {101, 27}, {103, 35}, {104, 37}};
    EXPECT_EQ(ScreenChoices::parse(ScreenChoices::format(first)), first);
}

}  // namespace
}  // namespace wp2
