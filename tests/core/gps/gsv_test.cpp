// SPDX-License-Identifier: GPL-3.0-or-later
// Satellites in view from GSV groups: whole groups of every talker side by
// side with any talker, one 12-satellite table with the GPS talker only.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "gps_test_support.h"

namespace wp2 {
namespace {

using test::TestDecoder;

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
