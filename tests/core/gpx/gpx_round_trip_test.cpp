// SPDX-License-Identifier: GPL-3.0-or-later
// Track files and pushpins through GPX and back lose nothing GPX can carry.

#include <gtest/gtest.h>

#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/track/track_file.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;
using namespace TrackPointState;

RunResult tool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{WAYPLOT2_TOOL, "track"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

// Through wayplot2-tool, once: what each field keeps is the next test's, how
// every reference file reads GpxPeers'.
TEST(GpxRoundTrip, TrackFilesComeBackByteForByteThroughGpx) {
    TempDir dir;
    const std::string a = dir.file("a.atk"), b = dir.file("b.gpx"), c = dir.file("c.atk");
    ASSERT_EQ(tool({"import", dataFile("gpx/gpsbabel/segmented_tracks.gpx"), a}).status, 0);
    ASSERT_EQ(tool({"export", a, b}).status, 0);
    ASSERT_EQ(tool({"import", b, c}).status, 0);
    EXPECT_EQ(readBytes(a), readBytes(c));
}

TEST(GpxRoundTrip, RecordedPointsKeepPositionTimeAltitudeAndPieces) {
    constexpr std::uint32_t kept = NoDate | SegmentStart | SegmentEnd | ThreeD | FromGga;
    std::vector<TrackPoint> track(7);
    for (int i = 0; i < 7; ++i) {
        TrackPoint& t = track[static_cast<std::size_t>(i)];
        t.latitude = (-33.5 + i * 0.001234567) * kDegToRad;
        t.longitude = (151.2 - i * 0.000987654) * kDegToRad;
        t.altitude = 12.3 * i - 20;
        t.time = *toGpsDateTime({1709251190 + i, i == 6 ? 0.75 : 0.2});  // 2024-02-29 23:59:50
        t.speed = 10.5 + i;
        t.course = 45.25 * i;
        t.dop = 1.5;
        t.satellites = static_cast<std::uint8_t>(i + 2);
        t.state = (i == 0 || i == 3 ? SegmentStart : 0) | (i == 2 || i == 6 ? SegmentEnd : 0) |
                  (i % 2 ? FromGga : ThreeD) | (i == 4 ? NoDate : 0);
    }
    TempDir dir;
    ASSERT_TRUE(exportTrackGpx(track.data(), 7, dir.file("t.gpx")));
    std::vector<TrackPoint> back;
    ASSERT_TRUE(readTrackGpx(dir.file("t.gpx"), back).ok);
    ASSERT_EQ(back.size(), track.size());
    track[4].time = GpsDateTime();  // undated: no time is written
    for (std::size_t i = 0; i < track.size(); ++i) {
        std::uint8_t want[kTrackRecordSize], got[kTrackRecordSize];
        track[i].state &= kept;
        back[i].state &= kept;
        TrackFile::encodeRecord(track[i], want);
        TrackFile::encodeRecord(back[i], got);
        EXPECT_EQ(std::vector(got, got + sizeof got), std::vector(want, want + sizeof want)) << i;
    }
}

TEST(GpxRoundTrip, PushpinsKeepNamesNotesAltitudesAndIcons) {
    Pushpins pins;
    for (int icon = 0; icon < kPushpinIconCount; ++icon) {
        Pushpin* p = pins.addNew();
        p->name = "Pïn " + std::to_string(icon) + (icon % 7 ? "" : " <&> \"€\"");
        // Also plain ASCII with the characters XML escapes, and a CR LF line end.
        p->note = icon % 3   ? "Nötè\nline two"
                  : icon % 2 ? "R&D <b> \"q\""
                  : icon % 4 ? "CR LF\r\nkept"
                             : "";
        p->latitude = (icon * 3.0 - 88.0) * kDegToRad;
        p->longitude = (icon * 6.1 - 179.9) * kDegToRad;
        p->altitude = icon % 2 ? icon * 10.25 : 0.0;
        p->state = icon % 2 ? ThreeD : 0;
        p->icon = icon;
    }
    TempDir dir;
    ASSERT_TRUE(exportGpx(pins, dir.file("p.gpx")));
    Pushpins back;
    ASSERT_TRUE(readGpx(back, dir.file("p.gpx")).ok);
    ASSERT_EQ(back.count(), pins.count());
    for (int i = 0; i < pins.count(); ++i) {
        SCOPED_TRACE(i);
        const Pushpin &p = *pins.at(i), &q = *back.at(i);
        EXPECT_EQ(std::tuple(q.name, q.note, q.altitude, q.state & ThreeD, q.icon, q.latitude,
                             q.longitude),
                  std::tuple(p.name, p.note, p.altitude, p.state & ThreeD, p.icon, p.latitude,
                             p.longitude));
    }
}

TEST(GpxRoundTrip, WaypointsOfOtherProgramsTakeDescOrCmtEleAndTheNearestIcon) {
    TempDir dir;
    writeFile(dir.file("w.gpx"),
              "<gpx><wpt lat=\"1\" lon=\"2\"><ele>7.5</ele><name>A</name><cmt>c</cmt>"
              "<desc>d</desc><sym>Hotel</sym></wpt><wpt lat=\"1\" lon=\"3\"><cmt>only</cmt>"
              "<sym>Nothing Known</sym></wpt><wpt lat=\"1\" lon=\"4\"><desc>D</desc></wpt>"
              "<wpt lat=\"1\" lon=\"5\"/></gpx>");
    Pushpins pins;
    ASSERT_TRUE(readGpx(pins, dir.file("w.gpx")).ok);
    ASSERT_EQ(pins.count(), 4);
    // The names of waypoints without one: GpxPeers, against GPSBabel's.
    const Pushpin &a = *pins.at(3), &b = *pins.at(2);  // the last waypoint is index 0
    EXPECT_EQ(a.note + "|" + b.note, "d|only");
    EXPECT_EQ(std::pair(a.icon, b.icon), std::pair(pushpinIconForSymbol("Lodging"), 0));
    EXPECT_EQ(std::tuple(a.altitude, a.state & ThreeD, b.state & ThreeD),
              std::tuple(7.5, ThreeD, 0u));
}

// A pushpin holds a two-digit year: a waypoint dated after 2099 (or before
// 2001) comes in undated, and the pushpin file saved with it loads cleanly.
TEST(GpxRoundTrip, WaypointDatesBeyondTwoDigitYearsComeInUndated) {
    TempDir dir;
    writeFile(dir.file("w.gpx"),
              "<gpx><wpt lat=\"1\" lon=\"2\"><time>2099-12-31T23:59:59Z</time></wpt>"
              "<wpt lat=\"1\" lon=\"3\"><time>2100-01-01T00:00:00Z</time></wpt>"
              "<wpt lat=\"1\" lon=\"4\"><time>2000-12-31T23:59:59Z</time></wpt></gpx>");
    Pushpins pins;
    ASSERT_TRUE(readGpx(pins, dir.file("w.gpx")).ok);
    ASSERT_TRUE(pins.saveFile(dir.file("p.kpp")));
    Pushpins back;
    ASSERT_TRUE(back.loadFile(dir.file("p.kpp")).clean());
    ASSERT_EQ(back.count(), 3);
    const GpsDateTime &last = back.at(2)->time, &later = back.at(1)->time,
                      &earlier = back.at(0)->time;
    EXPECT_EQ(std::vector<int>({last.year, last.month, last.day, later.year, earlier.year}),
              std::vector<int>({99, 12, 31, 0, 0}));
}

}  // namespace
}  // namespace wp2
