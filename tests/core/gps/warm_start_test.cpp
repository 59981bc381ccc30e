#include "core/gps/warm_start.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gps_test_support.h"

namespace wp2 {
namespace {

std::string command(double lat, double lon, std::time_t now, long offset) {
    char buffer[kWarmStartBufferSize];
    std::size_t n = buildCommand(lat, lon, now, offset, buffer, sizeof buffer);
    EXPECT_EQ(n, std::strlen(buffer));
    return std::string(buffer, n);
}

TEST(WarmStartCommandTest, WeekStartExample) {
    EXPECT_EQ(command(0.5, 0.5, kGpsWeek1215Start, 0),
              "$PSRF104,28.6479,28.6479,0,0,0,1215,12,3*25\r\n");
}

TEST(WarmStartCommandTest, OffsetWeeksAndTimeOfWeek) {
    // Device clock one hour ahead of UTC; the UTC moment is two weeks, one
    // day and 61 s after the start of week 1215. South and west are negative.
    long offset = 3600;
    std::time_t utc = kGpsWeek1215Start + 2 * 604800 + 86400 + 61;
    EXPECT_EQ(command(-0.75, -2.0, utc + offset, offset).substr(0, 48),
              "$PSRF104,-42.9718,-114.5916,0,0,86461,1217,12,3*");
    // The last second of a week and the first of the next.
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604799, 0).find(",0,0,604799,1215,"),
              std::string::npos);
    EXPECT_NE(command(0, 0, kGpsWeek1215Start + 604800, 0).find(",0,0,0,1216,"), std::string::npos);
}

TEST(WarmStartCommandTest, SmallBufferAndClockBeforeWeek1215GiveNothing) {
    char buffer[kWarmStartBufferSize];
    EXPECT_EQ(buildCommand(0.5, 0.5, kGpsWeek1215Start, 0, buffer, 99), 0u);
    EXPECT_EQ(buildCommand(0.5, 0.5, kGpsWeek1215Start, 1, buffer, sizeof buffer), 0u);
    EXPECT_EQ(buildCommand(0.5, 0.5, 0, 0, buffer, sizeof buffer), 0u);
}

TEST(WarmStartCommandTest, ChecksumCoversEverythingAfterTheDollar) {
    std::string text = "$GPGSA,A,3,,,,,,,,,,,,,,,";
    appendChecksum(text);
    EXPECT_EQ(text, "$GPGSA,A,3,,,,,,,,,,,,,,,*1c\r\n");
    std::string single = "$";
    appendChecksum(single);
    EXPECT_EQ(single, "$*00\r\n");
}

TEST(WarmStartTimeTest, ReceiverTimeToCalendarTimeAndBack) {
    GpsDateTime utc;
    utc.year = 3;
    utc.month = 4;
    utc.day = 20;
    utc.seconds = 59.9;  // whole seconds only
    EXPECT_EQ(toCalendarTime(utc), kGpsWeek1215Start + 59);
    // 2004 is a leap year.
    const GpsDateTime t = fromCalendarTime(kGpsWeek1215Start + 86400 * 365 + 3723);
    EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, 40419);
    EXPECT_EQ(t.hour * 10000 + t.minute * 100 + t.seconds, 10203);
}

TEST(WarmStartTimeTest, StoredTextsRoundTrip) {
    std::time_t t = kGpsWeek1215Start + 12345678;
    EXPECT_EQ(formatStoredTime(kGpsWeek1215Start), "2003,4,20,0,0,0");
    EXPECT_EQ(formatStoredTime(t), "2003,9,9,21,21,18");
    EXPECT_EQ(parseStoredTime(formatStoredTime(t)), t);
    // Fewer fields read as 0; fields are plain integers.
    EXPECT_EQ(parseStoredTime("2003,4,20"), parseStoredTime("2003,4,20,0,0,0"));
    EXPECT_EQ(parseStoredTime("2003,4,20,1"), kGpsWeek1215Start + 3600);
}

}  // namespace
}  // namespace wp2
