#include "core/sound/chime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace wp2 {
namespace {

int loudest(const std::vector<std::int16_t>& s, std::size_t from = 0) {
    int m = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        m = std::max(m, std::abs(static_cast<int>(s[i])));
    }
    return m;
}

TEST(Chime, LengthSilentEndsPeakFadeAndNoClipping) {
    auto s = synthesizeChime(Chime{{{0, 880, 100, 1.0}, {100, 1320, 150, 1.0}}, 400, 0.5}, 22050);
    ASSERT_EQ(s.size(), 8820u);
    EXPECT_EQ(s.front(), 0);
    EXPECT_EQ(s.back(), 0);
    EXPECT_NEAR(loudest(s), 0.5 * 32767, 1);
    EXPECT_LT(loudest(s, s.size() - 40), loudest(s) / 4);  // faded out

    Chime loud;
    for (int i = 0; i < 8; ++i) {
        loud.notes.push_back({0, 200.0 + 50 * i, 300, 1.0});
    }
    loud.peak = 3.0;  // more than full scale is held at full scale
    EXPECT_EQ(loudest(synthesizeChime(loud, 8000)), 32767);

    auto quiet = synthesizeChime(Chime{{}, 100, 0.5}, 8000);
    EXPECT_EQ(quiet.size(), 800u);
    EXPECT_EQ(loudest(quiet), 0);
    EXPECT_TRUE(synthesizeChime(Chime{{{0, 440, 50, 1}}, -5, 0.5}, 8000).empty());
}

}  // namespace
}  // namespace wp2
