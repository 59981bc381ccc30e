#include "core/gps/gps_link.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/gps/gps_status_flags.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::nmea;
using test::nmea16;
using test::TestLink;
using test::u16;

const char* kGsa3d = "GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1";
const char* kRmc = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
const char* kGga = "GPGGA,123520.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

struct Offered {
    TrackPoint point;
    bool kept;
};

class Recorder final : public FixObserver {
public:
    void fixOffered(const TrackPoint& point, bool kept) override { fixes.push_back({point, kept}); }
    void sentenceApplied(std::u16string_view) override { ++lines; }
    std::vector<Offered> fixes;
    int lines = 0;
};

// A link on a hand-moved clock with a recorder of the fixes it offers.
class GpsLinkTest : public ::testing::Test {
protected:
    GpsLinkTest() { t.link.setFixObserver(&rec); }
    Recorder rec;
    TestLink t;
};
using NavSnapshotTest = GpsLinkTest;

TEST_F(GpsLinkTest, RmcBeforeAnyFixChangesNeitherPositionNorSpeed) {
    t.link.state().set(PositionValid);
    t.apply(kRmc);
    EXPECT_EQ(t.link.state().latitude, 0.0);
    EXPECT_EQ(t.link.state().speed, 0.0);
    EXPECT_FALSE(t.link.state().has(PositionValid));
    EXPECT_TRUE(rec.fixes.empty());
    EXPECT_EQ(t.link.statistics().rmcSentences, 1);
    EXPECT_EQ(rec.lines, 1);
}

TEST_F(GpsLinkTest, RmcWithAFixMakesATrackPointAndUpdatesTheState) {
    t.apply(kGsa3d);
    t.clock.advanceMs(5000);
    t.apply(kRmc);
    ASSERT_EQ(rec.fixes.size(), 1u);
    const TrackPoint& p = rec.fixes[0].point;
    EXPECT_DOUBLE_EQ(p.latitude, (48 + 7.038 * 0.016666666666666666) * kDegToRad);
    EXPECT_DOUBLE_EQ(p.longitude, (11 + 31.0 * 0.016666666666666666) * kDegToRad);
    EXPECT_EQ(test::dateTimeText(p.time), "94-03-23 12:35:19.000");
    EXPECT_DOUBLE_EQ(p.speed, 22.4);
    EXPECT_DOUBLE_EQ(p.course, 84.4);
    EXPECT_DOUBLE_EQ(p.dop, 2.5);
    EXPECT_EQ(p.state, TrackPointState::ThreeD | TrackPointState::Sats5Plus);
    EXPECT_TRUE(rec.fixes[0].kept);
    ASSERT_EQ(t.link.trackLog().count(), 1);
    EXPECT_EQ(t.link.trackLog().at(0).state,
              p.state | TrackPointState::SegmentStart | TrackPointState::SegmentEnd);

    const GpsState& s = t.link.state();
    EXPECT_EQ(s.latitude, p.latitude);
    EXPECT_EQ(s.lastUtc, p.time);
    EXPECT_DOUBLE_EQ(s.speed, 22.4 * 0.5144444444444445);
    EXPECT_DOUBLE_EQ(s.course, 84.4);
    EXPECT_EQ(s.lastFixTime, TestLink::kStart + 5);
    EXPECT_EQ(t.flags(), Fix3D | PositionValid | Moving | TrackPointValid | DataValid);
}

TEST_F(GpsLinkTest, MovingNeedsHalfAKilometrePerHour) {
    t.apply(kGsa3d);
    // 0.27 knots = 0.4999... km/h; 0.2700 is just below, 0.2701 just above.
    t.apply("GPRMC,123519,A,4807.038,N,01131.000,E,0.2699,0,230394,,");
    EXPECT_FALSE(t.link.state().has(Moving));
    t.apply("GPRMC,123521,A,4807.038,N,01131.000,E,0.2700,0,230394,,");
    EXPECT_TRUE(t.link.state().has(Moving));
    t.apply("GPRMC,123522,A,4807.038,N,01131.000,E,0.1,0,230394,,");
    EXPECT_FALSE(t.link.state().has(Moving));
}

TEST_F(GpsLinkTest, OnlyGpTalkersAreDecodedButGsvFromAnyTalker) {
    t.apply(kGsa3d);
    t.apply("GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    t.apply("GNGGA,123520.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    t.apply("GNGSA,A,2,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
    EXPECT_EQ(t.link.trackLog().count(), 0);
    EXPECT_EQ(t.link.statistics().rmcSentences, 0);
    EXPECT_TRUE(t.link.state().has(Fix3D));
    t.apply("BDGSV,1,1,01,201,40,100,30");
    EXPECT_EQ(t.link.state().satellites.publishedCount(), 1);
    EXPECT_EQ(t.link.state().satellites.satellite(0)->prn, 201);
}

TEST_F(GpsLinkTest, GsaFixTypesAndTooFewSatellites) {
    t.clock.setNow(TestLink::kStart + 10);
    t.apply("GPGSA,A,2,04,05,09,,,,,,,,,,3.0,2.0,1.0");
    EXPECT_EQ(t.flags(), DataValid | Fix2D);
    EXPECT_EQ(t.link.state().lastFixTime, TestLink::kStart + 10);
    EXPECT_EQ(t.link.state().satellitesUsed, 3);
    EXPECT_DOUBLE_EQ(t.link.state().accuracy.mean(), 3.0 * 2.9 + 2.4);
    EXPECT_DOUBLE_EQ(t.link.state().pdop, 3.0);
    EXPECT_DOUBLE_EQ(t.link.state().hdop, 2.0);

    t.link.state().set(PositionValid);
    t.apply("GPGSA,A,3,04,05,,,,,,,,,,,1.0,2.0,3.0");
    EXPECT_EQ(t.flags(), DataValid);  // 3D reported but only two satellites
    EXPECT_EQ(t.link.state().accuracy.count(), 1);
    EXPECT_DOUBLE_EQ(t.link.state().vdop, 3.0);

    t.apply(kGsa3d);
    EXPECT_EQ(t.flags(), DataValid | Fix3D);
    t.link.state().set(PositionValid);
    t.apply("GPGSA,A,1,04,05,09,12,,,,,,,,,1.0,2.0,3.0");
    EXPECT_EQ(t.flags(), DataValid);
    EXPECT_EQ(t.link.state().accuracy.count(), 2);
}

TEST_F(GpsLinkTest, LosingTheFixEndsTheTrackSegment) {
    t.apply(kGsa3d);
    t.apply(kRmc);
    t.apply("GPRMC,123619,A,4808.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    ASSERT_EQ(t.link.trackLog().count(), 2);
    EXPECT_FALSE(t.link.trackLog().at(0).state & TrackPointState::SegmentEnd);
    t.apply("GPGGA,123620,4808.038,N,01131.000,E,0,00,,,M,,M,,");
    EXPECT_TRUE(t.link.trackLog().at(1).state & TrackPointState::SegmentEnd);
    EXPECT_FALSE(t.link.state().has(Fix3D));
    EXPECT_EQ(t.link.trackLog().count(), 2);
    EXPECT_EQ(t.link.state().satellitesGga, 0);  // a GGA without fix changes nothing else
}

TEST_F(GpsLinkTest, GgaPointTakesItsDateFromTheLastRmc) {
    t.apply(kGga);  // before any RMC: no date
    ASSERT_EQ(rec.fixes.size(), 1u);
    const TrackPoint& undated = rec.fixes[0].point;
    EXPECT_EQ(test::dateTimeText(undated.time), "00-00-00 12:35:20.500");
    EXPECT_EQ(undated.state, TrackPointState::FromGga | TrackPointState::NoVelocity |
                                 TrackPointState::Quality1 | TrackPointState::Sats5Plus |
                                 TrackPointState::NoDate);
    EXPECT_DOUBLE_EQ(undated.altitude, 545.4);
    EXPECT_DOUBLE_EQ(undated.dop, 0.9);
    EXPECT_EQ(undated.satellites, 8);
    EXPECT_EQ(undated.speed, 0.0);
    EXPECT_EQ(t.link.trackLog().count(), 0);
    EXPECT_EQ(t.link.state().satellitesGga, 8);
    EXPECT_DOUBLE_EQ(t.link.state().altitude, 545.4);

    t.apply(kGsa3d);
    t.apply(kRmc);
    t.apply("GPGGA,123521,4807.038,N,01131.000,E,3,04,0.9,545.4,M,46.9,M,,");
    ASSERT_EQ(rec.fixes.size(), 3u);
    const TrackPoint& dated = rec.fixes[2].point;
    EXPECT_EQ(test::dateTimeText(dated.time), "94-03-23 12:35:21.000");
    EXPECT_EQ(dated.state & ~TrackPointState::SegmentEnd,
              TrackPointState::FromGga | TrackPointState::NoVelocity | TrackPointState::Quality4 |
                  TrackPointState::Sats4);
    EXPECT_EQ(t.link.state().lastUtc, dated.time);
    // The RMC altitude comes from the GGA before it.
    EXPECT_DOUBLE_EQ(rec.fixes[1].point.altitude, 545.4);
}

TEST_F(GpsLinkTest, RmcAndGgaEverySecondOfferTwoPointsPerSecond) {
    t.apply(kGsa3d);
    for (int s = 10; s < 20; ++s) {
        std::string hms = "1235" + std::to_string(s);
        t.apply("GPRMC," + hms + ",A,4807.038,N,01131.000,E,0.0,0.0,230394,,");
        t.apply("GPGGA," + hms + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    }
    ASSERT_EQ(rec.fixes.size(), 20u);
    for (std::size_t i = 0; i < rec.fixes.size(); ++i) {
        EXPECT_EQ((rec.fixes[i].point.state & TrackPointState::FromGga) != 0, i % 2 == 1) << i;
        EXPECT_EQ(rec.fixes[i].point.time.seconds, 10.0 + static_cast<double>(i / 2)) << i;
    }
}

TEST_F(GpsLinkTest, TakeLineCountsAndMarksValidSentences) {
    std::string bytes = nmea(kGsa3d) + "\r\n$GPGSA,bad*00\r\n" + nmea(kRmc) + "\r\n";
    test::appendText(t.link.receiveBuffer(), bytes);
    t.clock.setNow(TestLink::kStart + 42);
    t.link.decodePending();
    const GpsStatistics& s = t.link.statistics();
    EXPECT_EQ(s.totalRefreshes, 1);
    EXPECT_EQ(s.totalSentences, 3);
    EXPECT_EQ(s.validSentences, 2);
    EXPECT_EQ(s.rmcSentences, 1);
    EXPECT_EQ(t.link.state().lastSentence, u16(nmea(kRmc)));
    EXPECT_EQ(t.link.state().lastDataTime, TestLink::kStart + 42);
    EXPECT_TRUE(t.link.state().has(Moving));
    // The next refresh starts by clearing Moving, and an empty buffer keeps the last sentence.
    t.link.decodePending();
    EXPECT_FALSE(t.link.state().has(Moving));
    EXPECT_EQ(t.link.state().lastSentence, u16(nmea(kRmc)));
}

TEST_F(GpsLinkTest, AFailedChecksumBecomesTheLastSentenceError) {
    test::appendText(t.link.receiveBuffer(), "$GPRMC,garbled*00\r\n$");
    t.link.decodePending();
    EXPECT_EQ(t.link.state().lastSentence, u"Error");
    EXPECT_EQ(t.link.statistics().rmcSentences, 0);
    EXPECT_FALSE(t.link.state().has(DataValid));
}

TEST_F(GpsLinkTest, StatisticsReportWithoutSentences) {
    EXPECT_EQ(t.link.statisticsReport(),
              "GPS Rec. statistics:\r\nTotal symbols: 0\r\n"
              "Accepted symbols: 0 (0%)\r\nIgnored symbols: 0 (0%)\r\n"
              "Total sentences: 0\r\nValid sentences: 0 (0%)\r\nRMC sentences: 0\r\n"
              "Total refreshes: 0\r\nAverage symbols in buffer: 0\r\n"
              "Max symbols in buffer: 0 (0%)\r\nEmpty buffer accesses: 0\r\nState: 0\r\n"
              "Signal is weak, fix 0 satelites\r\n");
}

TEST_F(GpsLinkTest, ReportsAfterAFix) {
    std::string bytes = nmea(kGsa3d) + "\r\n" + nmea(kRmc) + "\r\n" + nmea(kGga) + "\r\n";
    test::appendText(t.link.receiveBuffer(), bytes);
    t.link.decodePending();
    // Each "$" after a line end is counted as ignored and again as the start of its line.
    const auto total = static_cast<long long>(bytes.size()) + 2;
    const long long accepted = total - 8;
    std::string common =
        "Max symbols in buffer: " + std::to_string(bytes.size()) + " (" +
        std::to_string(bytes.size() * 100 / 10000) +
        "%)\r\nEmpty buffer accesses: 0\r\nState: " + std::to_string(t.flags()) +
        "\r\nSignal Level OK, fix 5 satelites\r\nAccuracy 9 M; HDOP 1.3; VDOP 2.1\r\n";
    EXPECT_EQ(t.link.statisticsReport(),
              "GPS Rec. statistics:\r\nTotal symbols: " + std::to_string(total) +
                  "\r\nAccepted symbols: " + std::to_string(accepted) + " (" +
                  std::to_string(accepted * 100 / (total + 1)) + "%)\r\nIgnored symbols: 8 (" +
                  std::to_string(800 / (total + 1)) +
                  "%)\r\nTotal sentences: 3\r\nValid sentences: 3 (75%)\r\nRMC sentences: 1\r\n"
                  "Total refreshes: 1\r\nAverage symbols in buffer: " +
                  std::to_string(total / 2) + "\r\n" + common);
    EXPECT_EQ(t.link.statusReport(),
              "GPS Rec. statistics:\r\nTotal symbols: " + std::to_string(total) +
                  "\r\nSatelites fixed GSA (GGA): 5 (8)\r\nSpeed / Course: 11.5 / 84.4\r\n"
                  "PDOP/HDOP/VDOP: 2.5 / 1.3 / 2.1\r\nPoints Total (Valid): 1 (1)\r\nFix: 3d\r\n"
                  "Total refreshes: 1\r\nCondition: BLINKING RED\r\n" +
                  common);
}

TEST_F(GpsLinkTest, AGarbledDopDoesNotBreakTheAccuracyLine) {
    t.apply("GPGSA,A,3,04,05,09,12,24,,,,,,,,1e999,1.3,2.1");
    t.apply(kRmc);
    EXPECT_NE(t.link.statisticsReport().find("Accuracy 2147483647 M; HDOP 1.3"), std::string::npos);
}

struct ConditionCase {
    std::uint32_t flags;
    int ggaSatellites;
    double pdop;
    GpsCondition expected;
};

TEST(GpsConditionTest, EvaluatedInOrder) {
    const std::uint32_t live = DataValid | LinkOpen | TrackPointValid;
    const ConditionCase cases[] = {
        {0, 8, 1.0, GpsCondition::BlinkingRed},
        {LinkOpen | Fix3D | TrackPointValid, 8, 1.0, GpsCondition::BlinkingRed},
        {DataValid | Fix3D | TrackPointValid, 8, 1.0, GpsCondition::BlinkingRed},
        {DataValid | LinkOpen, 8, 1.0, GpsCondition::Red},
        {DataValid | LinkOpen | Fix3D, 8, 1.0, GpsCondition::Red},
        {live | Fix3D, 4, 6.0, GpsCondition::Green},
        {live | Fix3D, 4, 6.1, GpsCondition::Yellow},
        {live | Fix3D, 3, 1.0, GpsCondition::Yellow},
        {live | Fix2D, 12, 1.0, GpsCondition::Yellow},
        {live | Fix2D | Fix3D, 12, 1.0, GpsCondition::Yellow},
    };
    for (const ConditionCase& c : cases) {
        GpsState s;
        s.flags = c.flags;
        s.satellitesGga = c.ggaSatellites;
        s.pdop = c.pdop;
        EXPECT_EQ(condition(s), c.expected) << c.flags << " " << c.ggaSatellites << " " << c.pdop;
    }
    EXPECT_STREQ(conditionText(GpsCondition::Yellow), "YELLOW");
}

TEST(RunningAverageTest, MeanOfTheLastValuesOnly) {
    RunningAverage a(3);
    EXPECT_EQ(a.mean(), 0.0);
    a.add(3);
    EXPECT_DOUBLE_EQ(a.mean(), 3);
    a.add(6);
    a.add(9);
    EXPECT_DOUBLE_EQ(a.mean(), 6);
    a.add(30);  // replaces the 3
    EXPECT_DOUBLE_EQ(a.mean(), 15);
    EXPECT_EQ(a.count(), 3);
}

TEST_F(NavSnapshotTest, LiveRefreshCopiesTheState) {
    t.link.state().set(LinkOpen);
    t.apply(kGsa3d);
    t.apply("GPGSV,1,1,02,26,30,090,33,19,60,180,");
    t.apply(kRmc);
    NavSnapshot snap;
    snap.refreshFromLink(t.link);
    EXPECT_EQ(snap.latitude, t.link.state().latitude);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_EQ(snap.fixLevel, 4);
    EXPECT_EQ(snap.status, t.flags() + 0x100);
    EXPECT_DOUBLE_EQ(snap.pdop, 2.5);
    EXPECT_DOUBLE_EQ(snap.accuracy(), 2.5 * 2.9 + 2.4);
    EXPECT_EQ(snap.satellitesInView, 2);
    EXPECT_EQ(snap.satellitesWithSignal, 1);
    EXPECT_EQ(snap.satellites[1].prn, 19);
    EXPECT_DOUBLE_EQ(snap.satellites[1].elevation, 60 * kDegToRad);
    EXPECT_DOUBLE_EQ(snap.satellites[0].azimuth, 90 * kDegToRad);
    EXPECT_EQ(snap.averageSpeed.count(), 1);

    // Below 0.3 m/s the course holds and the speed is not averaged.
    t.apply("GPRMC,123619,A,4807.038,N,01131.000,E,0.5,200.0,230394,,");
    snap.refreshFromLink(t.link);
    EXPECT_DOUBLE_EQ(snap.speed, 0.5 * 0.5144444444444445);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_EQ(snap.averageSpeed.count(), 2);
    t.apply("GPRMC,123620,A,4807.038,N,01131.000,E,0.1,250.0,230394,,");
    snap.refreshFromLink(t.link);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_EQ(snap.averageSpeed.count(), 2);
}

TEST_F(NavSnapshotTest, FixLevelsAndAccuracyBelowOne) {
    NavSnapshot snap;
    snap.refreshFromLink(t.link);
    EXPECT_EQ(snap.fixLevel, 1);
    t.link.state().set(LinkOpen);
    snap.refreshFromLink(t.link);
    EXPECT_EQ(snap.fixLevel, 2);
    EXPECT_EQ(snap.status, LinkOpen);
    t.apply("GPGSA,A,2,04,05,09,,,,,,,,,,0.9,2.0,1.0");
    snap.refreshFromLink(t.link);
    EXPECT_EQ(snap.fixLevel, 3);
    EXPECT_EQ(snap.status, t.flags() + 0x100);
    EXPECT_EQ(snap.accuracy(), 0.0);
}

TEST_F(NavSnapshotTest, TargetDistanceNeedsAFixAndBearingNeedsSpeed) {
    NavSnapshot snap;
    snap.ellipsoid = &wgs84();
    GeoPoint target;
    target.latitude = 48.2 * kDegToRad;
    target.longitude = (11 + 31.0 / 60) * kDegToRad;
    snap.setTarget(target);
    EXPECT_EQ(snap.targetSet, 1);
    snap.refreshFromLink(t.link);
    EXPECT_EQ(snap.targetDistance, 0.0);  // no fix yet

    t.apply(kGsa3d);
    t.apply("GPRMC,123519,A,4807.038,N,01131.000,E,0.1,0,230394,,");
    snap.refreshFromLink(t.link);
    EXPECT_NEAR(snap.targetDistance, (48.2 - 48.1173) * 111200, 200);
    EXPECT_EQ(snap.targetBearing, 0.0);  // too slow for a bearing
    t.apply("GPRMC,123520,A,4807.038,N,01131.000,E,5,0,230394,,");
    snap.refreshFromLink(t.link);
    EXPECT_NEAR(snap.targetBearing, 0.0, 1e-6);
    target.latitude = 48.0 * kDegToRad;
    snap.setTarget(target);
    snap.refreshFromLink(t.link);
    EXPECT_NEAR(snap.targetBearing, 3.1415926525, 1e-6);
}

}  // namespace
}  // namespace wp2
