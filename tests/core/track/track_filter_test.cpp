// The recording filter: parking and straight-line tests, RMC/GGA merges,
// undated fixes, segments and growth of the point array.

#include "core/track/track_filter.h"

#include <gtest/gtest.h>

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

TEST(FixTimeDifference, CountsEveryFieldWithItsWeight) {
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(24, 6, 15, 12, 0, 0), at(24, 6, 16, 12, 0, 0)), 86400.0);
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(24, 6, 15, 12, 0, 59.5), at(24, 6, 15, 12, 1, 0.25)),
                     0.75);
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(24, 6, 15, 12, 0, 0), at(24, 6, 15, 13, 0, 0)), 3600.0);
    // A year is 8760 hours and a month 720, whatever the calendar says.
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(23, 6, 15, 0, 0, 0), at(24, 6, 15, 0, 0, 0)),
                     8760.0 * 3600.0);
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(24, 1, 31, 0, 0, 0), at(24, 2, 1, 0, 0, 0)),
                     (720.0 - 30.0 * 24.0) * 3600.0);
    // Backwards in time is negative (the fields are unsigned bytes).
    EXPECT_DOUBLE_EQ(fixTimeDifference(at(24, 6, 16, 0, 0, 0), at(24, 6, 15, 23, 59, 50)), -10.0);
}

TEST(StraightDeviation, IsTheHeightOverTheOuterSide) {
    // s at the origin, l 20 m north, n 20 m north and 30 m east: l lies
    // 2 * area / |ns| = 600 / sqrt(30^2 + 20^2) metres off the line s-n.
    const TrackPoint s = fixAt(0, 0), l = fixAt(20, 0), n = fixAt(20, 30);
    const double c = approxDistance(n.position(), l.position());
    EXPECT_NEAR(straightDeviation(n, l, s, c), 600.0 / std::sqrt(1300.0), 0.01);
    // On a line the deviation is zero (rounding may not make it negative).
    const TrackPoint far = fixAt(40, 0);
    EXPECT_NEAR(straightDeviation(far, l, s, approxDistance(far.position(), l.position())), 0.0,
                0.01);
    // n back on s: no side to measure against.
    EXPECT_EQ(straightDeviation(s, l, s, approxDistance(s.position(), l.position())), 0.0);
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

TEST_F(TrackFilterTest, GgaAndRmcOfOneSecondMakeOnePointInEitherOrder) {
    for (bool ggaFirst : {true, false}) {
        SCOPED_TRACE(ggaFirst ? "GGA first" : "RMC first");
        TrackLog log;
        // 221 m apart in height: far enough to pass the distance test.
        TrackPoint gga = ggaAt(ggaFirst ? 0 : 0.5, 0, 0, 9);
        gga.altitude = 321.0;
        TrackPoint rmc = fixAt(ggaFirst ? 0.5 : 0, 0, 0, 12.5);
        rmc.course = 87.0;
        ASSERT_TRUE(log.addFix(ggaFirst ? gga : rmc));
        log.addFix(ggaFirst ? rmc : gga);
        ASSERT_EQ(log.count(), 1);
        const TrackPoint& p = log.at(0);
        const TrackPoint& first = ggaFirst ? gga : rmc;
        EXPECT_TRUE(p.latitude == first.latitude && p.altitude == first.altitude);
        EXPECT_EQ(p.satellites, 9);
        EXPECT_TRUE(p.speed == 12.5 && p.course == 87.0);
        EXPECT_EQ((p.state & NoVelocity) != 0, ggaFirst);
    }
}

TEST_F(TrackFilterTest, AMergedFixIsAcceptedWithoutBeingStored) {
    TrackLog log;
    log.options = 0;
    TrackPoint rmc = fixAt(0, 0, 0), gga = ggaAt(100, 0, 0, 6);
    log.addFix(rmc);
    EXPECT_TRUE(log.addFix(gga));
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(log.at(0).satellites, 6);
    EXPECT_EQ(log.at(0).latitude, rmc.latitude);
}

TEST_F(TrackFilterTest, UndatedFixesAreNeverStored) {
    TrackLog log;
    TrackPoint undated = ggaAt(0, 0);
    undated.state |= NoDate;
    EXPECT_TRUE(log.addFix(undated)) << "accepted but passed over on an empty log";
    EXPECT_EQ(log.count(), 0);

    TrackPoint first = fixAt(0, 0);
    log.addFix(first);
    TrackPoint farUndated = fixAt(500, 0, 5);
    farUndated.state |= NoDate;
    EXPECT_FALSE(log.addFix(farUndated)) << "refused by the parking filter";
    EXPECT_EQ(log.count(), 1);

    log.options = 0;
    EXPECT_TRUE(log.addFix(farUndated));
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(log.datedCount(), 1);
}

TEST_F(TrackFilterTest, GgaBeforeRmcNeeds45MetresAndRmcOnlyBringsVelocity) {
    TrackLog log;
    TrackPoint g0 = ggaAt(0, 0, 0), r0 = fixAt(0, 0, 0, 10);
    ASSERT_TRUE(log.addFix(g0));
    EXPECT_FALSE(log.addFix(r0)) << "refused, yet merged into the last point";
    ASSERT_EQ(log.count(), 1);
    EXPECT_EQ(log.at(0).speed, 10.0);

    TrackPoint g1 = ggaAt(44, 0, 1), r1 = fixAt(44, 0, 1, 11);
    EXPECT_FALSE(log.addFix(g1)) << "a GGA fix has speed 0: 44 m is parking";
    log.addFix(r1);
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(log.at(0).speed, 11.0) << "the RMC of the refused second merges anyway";
    EXPECT_EQ(log.at(0).latitude, g0.latitude);

    TrackPoint g2 = ggaAt(46, 0, 2), r2 = fixAt(46, 0, 2, 12);
    EXPECT_TRUE(log.addFix(g2));
    log.addFix(r2);
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.at(1).latitude, g2.latitude);
    EXPECT_EQ(log.at(1).speed, 12.0);
    EXPECT_EQ(log.at(1).satellites, 7);
}

TEST_F(TrackFilterTest, GapsSplitSegmentsOnlyWithSplitOnGap) {
    struct Case {
        std::uint32_t options;
        double gap;
        bool split;
    };
    const Case cases[] = {
        {kFilters | TrackState::SplitOnGap, 6.0, true},
        {kFilters | TrackState::SplitOnGap, 5.0, false},
        {kFilters | TrackState::SplitOnGap, 5.5, true},
        {kFilters, 6.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "gap " << c.gap << " options " << c.options);
        TrackLog log;
        log.options = c.options;
        TrackPoint a = fixAt(0, 0, 0), b = fixAt(50, 0, c.gap);
        log.addFix(a);
        ASSERT_TRUE(log.addFix(b));
        ASSERT_EQ(log.count(), 2);
        EXPECT_EQ(log.at(0).state & kSegmentBits, c.split ? kSegmentBits : SegmentStart);
        EXPECT_EQ(log.at(1).state & kSegmentBits, c.split ? kSegmentBits : SegmentEnd);
    }
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
