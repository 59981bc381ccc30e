#include "core/sound/chime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace wp2 {
namespace {

int loudest(const std::vector<std::int16_t>& s) {
    int m = 0;
    for (std::int16_t v : s) {
        m = std::max(m, std::abs(static_cast<int>(v)));
    }
    return m;
}

TEST(Chime, HasItsLengthStartsAndEndsSilentAndPeaksWhereAsked) {
    Chime c{{{0, 880, 100, 1.0}, {100, 1320, 150, 1.0}}, 400, 0.5};
    auto s = synthesizeChime(c, 22050);
    ASSERT_EQ(s.size(), 8820u);
    EXPECT_EQ(s.front(), 0);
    EXPECT_EQ(s.back(), 0);
    EXPECT_NEAR(loudest(s), 0.5 * 32767, 1);
    // The fade-out: the last few milliseconds are far quieter than the peak.
    int tail = 0;
    for (std::size_t i = s.size() - 40; i < s.size(); ++i) {
        tail = std::max(tail, std::abs(static_cast<int>(s[i])));
    }
    EXPECT_LT(tail, loudest(s) / 4);
}

TEST(Chime, ManyLoudNotesTogetherNeverClip) {
    Chime c;
    for (int i = 0; i < 8; ++i) {
        c.notes.push_back({0, 200.0 + 50 * i, 300, 1.0});
    }
    c.peak = 3.0;  // more than full scale is held at full scale
    auto s = synthesizeChime(c, 8000);
    EXPECT_EQ(loudest(s), 32767);
}

TEST(Chime, NoNotesOrNoLengthIsSilence) {
    auto quiet = synthesizeChime(Chime{{}, 100, 0.5}, 8000);
    EXPECT_EQ(quiet.size(), 800u);
    EXPECT_EQ(loudest(quiet), 0);
    EXPECT_TRUE(synthesizeChime(Chime{{{0, 440, 50, 1}}, -5, 0.5}, 8000).empty());
}

}  // namespace
}  // namespace wp2
