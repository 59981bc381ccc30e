// SPDX-License-Identifier: GPL-3.0-or-later
// The recording filter: parking and straight-line tests, RMC/GGA merges,
// undated fixes, segments and growth of the point array.

#include "core/track/track_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/track/track_log.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

using test::fixAt;
constexpr auto at = test::dateTime;
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

// A fix at the origin, then (with `second`) one 20 m north a second later,
// then a fix `north` and `east` metres from the origin: whether it is stored.
TEST_F(TrackFilterTest, ParkingFilterByDistanceAndSpeedAndStraightLineFilter) {
    const struct {
        const char* what;
        std::uint32_t options;
        double parkingThreshold, north, east, speed;
        bool second, stored;
    } cases[] = {
        {"parking: 10 m", kFilters, 15, 10, 0, 5, false, false},
        {"parking: 14 m", kFilters, 15, 14, 0, 5, false, false},
        {"parking: 16 m", kFilters, 15, 16, 0, 5, false, true},
        {"parking: 30 m standing", kFilters, 15, 30, 0, 0, false, false},
        {"parking: 30 m moving", kFilters, 15, 30, 0, 5, false, true},
        {"parking: 44 m standing", kFilters, 15, 44, 0, 0, false, false},
        {"parking: 46 m standing", kFilters, 15, 46, 0, 0, false, true},
        {"parking: 50 m standing", kFilters, 15, 50, 0, 0, false, true},
        {"without the parking filter: 1 m", TrackState::StraightFilter, 15, 1, 0, 0, false, true},
        {"third point on the line, 20 m on", kFilters, 15, 40, 0, 5, true, false},
        {"on the line beyond the straightness distance", kFilters, 15, 90, 0, 5, true, true},
        {"b lies about 16.6 m off the line a-turn", kFilters, 15, 20, 30, 5, true, true},
        {"straightness uses the parking threshold", kFilters, 17, 20, 30, 5, true, false},
        {"straight without the parking filter", TrackState::StraightFilter, 15, 40, 0, 5, true,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TrackLog log;
        log.options = c.options;
        log.parkingThreshold = c.parkingThreshold;
        TrackPoint a = fixAt(0, 0, 0), b = fixAt(20, 0, 1);
        TrackPoint next = fixAt(c.north, c.east, c.second ? 2 : 1, c.speed);
        ASSERT_TRUE(log.addFix(a));
        ASSERT_TRUE(!c.second || log.addFix(b));
        EXPECT_EQ(log.addFix(next), c.stored);
        ASSERT_EQ(log.count(), 1 + c.second + c.stored);
        EXPECT_EQ(log.at(log.count() - 1).latitude, (c.stored ? next : c.second ? b : a).latitude);
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
    EXPECT_EQ(std::tuple(log.datedCount(), log.lastDatedIndex()), std::tuple(1001, 1000));
    for (int i = 0; i <= 1000; ++i) {
        ASSERT_EQ(log.at(i).latitude, fixAt(i, 0, i).latitude) << "point " << i;
    }
    EXPECT_EQ(log.at(0).state & kSegmentBits, SegmentStart);
    EXPECT_EQ(log.at(999).state & kSegmentBits, 0u);
    EXPECT_EQ(log.at(1000).state & kSegmentBits, SegmentEnd);
}

}  // namespace
}  // namespace wp2
