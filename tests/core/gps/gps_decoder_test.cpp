// What each decoded sentence changes in the receiver state and the track log,
// for any talker and for the GPS talker only, and the reports.

#include "core/gps/gps_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/base/cformat.h"
#include "core/gps/gps_status_flags.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

using namespace GpsStatusFlags;
using test::nmeaLine;
using test::TestDecoder;

const char* kGsa3d = "GPGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1";
const char* kRmc = "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
const char* kGga = "GPGGA,123520.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

class Recorder final : public FixObserver {
public:
    void fixOffered(const TrackPoint& point, bool) override { fixes.push_back(point); }
    void sentenceApplied(std::u16string_view) override { ++lines; }
    std::vector<TrackPoint> fixes;
    int lines = 0;
};

class DecoderTest : public ::testing::Test {
protected:
    explicit DecoderTest(Talkers talkers = Talkers::Any) : t(talkers) {
        t.decoder.setFixObserver(&rec);
    }
    std::string text(const GpsDateTime& d) {
        return cformat("%02d-%02d-%02d %02d:%02d:%06.3f", d.year, d.month, d.day, d.hour, d.minute,
                       d.seconds);
    }
    TestDecoder t;
    Recorder rec;
};

TEST_F(DecoderTest, RmcBeforeAnyFixChangesNeitherPositionNorSpeed) {
    t.state().set(PositionValid);
    t.apply(kRmc);
    EXPECT_EQ(t.state().latitude, 0.0);
    EXPECT_EQ(t.flags(), 0u);
    EXPECT_TRUE(rec.fixes.empty());
    EXPECT_EQ(t.decoder.statistics().rmcSentences, 1);
}

TEST_F(DecoderTest, RmcWithAFixMakesATrackPointAndUpdatesTheState) {
    t.apply(kGsa3d);
    t.clock.advanceMs(5000);
    t.apply(kRmc);
    ASSERT_EQ(rec.fixes.size(), 1u);
    const TrackPoint& p = rec.fixes[0];
    EXPECT_DOUBLE_EQ(p.latitude, (48 + 7.038 / 60) * kDegToRad);
    EXPECT_DOUBLE_EQ(p.longitude, (11 + 31.0 / 60) * kDegToRad);
    EXPECT_EQ(text(p.time), "94-03-23 12:35:19.000");
    EXPECT_DOUBLE_EQ(p.speed, 22.4);
    EXPECT_DOUBLE_EQ(p.course, 84.4);
    EXPECT_DOUBLE_EQ(p.dop, 2.5);
    EXPECT_EQ(p.state, TrackPointState::ThreeD | TrackPointState::Sats5Plus);
    ASSERT_EQ(t.decoder.trackLog().count(), 1);
    const GpsState& s = t.state();
    EXPECT_EQ(s.latitude, p.latitude);
    EXPECT_EQ(s.lastUtc, p.time);
    EXPECT_DOUBLE_EQ(s.speed, 22.4 * 0.5144444444444445);
    EXPECT_EQ(s.lastFixTime, TestDecoder::kStart + 5);
    EXPECT_EQ(t.flags(), Fix3D | PositionValid | Moving | TrackPointValid | DataValid);
    // Moving needs half a kilometre per hour: 0.27 knots is 0.49999 km/h.
    t.apply("GPRMC,123520,A,4807.038,N,01131.000,E,0.2699,0,230394,,");
    EXPECT_FALSE(t.state().has(Moving));
    t.apply("GPRMC,123521,A,4807.038,N,01131.000,E,0.2700,0,230394,,");
    EXPECT_TRUE(t.state().has(Moving));
}

TEST_F(DecoderTest, GgaPointTakesItsDateFromTheLastRmc) {
    t.apply(kGga);  // before any RMC: no date, not kept
    ASSERT_EQ(rec.fixes.size(), 1u);
    EXPECT_EQ(text(rec.fixes[0].time), "00-00-00 12:35:20.500");
    EXPECT_EQ(rec.fixes[0].state, TrackPointState::FromGga | TrackPointState::NoVelocity |
                                      TrackPointState::Quality1 | TrackPointState::Sats5Plus |
                                      TrackPointState::NoDate);
    EXPECT_EQ(rec.fixes[0].satellites, 8);
    EXPECT_DOUBLE_EQ(rec.fixes[0].dop, 0.9);
    EXPECT_EQ(t.decoder.trackLog().count(), 0);
    EXPECT_DOUBLE_EQ(t.state().altitude, 545.4);
    t.apply(kGsa3d);
    t.apply(kRmc);
    t.apply("GPGGA,123521,4807.038,N,01131.000,E,3,04,0.9,545.4,M,46.9,M,,");
    ASSERT_EQ(rec.fixes.size(), 3u);
    EXPECT_DOUBLE_EQ(rec.fixes[1].altitude, 545.4);  // the RMC takes the GGA altitude
    EXPECT_EQ(text(rec.fixes[2].time), "94-03-23 12:35:21.000");
    EXPECT_EQ(rec.fixes[2].state, TrackPointState::FromGga | TrackPointState::NoVelocity |
                                      TrackPointState::Quality4 | TrackPointState::Sats4);
    // A GGA without fix ends the track segment and changes nothing else.
    t.apply("GPGGA,123522,4808.038,N,01131.000,E,0,00,,,M,,M,,");
    EXPECT_TRUE(t.decoder.trackLog().at(0).state & TrackPointState::SegmentEnd);
    EXPECT_EQ(t.flags() & FixBits, 0u);
    EXPECT_EQ(t.state().satellitesGga, 4);
}

TEST(GsaTest, FixTypesAndTooFewSatellites) {
    TestDecoder t(Talkers::GpsOnly);  // each GSA by itself
    struct Case {
        const char* body;
        std::uint32_t flags;  // DataValid aside
        int used;
    };
    const Case cases[] = {
        {"GPGSA,A,2,04,05,09,,,,,,,,,,3.0,2.0,1.0", Fix2D, 3},
        {"GPGSA,A,3,04,05,,,,,,,,,,,1.0,2.0,3.0", 0, 2},  // 3D, but two satellites
        {kGsa3d, Fix3D, 5},
        {"GPGSA,A,1,04,05,09,12,,,,,,,,,1.0,2.0,3.0", 0, 4},
    };
    int accuracies = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        t.state().set(PositionValid);
        t.apply(c.body);
        EXPECT_EQ(t.flags(), DataValid | c.flags | (c.flags ? PositionValid : 0));
        EXPECT_EQ(t.state().satellitesUsed, c.used);
        accuracies += c.flags != 0;
        EXPECT_EQ(t.state().accuracy.count(), accuracies);
    }
    EXPECT_DOUBLE_EQ(t.state().accuracy.mean(), (3.0 * 2.9 + 2.4 + 2.5 * 2.9 + 2.4) / 2);
    EXPECT_DOUBLE_EQ(t.state().vdop, 3.0);
}

TEST_F(DecoderTest, AnyTwoLetterTalkerButNoProprietarySentence) {
    for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
        for (Talkers talkers : {Talkers::Any, Talkers::GpsOnly}) {
            SCOPED_TRACE(std::string(talker) + (talkers == Talkers::Any ? " any" : " gp"));
            TestDecoder d(talkers);
            const std::string tk = talker;
            d.apply(tk + "GSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
            d.apply(tk + "RMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
            d.apply(tk + "GGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
            const bool decoded = talkers == Talkers::Any || tk == "GP";
            EXPECT_EQ(d.decoder.trackLog().count(), decoded ? 1 : 0);
            EXPECT_EQ(d.state().satellitesGga, decoded ? 8 : 0);
            EXPECT_EQ(d.decoder.statistics().rmcSentences, decoded ? 1 : 0);
        }
    }
    // Garmin's $PGRMC is a configuration sentence, not an RMC.
    t.apply(kGsa3d);
    t.apply("PGRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
    EXPECT_EQ(t.decoder.statistics().rmcSentences, 0);
}

TEST_F(DecoderTest, OneFixUnderTwoTalkersIsTakenOnceWithoutJitter) {
    // The combined (GN) and the GPS-only (GP) solution of each second differ a
    // little; the receiver without GP copies records the same track.
    TestDecoder gnOnly;
    for (TestDecoder* d : {&t, &gnOnly}) {
        d->apply("GNGSA,A,3,04,05,09,12,24,,,,,,,,2.5,1.3,2.1");
        for (int s = 10; s < 40; ++s) {
            const std::string hms = "1235" + std::to_string(s) + ".00,";
            for (const std::string tk : {"GN", "GP"}) {
                const std::string pos = (tk == "GN" ? "4807.0380" : "4807.0391") +
                                        std::string(",N,011") + std::to_string(s) + ".000,E,";
                if (tk == "GN" || d == &t) {
                    d->apply(tk + "RMC," + hms + "A," + pos + "30.0,90.0,230394,,,A");
                    d->apply(tk + "GGA," + hms + pos + "1,08,0.9,545.4,M,46.9,M,,");
                }
                EXPECT_DOUBLE_EQ(d->state().latitude, 48.1173 * kDegToRad) << s;
            }
        }
    }
    EXPECT_EQ(rec.fixes.size(), 60u);
    const TrackLog& track = t.decoder.trackLog();
    ASSERT_EQ(track.count(), gnOnly.decoder.trackLog().count());
    for (int i = 0; i < track.count(); ++i) {
        EXPECT_EQ(track.at(i).latitude, gnOnly.decoder.trackLog().at(i).latitude);
        EXPECT_EQ(track.at(i).time, gnOnly.decoder.trackLog().at(i).time);
    }
    EXPECT_EQ(t.decoder.statistics().rmcSentences, 60);
    // A new time under the other talker is a new fix.
    t.apply("GPRMC,123540.00,A,4807.0391,N,01131.000,E,0.0,0.0,230394,,,A");
    EXPECT_EQ(rec.fixes.size(), 61u);
}

TEST_F(DecoderTest, TheGsaSentencesOfOneEpochCountAsOne) {
    // GPS with two satellites, then GLONASS with four: a fix with six.
    const std::string epoch = "GNGSA,A,3,19,27,,,,,,,,,,,2.1,1.8,0.9";
    const std::string glonass = "GNGSA,A,3,67,84,83,75,,,,,,,,,2.1,1.8,0.9,2";
    for (int round = 1; round <= 2; ++round) {
        t.apply(epoch);
        t.apply(glonass);
        EXPECT_EQ(t.state().satellitesUsed, 6);
        // The position stays valid through the first GSA's two satellites.
        EXPECT_EQ(t.flags() & FixBits, round == 1 ? Fix3D : Fix3D | PositionValid);
        EXPECT_EQ(t.state().accuracy.count(), round);  // once per epoch
        t.apply("GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,V");
        EXPECT_TRUE(t.state().has(PositionValid));
    }
    // The GPS talker alone takes each GSA by itself.
    TestDecoder gp(Talkers::GpsOnly);
    gp.apply("GPGSA,A,3,67,84,83,75,,,,,,,,,2.1,1.8,0.9");
    gp.state().set(PositionValid);
    gp.apply("GPGSA,A,3,19,27,,,,,,,,,,,2.1,1.8,0.9");
    EXPECT_EQ(gp.state().satellitesUsed, 2);
    EXPECT_EQ(gp.flags(), DataValid);
}

TEST_F(DecoderTest, AnyTalkerWantsRealHemisphereLetters) {
    for (Talkers talkers : {Talkers::Any, Talkers::GpsOnly}) {
        TestDecoder d(talkers);
        d.apply(kGsa3d);
        d.apply("GPRMC,123519,A,4807.038,n,01131.000,E,022.4,084.4,230394,,");
        d.apply("GPGGA,1,4807.038,x,01131.000,E,1,08,0.9,1,M,1,M,,");
        EXPECT_EQ(d.decoder.trackLog().count() + d.state().satellitesGga,
                  talkers == Talkers::Any ? 0 : 1 + 8);
    }
}

TEST_F(DecoderTest, Reports) {
    EXPECT_EQ(t.decoder.statisticsReport(),
              "GPS Rec. statistics:\r\nTotal symbols: 0\r\n"
              "Accepted symbols: 0 (0%)\r\nIgnored symbols: 0 (0%)\r\n"
              "Total sentences: 0\r\nValid sentences: 0 (0%)\r\nRMC sentences: 0\r\n"
              "Total refreshes: 0\r\nAverage symbols in buffer: 0\r\n"
              "Max symbols in buffer: 0 (0%)\r\nEmpty buffer accesses: 0\r\nState: 0\r\n"
              "Signal is weak, fix 0 satelites\r\n");
    // 49 + 70 + 69 bytes; each "$" after a line end is counted as ignored and
    // again as the start of its line.
    test::appendText(t.decoder.receiveBuffer(), nmeaLine(kGsa3d) + nmeaLine(kRmc) + nmeaLine(kGga));
    t.decoder.decodePending();
    const std::string tail =
        "Max symbols in buffer: 188 (1%)\r\nEmpty buffer accesses: 0\r\nState: 103\r\n"
        "Signal Level OK, fix 5 satelites\r\nAccuracy 9 M; HDOP 1.3; VDOP 2.1\r\n";
    EXPECT_EQ(t.decoder.statisticsReport(),
              "GPS Rec. statistics:\r\nTotal symbols: 190\r\nAccepted symbols: 182 (95%)\r\n"
              "Ignored symbols: 8 (4%)\r\nTotal sentences: 3\r\nValid sentences: 3 (75%)\r\n"
              "RMC sentences: 1\r\nTotal refreshes: 1\r\nAverage symbols in buffer: 95\r\n" +
                  tail);
    EXPECT_EQ(t.decoder.statusReport(),
              "GPS Rec. statistics:\r\nTotal symbols: 190\r\nSatelites fixed GSA (GGA): 5 (8)\r\n"
              "Speed / Course: 11.5 / 84.4\r\nPDOP/HDOP/VDOP: 2.5 / 1.3 / 2.1\r\n"
              "Points Total (Valid): 1 (1)\r\nFix: 3d\r\nTotal refreshes: 1\r\n"
              "Condition: BLINKING RED\r\n" +
                  tail);
    // A failing line becomes "Error" and counts no RMC; each refresh clears Moving.
    t.clock.setNow(TestDecoder::kStart + 42);
    test::appendText(t.decoder.receiveBuffer(), nmeaLine(kGsa3d) + "$GPRMC,garbled*00\r\n");
    t.decoder.decodePending();
    EXPECT_EQ(t.state().lastSentence, u"Error");
    EXPECT_EQ(t.state().lastDataTime, TestDecoder::kStart + 42);
    EXPECT_EQ(t.decoder.statistics().rmcSentences, 1);
    EXPECT_EQ(t.flags(), 103u - Moving);
    EXPECT_EQ(rec.lines, 5);
    // A garbled DOP does not break the accuracy line.
    t.apply("GPGSA,A,3,04,05,09,12,24,,,,,,,,1e999,1.3,2.1");
    t.apply(kRmc);
    EXPECT_NE(t.decoder.statisticsReport().find("Accuracy 2147483647 M;"), std::string::npos);
}

TEST(GpsConditionTest, EvaluatedInOrder) {
    const std::uint32_t live = DataValid | LinkOpen | TrackPointValid;
    const struct {
        std::uint32_t flags;
        int ggaSatellites;
        double pdop;
        GpsCondition expected;
    } cases[] = {
        {0, 8, 1.0, GpsCondition::BlinkingRed},
        {LinkOpen | Fix3D | TrackPointValid, 8, 1.0, GpsCondition::BlinkingRed},
        {DataValid | Fix3D | TrackPointValid, 8, 1.0, GpsCondition::BlinkingRed},
        {DataValid | LinkOpen | Fix3D, 8, 1.0, GpsCondition::Red},
        {live, 8, 1.0, GpsCondition::Red},
        {live | Fix3D, 4, 6.0, GpsCondition::Green},
        {live | Fix3D, 4, 6.1, GpsCondition::Yellow},
        {live | Fix3D, 3, 1.0, GpsCondition::Yellow},
        {live | Fix2D | Fix3D, 12, 1.0, GpsCondition::Yellow},
    };
    for (const auto& c : cases) {
        GpsState s;
        s.flags = c.flags;
        s.satellitesGga = c.ggaSatellites;
        s.pdop = c.pdop;
        EXPECT_EQ(condition(s), c.expected) << c.flags << " " << c.ggaSatellites << " " << c.pdop;
    }
    EXPECT_STREQ(conditionText(GpsCondition::Yellow), "YELLOW");
}

TEST_F(DecoderTest, SnapshotFollowsTheState) {
    GpsLink link(t.clock, test::quietTrackLog());
    NavSnapshot snap;
    snap.ellipsoid = &wgs84();
    snap.setTarget(GeoPoint{});
    snap.targetPoint.latitude = 48.2 * kDegToRad;
    snap.targetPoint.longitude = (11 + 31.0 / 60) * kDegToRad;
    std::vector<int> levels;
    for (const char* body : {"", "GPGSA,A,2,04,05,09,,,,,,,,,,0.9,2.0,1.0", kGsa3d}) {
        link.state().set(*body ? LinkOpen : 0);
        link.applySentence(test::nmea16(*body ? body : "GPTXT"));
        snap.refreshFromLink(link);
        levels.push_back(snap.fixLevel);
        EXPECT_EQ(snap.targetDistance == 0.0, levels.size() == 1);  // none without a fix
        EXPECT_EQ(snap.status, link.state().flags + (snap.fixLevel > 2 ? 0x100 : 0));
    }
    EXPECT_EQ(levels, (std::vector<int>{1, 3, 4}));
    link.applySentence(test::nmea16("GPRMC,123519,A,4807.038,N,01131.000,E,5,84.4,230394,,"));
    snap.refreshFromLink(link);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_DOUBLE_EQ(snap.accuracy(), 2.5 * 2.9 + 2.4);
    EXPECT_NEAR(snap.targetDistance, (48.2 - 48.1173) * 111200, 200);
    EXPECT_NEAR(snap.targetBearing, 0.0, 1e-6);
    // Below 0.3 m/s course and bearing hold; below 0.1 m/s the speed is not averaged.
    link.applySentence(test::nmea16("GPRMC,123520,A,4807.038,N,01131.000,E,0.1,250,230394,,"));
    snap.targetPoint.latitude = 48.0 * kDegToRad;
    snap.refreshFromLink(link);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_NEAR(snap.targetBearing, 0.0, 1e-6);
    EXPECT_EQ(snap.averageSpeed.count(), 1);
}

}  // namespace
}  // namespace wp2
