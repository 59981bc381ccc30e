#include "core/gps/end_of_atlas_pad.h"

#include <gtest/gtest.h>

#include <vector>

namespace wp2 {
namespace {

TEST(EndOfAtlasPadTest, ReachesEveryListenerSubscribedAtPostTime) {
    std::vector<int> heard;
    int late = 0;
    int second = 0;
    int first = EndOfAtlasPad::subscribe([&] {
        heard.push_back(1);
        EndOfAtlasPad::unsubscribe(second);  // a listener that goes away meanwhile
        late = EndOfAtlasPad::subscribe([&] { heard.push_back(3); });
    });
    second = EndOfAtlasPad::subscribe([&] { heard.push_back(2); });
    EndOfAtlasPad::post();
    EXPECT_EQ(heard, std::vector<int>{1});
    EndOfAtlasPad::unsubscribe(first);
    heard.clear();
    EndOfAtlasPad::post();
    EXPECT_EQ(heard, std::vector<int>{3});
    EndOfAtlasPad::unsubscribe(late);
    heard.clear();
    EndOfAtlasPad::post();
    EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace wp2
