// SPDX-License-Identifier: GPL-3.0-or-later
// What each decoded sentence changes in the receiver state and the track log,
// for any talker and for the GPS talker only, the reports, and the sky of
// the GSV groups.

#include "core/gps/gps_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
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
    void sentenceApplied(std::string_view) override {}
    std::vector<TrackPoint> fixes;
};

std::string text(const GpsDateTime& d) {
    return cformat("%02d-%02d-%02d %02d:%02d:%06.3f", d.year, d.month, d.day, d.hour, d.minute,
                   d.seconds);
}

class DecoderTest : public ::testing::Test {
protected:
    DecoderTest() { t.decoder.setFixObserver(&rec); }
    TestDecoder t;
    Recorder rec;
};

TEST_F(DecoderTest, RmcNeedsAFixAndGgaTakesItsDateFromTheLastRmc) {
    t.apply(kGga);  // before any RMC: no date, not kept
    ASSERT_EQ(rec.fixes.size(), 1u);
    EXPECT_EQ(text(rec.fixes[0].time), "00-00-00 12:35:20.500");
    EXPECT_EQ(rec.fixes[0].state, TrackPointState::FromGga | TrackPointState::NoVelocity |
                                      TrackPointState::Quality1 | TrackPointState::Sats5Plus |
                                      TrackPointState::NoDate);
    EXPECT_EQ(t.decoder.trackLog()->count(), 0);
    t.state().set(PositionValid);
    t.apply(kRmc);  // no GSA fix yet: neither position nor speed
    EXPECT_EQ(t.state().speed, 0.0);
    EXPECT_EQ(t.flags(), TrackPointValid);
    EXPECT_EQ(rec.fixes.size(), 1u);
    t.apply(kGsa3d);
    t.apply(kRmc);
    ASSERT_EQ(rec.fixes.size(), 2u);
    const TrackPoint& p = rec.fixes[1];
    EXPECT_NEAR(p.latitude * kRadToDeg, 48.1173, 1e-9);
    EXPECT_NEAR(p.longitude * kRadToDeg, 11.516666666666667, 1e-9);
    EXPECT_EQ(text(p.time), "94-03-23 12:35:19.000");
    EXPECT_EQ((std::array{p.speed, p.course, p.dop, p.altitude}),
              (std::array{22.4, 84.4, 2.5, 545.4}));
    EXPECT_EQ(p.state, TrackPointState::ThreeD | TrackPointState::Sats5Plus);
    ASSERT_EQ(t.decoder.trackLog()->count(), 1);
    EXPECT_NEAR(t.state().speed, 11.5236, 1e-4);  // metres per second
    EXPECT_EQ(t.flags(), Fix3D | PositionValid | Moving | TrackPointValid | DataValid);
    // Moving needs half a kilometre per hour: 0.27 knots is 0.50004 km/h.
    t.apply("GPRMC,123520,A,4807.038,N,01131.000,E,0.2699,0,230394,,");
    EXPECT_FALSE(t.state().has(Moving));
    t.apply("GPRMC,123521,A,4807.038,N,01131.000,E,0.2700,0,230394,,");
    EXPECT_TRUE(t.state().has(Moving));
    t.apply("GPGGA,123522,4807.038,N,01131.000,E,3,04,0.9,545.4,M,46.9,M,,");
    ASSERT_EQ(rec.fixes.size(), 5u);
    EXPECT_EQ(text(t.state().lastUtc), "94-03-23 12:35:22.000");
    EXPECT_EQ(rec.fixes[4].state, TrackPointState::FromGga | TrackPointState::NoVelocity |
                                      TrackPointState::Quality4 | TrackPointState::Sats4);
    // A GGA without fix ends the track segment and changes nothing else.
    t.apply("GPGGA,123523,4808.038,N,01131.000,E,0,00,,,M,,M,,");
    EXPECT_TRUE(t.decoder.trackLog()->at(t.decoder.trackLog()->count() - 1).state &
                TrackPointState::SegmentEnd);
    EXPECT_EQ(t.flags() & FixBits, 0u);
    EXPECT_EQ(t.state().satellitesGga, 4);
}

TEST(GsaTest, FixTypesSatellitesAndDops) {
    TestDecoder t(Talkers::GpsOnly);  // each GSA by itself
    struct Case {
        const char* body;
        std::uint32_t flags;  // DataValid aside, PositionValid set before each
        int used;
        double vdop;
    };
    const Case cases[] = {
        {"GPGSA,A,2,04,05,09,,,,,,,,,,3.0,2.0,1.0", Fix2D | PositionValid, 3, 1.0},
        {"GPGSA,A,3,04,05,,,,,,,,,,,1.0,2.0,3.0", 0, 2, 3.0},  // 3D, but two satellites
        {"GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1", Fix3D | PositionValid, 5, 2.1},
        {"GPGSA,A,1,04,05,09,12,,,,,,,,,1.0,2.0,99.99,1", 0, 4, 99.99},  // NMEA 4.11 system id
        {"GPGSA,M,2,,,,,,,,,,,,,22.75,13.125,9", 0, 0, 9.0},  // vdop from its own characters
        {"GPGSA,A,4,04,05,09,,,,,,,,,,2.5,1.3,2.1", PositionValid, 0, 9.0},  // rejected
        {"GPGSA,,3,04,05,09,,,,,,,,,,2.5,1.3,2.1", PositionValid, 0, 9.0},
        {"GPGSA,A,3,04,05,09,,,,,,,,,,inf,1.3,2.1", PositionValid, 0, 9.0},  // no fix holds it
    };
    int accuracies = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        t.state().set(PositionValid);
        t.apply(c.body);
        EXPECT_EQ(t.flags() & ~DataValid, c.flags);
        EXPECT_EQ(t.state().satellitesUsed, c.used);
        EXPECT_DOUBLE_EQ(t.state().vdop, c.vdop);
        accuracies += (c.flags & (Fix2D | Fix3D)) != 0;
        EXPECT_EQ(t.state().accuracy.count(), accuracies);
    }
    EXPECT_DOUBLE_EQ(t.state().accuracy.mean(), (11.1 + 9.65) / 2);  // PDOP x 2.9 + 2.4
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
            EXPECT_EQ(d.decoder.trackLog()->count(), decoded ? 1 : 0);
            // Any talker wants real hemisphere letters; the GPS talker alone does not.
            d.apply(tk + "GGA,123521,4807.038,x,01131.000,E,1,04,0.9,1,M,1,M,,");
            d.apply(tk + "RMC,123522,A,4807.038,n,01131.000,E,022.4,084.4,230394,,");
            const bool loose = talkers == Talkers::GpsOnly && tk == "GP";
            EXPECT_EQ(d.state().satellitesGga, loose ? 4 : decoded ? 8 : 0);
            EXPECT_EQ(d.state().latitude < 0, loose);
            EXPECT_EQ(d.decoder.statistics().rmcSentences, decoded ? 2 : 0);
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
    const TrackLog& track = *t.decoder.trackLog();
    ASSERT_EQ(track.count(), gnOnly.decoder.trackLog()->count());
    for (int i = 0; i < track.count(); ++i) {
        EXPECT_EQ(track.at(i).latitude, gnOnly.decoder.trackLog()->at(i).latitude);
        EXPECT_EQ(track.at(i).time, gnOnly.decoder.trackLog()->at(i).time);
    }
    // A new time under the other talker is a new fix.
    t.apply("GPRMC,123540.00,A,4807.0391,N,01131.000,E,0.0,0.0,230394,,,A");
    EXPECT_EQ(rec.fixes.size(), 61u);
}

TEST_F(DecoderTest, TheGsaSentencesOfOneEpochCountAsOne) {
    // GPS with two satellites, GLONASS with four, Galileo with three: a fix with nine.
    const std::vector<std::string> epoch = {"GNGSA,A,3,19,27,,,,,,,,,,,2.1,1.8,0.9,1",
                                            "GNGSA,A,3,67,84,83,75,,,,,,,,,2.1,1.8,0.9,2",
                                            "GNGSA,A,3,301,302,303,,,,,,,,,,2.1,1.8,0.9,3"};
    for (int round = 1; round <= 2; ++round) {
        for (const std::string& gsa : epoch) {
            t.apply(gsa);
        }
        EXPECT_EQ(t.state().satellitesUsed, 9);
        // The position stays valid through the first GSA's two satellites.
        EXPECT_EQ(t.flags() & FixBits, round == 1 ? Fix3D : Fix3D | PositionValid);
        EXPECT_EQ(t.state().accuracy.count(), round);  // once per epoch
        t.apply("GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,V");
        EXPECT_TRUE(t.state().has(PositionValid));
    }
}

TEST_F(DecoderTest, Reports) {
    // Nothing received: no division by zero, and the weak-signal line.
    EXPECT_NE(t.decoder.statisticsReport().find("Valid sentences: 0 (0%)"), std::string::npos);
    EXPECT_TRUE(t.decoder.statusReport().ends_with(
        "State: 0\r\nSignal is weak, 0 satellites in the fix\r\n"));
    // 49 + 70 + 69 bytes, as the replay tool's statistics for the same lines.
    test::appendText(t.decoder.receiveBuffer(), nmeaLine(kGsa3d) + nmeaLine(kRmc) + nmeaLine(kGga));
    t.decoder.decodePending();
    EXPECT_EQ(
        t.decoder.statusReport(),
        "GPS Rec. statistics:\r\nTotal symbols: 190\r\nSatellites in the fix GSA (GGA): 5 (8)\r\n"
        "Speed / Course: 11.5 / 84.4\r\nPDOP/HDOP/VDOP: 2.5 / 1.3 / 2.1\r\n"
        "Points Total (Valid): 1 (1)\r\nFix: 3d\r\nTotal refreshes: 1\r\n"
        "Condition: BLINKING RED\r\nMax symbols in buffer: 188 (1%)\r\n"
        "Empty buffer accesses: 0\r\nState: 103\r\n"
        "Signal level OK, 5 satellites in the fix\r\nAccuracy 9 m; HDOP 1.3; VDOP 2.1\r\n");
    // An RMC with a wrong checksum is not decoded; each refresh clears Moving.
    test::appendText(t.decoder.receiveBuffer(), nmeaLine(kGsa3d) + "$" + kRmc + "*00\r\n");
    t.decoder.decodePending();
    EXPECT_EQ(t.decoder.lastLine().checksum, NmeaChecksum::Wrong);
    EXPECT_EQ(t.flags(), 103u - Moving);
    EXPECT_NE(t.decoder.statisticsReport().find("Valid sentences: 4 (66%)"), std::string::npos);
}

TEST(GpsDecoderTest, WithoutATrackLogRecordsNoTrackAndWritesNoFile) {
    test::TempDir root{true};
    {
        ManualClock clock{TestDecoder::kStart};
        GpsDecoder decoder(clock);
        for (const char* body : {kGsa3d, kRmc}) {
            decoder.applySentence(test::nmeaSentence(body));
        }
        EXPECT_EQ(decoder.trackLog(), nullptr);
        EXPECT_EQ(decoder.state().flags & (PositionValid | TrackPointValid), PositionValid);
    }
    EXPECT_TRUE(std::filesystem::is_empty(root.path()));
}

TEST(GpsConditionTest, EvaluatedInOrder) {
    const std::uint32_t live = DataValid | LinkOpen | TrackPointValid;
    const std::tuple<std::uint32_t, int, double> cases[] = {
        {DataValid | Fix3D | TrackPointValid, 8, 1.0},
        {DataValid | LinkOpen | Fix3D, 8, 1.0},
        {live | Fix3D, 4, 6.0},
        {live | Fix3D, 4, 6.1},
        {live | Fix3D, 3, 1.0},
        {live | Fix2D | Fix3D, 12, 1.0}};
    std::string seen;
    for (const auto& [flags, ggaSatellites, pdop] : cases) {
        GpsState s;
        s.flags = flags;
        s.satellitesGga = ggaSatellites;
        s.pdop = pdop;
        seen += std::string(conditionText(condition(s))) + ",";
    }
    EXPECT_EQ(seen, "BLINKING RED,RED,GREEN,YELLOW,YELLOW,YELLOW,");
}

TEST_F(DecoderTest, SnapshotFollowsTheStateAndCopiesTheSkyInRadians) {
    test::TestSettings<> settings;
    GpsLink link(t.clock, settings.services, test::quietTrackLog());
    NavSnapshot snap;
    snap.ellipsoid = &wgs84();
    snap.setTarget(GeoPoint{});
    snap.targetPoint.latitude = 48.2 * kDegToRad;
    snap.targetPoint.longitude = (11 + 31.0 / 60) * kDegToRad;
    std::vector<int> levels;
    for (const char* body : {"GPTXT", "GPGSA,A,2,04,05,09,,,,,,,,,,0.9,2.0,1.0", kGsa3d}) {
        link.decoder().applySentence(test::nmeaSentence(body));
        snap.refreshFromLink(link);
        levels.push_back(snap.fixLevel);
        EXPECT_EQ(snap.status, link.state().flags + (snap.fixLevel > 2 ? 0x100 : 0));
    }
    EXPECT_EQ(levels, (std::vector<int>{1, 3, 4}));
    for (const char* body : {"GPRMC,123519,A,4807.038,N,01131.000,E,5,84.4,230394,,",
                             "GPGSV,2,1,05,01,10,20,41,02,20,40,,03,30,60,43,04,40,80,44",
                             "GPGSV,2,2,05,71,50,100,45"}) {
        link.decoder().applySentence(test::nmeaSentence(body));
    }
    snap.refreshFromLink(link);
    EXPECT_DOUBLE_EQ(snap.course, 84.4 * kDegToRad);
    EXPECT_NEAR(snap.targetDistance, (48.2 - 48.1173) * 111200, 200);
    EXPECT_NEAR(snap.targetBearing, 0.0, 1e-6);
    EXPECT_EQ(std::tuple(snap.satellitesInView, snap.satellitesWithSignal), std::tuple(5, 4));
    const SkySatellite& last = snap.satellites[4];  // 50 and 100 degrees
    EXPECT_EQ(last.constellation, Constellation::Glonass);
    EXPECT_NEAR(last.elevation, 50 * kDegToRad, 1e-9);
    EXPECT_NEAR(last.azimuth, 100 * kDegToRad, 1e-9);
    EXPECT_EQ(snap.satellites[5].prn, 0);
    // Below 0.3 m/s course and bearing hold; below 0.1 m/s the speed is not averaged.
    snap.targetPoint.latitude = 48.0 * kDegToRad;
    for (const char* knots : {"0.4", "0.1"}) {
        link.decoder().applySentence(test::nmeaSentence(
            std::string("GPRMC,123520,A,4807.038,N,01131.000,E,") + knots + ",250,230394,,"));
        snap.refreshFromLink(link);
        EXPECT_NEAR(snap.course, 84.4 * kDegToRad, 1e-6);
        EXPECT_NEAR(snap.targetBearing, 0.0, 1e-6);
    }
    EXPECT_EQ(snap.averageSpeed.count(), 2);
}

// Satellites in view from GSV groups: whole groups of every talker side by
// side with any talker, one 12-satellite table with the GPS talker only.

// A GSV message whose satellites are "PRN:SNR" (elevation 10 x n, azimuth 20 x n).
std::string gsv(const std::string& talker, int total, int number, int inView,
                const std::vector<std::string>& sats, const std::string& signal = "") {
    std::string body = talker + "GSV," + std::to_string(total) + "," + std::to_string(number) +
                       "," + std::to_string(inView);
    int n = 0;
    for (const std::string& s : sats) {
        ++n;
        const std::size_t colon = s.find(':');
        body += "," + s.substr(0, colon) + "," + std::to_string(10 * n) + "," +
                std::to_string(20 * n) + "," + s.substr(colon + 1);
    }
    return signal.empty() ? body : body + "," + signal;
}

// The published sky as "GPS 1:40 GLONASS 65:" (constellation, PRN, SNR).
std::string sky(const SkySatellites& s) {
    std::string text;
    for (int i = 0; i < s.count; ++i) {
        const SatelliteInfo& r = s.records[static_cast<std::size_t>(i)];
        text += (text.empty() ? "" : " ") + std::string(constellationName(r.constellation)) + " " +
                std::to_string(r.prn) + ":" + (r.snr ? std::to_string(r.snr) : "");
    }
    return text;
}

std::string applied(TestDecoder& t, const std::vector<std::string>& bodies) {
    for (const std::string& b : bodies) {
        t.apply(b);
    }
    return sky(t.state().satellites);
}

// Fifteen satellites in four messages.
const std::vector<std::string> kFifteen = {
    gsv("GP", 4, 1, 15, {"1:41", "2:42", "3:43", "4:44"}),
    gsv("GP", 4, 2, 15, {"5:45", "6:46", "7:", "8:48"}),
    gsv("GP", 4, 3, 15, {"9:49", "10:50", "11:51", "12:52"}),
    gsv("GP", 4, 4, 15, {"13:53", "14:54", "15:55"}),
};

TEST(GsvTest, AGroupIsPublishedWholeWhenItsLastMessageArrives) {
    for (Talkers talkers : {Talkers::Any, Talkers::GpsOnly}) {
        SCOPED_TRACE(talkers == Talkers::Any ? "any" : "gp");
        TestDecoder t(talkers);
        std::vector<int> counts;
        for (const std::string& b : kFifteen) {
            t.apply(b);
            counts.push_back(t.state().satellites.count);
        }
        // GPS only keeps the first twelve, published once at the end.
        const int whole = talkers == Talkers::Any ? 15 : 12;
        EXPECT_EQ(counts, (std::vector<int>{0, 0, 0, whole}));
        const SatelliteInfo& seventh = t.state().satellites.records[6];  // with an empty SNR
        EXPECT_EQ(std::tuple(seventh.prn, seventh.snr, seventh.elevation, seventh.azimuth),
                  std::tuple(7, 0, 30, 60));
        EXPECT_EQ(t.state().satellites.records[static_cast<std::size_t>(whole - 1)].prn, whole);
        EXPECT_EQ(t.state().satellites.withSignal(), whole - 1);
    }
}

TEST(GsvTest, AnInterruptedGroupIsDroppedNeverMixedWithTheNext) {
    TestDecoder t;
    applied(t, {gsv("GP", 1, 1, 2, {"30:30", "31:31"})});
    // Message 2 of 3 lost; message 3 must not complete anything.
    EXPECT_EQ(
        applied(t, {kFifteen[0], gsv("GP", 4, 3, 15, {"9:49"}), gsv("GP", 4, 4, 15, {"13:53"})}),
        "GPS 30:30 GPS 31:31");
    // Cut short after message 2, then a whole group starting at message 1.
    EXPECT_EQ(applied(t, {kFifteen[0], kFifteen[1], gsv("GP", 2, 1, 5, {"20:1", "21:2"}),
                          gsv("GP", 2, 2, 5, {"22:3"})}),
              "GPS 20:1 GPS 21:2 GPS 22:3");
    // Out of order, and a message count that changes within the group.
    EXPECT_EQ(applied(t, {gsv("GP", 2, 2, 3, {"40:1"}), gsv("GP", 2, 1, 3, {"41:1"}),
                          gsv("GP", 3, 2, 3, {"42:1"})}),
              "GPS 20:1 GPS 21:2 GPS 22:3");
}

TEST(GsvTest, GpsOnlyTableRestartsAtMessageOne) {
    TestDecoder t(Talkers::GpsOnly);
    EXPECT_EQ(applied(t, {kFifteen[0], kFifteen[1], gsv("GP", 2, 1, 3, {"20:1", "21:2"}),
                          gsv("GP", 2, 2, 3, {"22:3"})}),
              "GPS 20:1 GPS 21:2 GPS 22:3");
    // Any talker fills the one table, group after group.
    EXPECT_EQ(applied(t, {gsv("GL", 1, 1, 1, {"70:20"})}), "GLONASS 70:20");
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 0, {})}), "");
}

TEST(GsvTest, TalkersStandSideBySide) {
    TestDecoder t;
    // PRN 70 under the GPS talker is a GLONASS satellite: the same as GL 70.
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 2, {"5:40", "70:"}), gsv("GL", 1, 1, 1, {"70:33"}),
                          gsv("GA", 2, 1, 2, {"5:20"}), gsv("GA", 2, 2, 2, {"12:21"})}),
              "GPS 5:40 GLONASS 70:33 Galileo 5:20 Galileo 12:21");
    // A talker's new group replaces only its own; the others stay.
    EXPECT_EQ(applied(t, {gsv("GL", 1, 1, 1, {"71:30"})}),
              "GPS 5:40 GLONASS 70: GLONASS 71:30 Galileo 5:20 Galileo 12:21");
    // BeiDou under either talker, QZSS, and the satellites gone from view.
    EXPECT_EQ(applied(t, {gsv("BD", 1, 1, 1, {"201:1"}), gsv("GB", 1, 1, 1, {"7:2"}),
                          gsv("GQ", 1, 1, 1, {"1:3"}), gsv("GP", 1, 1, 0, {})}),
              "GLONASS 71:30 Galileo 5:20 Galileo 12:21 BeiDou 201:1 BeiDou 7:2 QZSS 1:3");
}

TEST(GsvTest, ASatelliteInTwoSignalGroupsCountsOnceWithItsBestSnr) {
    TestDecoder t;
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 2, {"5:30", "9:"}, "1"),
                          gsv("GP", 1, 1, 2, {"5:38", "9:12"}, "6"),
                          gsv("GP", 1, 1, 2, {"5:35", "9:"}, "8")}),
              "GPS 5:38 GPS 9:12");
    // The signal id is not read as a satellite.
    EXPECT_EQ(applied(t, {gsv("GL", 1, 1, 1, {"70:20"}, "1")}), "GPS 5:38 GPS 9:12 GLONASS 70:20");
}

TEST(GsvTest, MoreThanFortySatellitesKeepTheFortyStrongest) {
    TestDecoder t;
    const char* talkers[] = {"GP", "GL", "GA"};
    for (int k = 0; k < 3; ++k) {
        for (int m = 1; m <= 4; ++m) {
            std::vector<std::string> sats;
            for (int n = 4 * m - 3; n <= 4 * m; ++n) {  // SNR 10 + n + k, none for n = 16
                sats.push_back(std::to_string(k == 1 ? 64 + n : n) + ":" +
                               (n == 16 ? "" : std::to_string(10 + n + k)));
            }
            t.apply(gsv(talkers[k], 4, m, 16, sats));
        }
    }
    // 48 in view: the three without signal go, then the weakest (11, 12, 12,
    // 13, 13); of the three with 13 the first stays.
    const SkySatellites& s = t.state().satellites;
    ASSERT_EQ(s.count, 40);
    EXPECT_EQ(sky(s).substr(0, 25), "GPS 3:13 GPS 4:14 GPS 5:1");
    for (int i = 1; i < s.count; ++i) {
        EXPECT_GE(s.records[static_cast<std::size_t>(i)].snr, 14) << i;
    }
}

TEST(GsvTest, AGroupThatStopsComingIsDroppedAfterTwoRoundsOfTheOthers) {
    TestDecoder t;
    applied(t, {gsv("GP", 1, 1, 1, {"5:40"}), gsv("GL", 1, 1, 1, {"70:30"})});
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 1, {"5:41"})}), "GPS 5:41 GLONASS 70:30");
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 1, {"5:42"})}), "GPS 5:42 GLONASS 70:30");
    EXPECT_EQ(applied(t, {gsv("GP", 1, 1, 1, {"5:43"})}), "GPS 5:43");
}

}  // namespace
}  // namespace wp2
