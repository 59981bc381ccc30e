#include "core/gps/warm_start.h"

#include <gtest/gtest.h>

#include <cstring>

namespace wp2 {
namespace {

std::string command(double lat, double lon, std::time_t now, long offset, std::size_t size = 100) {
    char buffer[kWarmStartBufferSize];
    std::size_t n = buildCommand(lat, lon, now, offset, buffer, size);
    EXPECT_EQ(n, n ? std::strlen(buffer) : 0);
    return std::string(buffer, n);
}

TEST(WarmStartTest, CommandWeeksTimeOfWeekAndChecksum) {
    // Device clock one hour ahead of UTC; two weeks, one day and 61 s after
    // the start of week 1215. South and west are negative.
    const std::time_t utc = kGpsWeek1215Start + 2 * 604800 + 86400 + 61;
    EXPECT_EQ(command(-0.75, -2.0, utc + 3600, 3600),
              "$PSRF104,-42.9718,-114.5916,0,0,86461,1217,12,3*14\r\n");
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604799, 0).find(",0,0,604799,1215,"),
              std::string::npos);
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604800, 0).find(",0,0,0,1216,"), std::string::npos);
    // A small buffer, or a clock before week 1215, gives nothing.
    EXPECT_EQ(command(0.5, 0.5, kGpsWeek1215Start, 0, 99), "");
    EXPECT_EQ(command(0.5, 0.5, kGpsWeek1215Start, 1), "");
    std::string text = "$GPGSA,A,3,,,,,,,,,,,,,,,";
    appendChecksum(text);
    EXPECT_EQ(text, "$GPGSA,A,3,,,,,,,,,,,,,,,*1c\r\n");
}

}  // namespace
}  // namespace wp2
