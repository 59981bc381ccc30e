// The recording filter: parking and straight-line tests, RMC/GGA merges,
// undated fixes, segments and growth of the point array.

#include "core/track/track_filter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/track/track_log.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

using test::fixAt;
using test::ggaAt;
using namespace TrackPointState;

// The default filters, without the autosave file carrying points from one
// log of a test to the next.
constexpr std::uint32_t kFilters = TrackState::ParkingFilter | TrackState::StraightFilter;

class TrackFilterTest : public test::TrackTest {
protected:
    void SetUp() override { registry_.setNumber(kTrackStateValue, kFilters); }
};

constexpr std::uint32_t kSegmentBits = SegmentStart | SegmentEnd;

GpsDateTime at(int year, int month, int day, int hour, int minute, double seconds) {
    GpsDateTime t;
    t.year = static_cast<std::uint8_t>(year);
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(day);
    t.hour = static_cast<std::uint8_t>(hour);
    t.minute = static_cast<std::uint8_t>(minute);
    t.seconds = seconds;
    return t;
}

// A year counts 8760 hours and a month 720, whatever the calendar says, and
// backwards in time is negative although the fields are unsigned bytes.
TEST(FixTimeDifference, CountsEveryFieldWithItsWeight) {
    const struct {
        GpsDateTime from, to;
        double seconds;
    } cases[] = {
        {at(24, 6, 15, 12, 0, 0), at(24, 6, 16, 12, 0, 0), 86400.0},
        {at(24, 6, 15, 12, 0, 59.5), at(24, 6, 15, 12, 1, 0.25), 0.75},
        {at(24, 6, 15, 12, 0, 0), at(24, 6, 15, 13, 0, 0), 3600.0},
        {at(23, 6, 15, 0, 0, 0), at(24, 6, 15, 0, 0, 0), 8760.0 * 3600.0},
        {at(24, 1, 31, 0, 0, 0), at(24, 2, 1, 0, 0, 0), 0.0},
        {at(24, 6, 16, 0, 0, 0), at(24, 6, 15, 23, 59, 50), -10.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(fixTimeDifference(c.from, c.to), c.seconds) << c.seconds;
    }
}

TEST_F(TrackFilterTest, ParkingFilterByDistanceAndSpeed) {
    struct Case {
        std::uint32_t options;
        double metres;
        double speed;
        bool stored;
    };
    const Case cases[] = {
        {kFilters, 10, 5, false},
        {kFilters, 14, 5, false},
        {kFilters, 16, 5, true},
        {kFilters, 30, 0, false},
        {kFilters, 30, 5, true},
        {kFilters, 44, 0, false},
        {kFilters, 46, 0, true},
        {kFilters, 50, 0, true},
        {TrackState::StraightFilter, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.metres << " m at speed " << c.speed << ", options " << c.options);
        TrackLog log;
        log.options = c.options;
        TrackPoint first = fixAt(0, 0);
        ASSERT_TRUE(log.addFix(first));
        TrackPoint next = fixAt(c.metres, 0, 1, c.speed);
        EXPECT_EQ(log.addFix(next), c.stored);
        EXPECT_EQ(log.count(), c.stored ? 2 : 1);
    }
}

// Fixes a (origin) and b (20 m north) stored, then a third one.
TEST_F(TrackFilterTest, StraightLineFilter) {
    struct Case {
        const char* what;
        std::uint32_t options;
        double parkingThreshold;
        double north, east;
        bool stored;
    };
    const Case cases[] = {
        {"third point on the line, 20 m on", kFilters, 15, 40, 0, false},
        {"on the line beyond the straightness distance", kFilters, 15, 90, 0, true},
        {"b lies about 16.6 m off the line a-turn", kFilters, 15, 20, 30, true},
        {"straightness uses the parking threshold, not the width", kFilters, 17, 20, 30, false},
        {"without the parking filter", TrackState::StraightFilter, 15, 40, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrackLog log;
        log.options = c.options;
        log.width = 1.0;
        log.parkingThreshold = c.parkingThreshold;
        TrackPoint a = fixAt(0, 0, 0), b = fixAt(20, 0, 1), third = fixAt(c.north, c.east, 2);
        ASSERT_TRUE(log.addFix(a));
        ASSERT_TRUE(log.addFix(b));
        EXPECT_EQ(log.addFix(third), c.stored);
        ASSERT_EQ(log.count(), c.stored ? 3 : 2);
        EXPECT_EQ(log.at(log.count() - 1).latitude, (c.stored ? third : b).latitude);
    }
}

// Three fixes 50 m apart: the second one second after the first, the third
// after a pause. Only a pause of more than 5 s with SplitOnGap cuts the track
// (ending the piece at the second fix, the third a piece of its own); a lost
// signal ends a piece only until the next fix that follows without a pause.
TEST_F(TrackFilterTest, APauseOfMoreThanFiveSecondsCutsTheTrack) {
    constexpr std::uint32_t S = SegmentStart, E = SegmentEnd;
    const struct {
        const char* what;
        std::uint32_t options;
        double pause;
        bool lost;
        std::uint32_t bits[3];
    } cases[] = {
        {"5 s continue", TrackState::SplitOnGap, 5.0, false, {S, 0, E}},
        {"5.5 s cut", TrackState::SplitOnGap, 5.5, false, {S, E, S | E}},
        {"a day later at the same clock time", TrackState::SplitOnGap, 86400, false, {S, E, S | E}},
        {"signal lost, then a fix at once", TrackState::SplitOnGap, 1.0, true, {S, 0, E}},
        {"signal lost, then a pause", TrackState::SplitOnGap, 60.0, true, {S, E, S | E}},
        {"without SplitOnGap", 0, 600.0, false, {S, 0, E}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TrackLog log;
        log.options = c.options;
        TrackPoint a = fixAt(0, 0, 0), b = fixAt(50, 0, 1), third = fixAt(100, 0, 0);
        third.time.day = static_cast<std::uint8_t>(third.time.day + int(c.pause / 86400));
        third.time.seconds = 1 + std::fmod(c.pause, 86400);
        ASSERT_TRUE(log.addFix(a));
        ASSERT_TRUE(log.addFix(b));
        if (c.lost) {
            log.signalLost();
        }
        ASSERT_TRUE(log.addFix(third));
        ASSERT_EQ(log.count(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(log.at(i).state & kSegmentBits, c.bits[i]) << "point " << i;
        }
    }
}

// What the track file's reader refuses never enters the log, not even
// through a merge (a GGA point would take an RMC fix's infinite speed).
TEST_F(TrackFilterTest, AFixTheTrackFileCouldNotHoldIsNeitherStoredNorMerged) {
    TrackLog log;
    log.options = 0;
    TrackPoint gga = ggaAt(0, 0, 0, 7);
    ASSERT_TRUE(log.addFix(gga));
    using Field = double TrackPoint::*;
    const Field fields[] = {&TrackPoint::speed, &TrackPoint::altitude, &TrackPoint::dop,
                            &TrackPoint::latitude};
    for (const Field field : fields) {
        TrackPoint rmc = fixAt(0, 0, 0);
        rmc.*field = field == &TrackPoint::latitude ? 2.0 : HUGE_VAL;
        EXPECT_FALSE(log.addFix(rmc));
    }
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.at(0).speed, 0.0);
}

TEST_F(TrackFilterTest, The1001stPointGrowsTheArrayWithoutLosingPoints) {
    TrackLog log;
    log.options = 0;
    EXPECT_EQ(log.capacity(), 1000);
    for (int i = 0; i < 1000; ++i) {
        TrackPoint p = fixAt(i, 0, i);
        ASSERT_TRUE(log.addFix(p));
    }
    EXPECT_EQ(log.capacity(), 1000);
    TrackPoint p = fixAt(1000, 0, 1000);
    ASSERT_TRUE(log.addFix(p));
    EXPECT_EQ(log.capacity(), 2000);
    ASSERT_EQ(log.count(), 1001);
    EXPECT_EQ(log.datedCount(), 1001);
    EXPECT_EQ(log.lastDatedIndex(), 1000);
    for (int i = 0; i <= 1000; ++i) {
        ASSERT_EQ(log.at(i).latitude, fixAt(i, 0, i).latitude) << "point " << i;
    }
    EXPECT_EQ(log.at(0).state & kSegmentBits, SegmentStart);
    EXPECT_EQ(log.at(999).state & kSegmentBits, 0u);
    EXPECT_EQ(log.at(1000).state & kSegmentBits, SegmentEnd);
}

}  // namespace
}  // namespace wp2
