// SPDX-License-Identifier: GPL-3.0-or-later
// GPX read here agrees with GPSBabel for files written by many programs, and
// GPX written here is valid GPX 1.1 that GPSBabel and GDAL read back the same.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <utility>

#include "core/base/cformat.h"
#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;

struct SeenPoint {
    double latitude = 0.0, longitude = 0.0;  // degrees
    std::int64_t time = -1;                  // whole seconds since 1970, -1 for none
    std::string name;
};

struct SeenFile {
    std::vector<SeenPoint> waypoints, routePoints, trackPoints;
};

class Collector final : public GpxHandler {
public:
    explicit Collector(SeenFile& seen) : seen_(seen) {}
    std::string point(GpxKind kind, const GpxPoint& p) override {
        auto& list = kind == GpxKind::Waypoint ? seen_.waypoints
                     : kind == GpxKind::Route  ? seen_.routePoints
                                               : seen_.trackPoints;
        list.push_back({p.latitude, p.longitude, p.time ? p.time->seconds : -1, p.name});
        return {};
    }

private:
    SeenFile& seen_;
};

// "YYYY?MM?DD?hh:mm:ss..." as seconds since 1970 (the separators vary by tool).
std::int64_t seconds(const std::string& text) {
    if (text.size() < 19) {
        return -1;
    }
    const std::string iso = text.substr(0, 4) + "-" + text.substr(5, 2) + "-" + text.substr(8, 2) +
                            "T" + text.substr(11, 8) + "Z";
    const auto t = parseIsoTime(iso);
    return t && t->seconds != 0 ? t->seconds : -1;
}

std::vector<SeenPoint> gpsbabelKind(const std::string& path, const char* dropped) {
    const RunResult r =
        runProgram({"/usr/bin/env", "gpsbabel", "-i", "gpx", "-f", path, "-x",
                    std::string("nuketypes,") + dropped, "-o",
                    "xcsv,style=" + dataFile("gpx/gpsbabel-check.style"), "-F", "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<SeenPoint> points;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) {
        std::istringstream fields(line);
        std::string lat, lon, time, name;
        std::getline(fields, lat, '\t');
        std::getline(fields, lon, '\t');
        std::getline(fields, time, '\t');
        std::getline(fields, name);
        points.push_back({std::stod(lat), std::stod(lon), seconds(time), name});
    }
    return points;
}

GpxReadResult readWithOurs(const std::string& path, SeenFile& seen) {
    Collector collector(seen);
    return readGpxFile(path, collector);
}

// What `gpsbabel -i gpx -f FILE` reads, positions to 1e-9 degrees.
SeenFile readWithGpsbabel(const std::string& path) {
    return {gpsbabelKind(path, "routes,tracks"), gpsbabelKind(path, "waypoints,tracks"),
            gpsbabelKind(path, "waypoints,routes")};
}

// The waypoints and track points GDAL's GPX driver reads.
SeenFile readWithOgr(const std::string& path) {
    const RunResult r = runProgram({"/usr/bin/env", "ogrinfo", "-ro", "-al", "-q", path});
    EXPECT_EQ(r.status, 0) << r.err;
    SeenFile seen;
    std::vector<SeenPoint>* list = nullptr;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) {
        if (line.rfind("OGRFeature(", 0) == 0) {
            const std::string layer = line.substr(11, line.find(')') - 11);
            list = layer == "waypoints"      ? &seen.waypoints
                   : layer == "track_points" ? &seen.trackPoints
                                             : nullptr;
            if (list) {
                list->emplace_back();
            }
        } else if (list && line.rfind("  name (String) = ", 0) == 0) {
            list->back().name = line.substr(18);
        } else if (list && line.rfind("  time (DateTime) = ", 0) == 0) {
            list->back().time = seconds(line.substr(20));
        } else if (list && line.rfind("  POINT (", 0) == 0) {
            std::istringstream xy(line.substr(9));
            xy >> list->back().longitude >> list->back().latitude;
        }
    }
    return seen;
}

// xmllint's complaints against the GPX 1.1 schema; "" when valid.
std::string schemaErrors(const std::string& path) {
    const RunResult r = runProgram(
        {"/usr/bin/env", "xmllint", "--noout", "--schema", dataFile("gpx/gpx11.xsd"), path});
    return r.status == 0 ? "" : r.err;
}

// Positions within 1e-7 degrees, times to the second, names when asked.
void expectSamePoints(const std::vector<SeenPoint>& ours, const std::vector<SeenPoint>& theirs,
                      bool names) {
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(ours[i].latitude, theirs[i].latitude, 1e-7);
        EXPECT_NEAR(ours[i].longitude, theirs[i].longitude, 1e-7);
        EXPECT_EQ(ours[i].time, theirs[i].time);
        if (names) {
            EXPECT_EQ(ours[i].name, theirs[i].name);
        }
    }
}

void requirePeers() {
    for (const char* tool : {"gpsbabel", "ogrinfo", "xmllint"}) {
        ASSERT_EQ(runProgram({"/bin/sh", "-c", std::string("command -v ") + tool}).status, 0)
            << tool << " is not installed (scripts/install-deps installs it)";
    }
}

TEST(GpxPeers, EveryReferenceFileReadsAsGpsbabelReadsIt) {
    requirePeers();
    // Beside the reference files, waypoints without names, which each program names itself.
    TempDir dir;
    writeFile(dir.file("unnamed.gpx"),
              "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
              "<wpt lat=\"1\" lon=\"1\"><name>A</name></wpt><wpt lat=\"1\" lon=\"2\"/>"
              "<wpt lat=\"1\" lon=\"3\"><cmt>c</cmt><desc>d</desc></wpt>"
              "<wpt lat=\"1\" lon=\"4\"><desc>d only</desc></wpt><wpt lat=\"1\" lon=\"5\"/></gpx>");
    std::vector<std::string> paths = {dir.file("unnamed.gpx")};
    for (const auto& entry : std::filesystem::directory_iterator(dataFile("gpx/gpsbabel"))) {
        if (entry.path().extension() == ".gpx") {
            paths.push_back(entry.path().string());
        }
    }
    EXPECT_EQ(paths.size(), 19u);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        SeenFile ours;
        const GpxReadResult read = readWithOurs(path, ours);
        EXPECT_TRUE(read.ok) << read.errorText();
        EXPECT_EQ(read.refused, 0) << read.firstRefusedReason;
        const SeenFile theirs = readWithGpsbabel(path);
        expectSamePoints(ours.waypoints, theirs.waypoints, path != paths.front());
        expectSamePoints(ours.routePoints, theirs.routePoints, false);
        expectSamePoints(ours.trackPoints, theirs.trackPoints, false);

        // Pushpin import takes every waypoint, with the names GPSBabel shows; track
        // import takes every route and track point.
        Pushpins pins;
        EXPECT_TRUE(readGpx(pins, path).ok);
        std::vector<std::string> babelNames;  // newest first, as the pushpins are indexed
        for (const SeenPoint& w : theirs.waypoints) {
            babelNames.insert(babelNames.begin(), w.name);
        }
        EXPECT_EQ(namesOf(pins), babelNames);
        std::vector<TrackPoint> track;
        EXPECT_TRUE(readTrackGpx(path, track).ok);
        EXPECT_EQ(track.size(), theirs.routePoints.size() + theirs.trackPoints.size());
    }
}

TEST(GpxPeers, WrittenPushpinsAndTracksAreValidAndReadBackByGpsbabelAndGdal) {
    requirePeers();
    TempDir dir;
    Pushpins pins;
    std::vector<SeenPoint> expected;
    const char* names[] = {"Café <Ünïcödé> & \"Quotes\"", "東京駅", "Żółć 🚩", "plain"};
    for (int i = 0; i < 4; ++i) {
        Pushpin* p = pins.addNew();
        p->name = names[i];
        p->note = cformat("note %d\nwith a second line, \x01 a control", i);
        p->latitude = (47.123456789 - 30 * i) * kDegToRad;
        p->longitude = (-122.5 + 80 * i) * kDegToRad;
        p->time.year = static_cast<std::uint8_t>(i ? 24 : 0);
        p->time.month = p->time.day = 1;
        p->time.hour = static_cast<std::uint8_t>(i);
        // Written oldest first: in the order they were added.
        expected.push_back({p->latitude * kRadToDeg, p->longitude * kRadToDeg,
                            i ? 1704067200 + 3600 * i : -1, names[i]});
    }
    const std::string pinFile = dir.file("pins.gpx");
    ASSERT_TRUE(exportGpx(pins, pinFile));

    // A real track of several pieces with dated and undated points.
    std::vector<TrackPoint> track;
    ASSERT_TRUE(readTrackGpx(dataFile("gpx/gpsbabel/segmented_tracks.gpx"), track).ok);
    ASSERT_GT(trackPieces(track.data(), static_cast<int>(track.size())).size(), 1u);
    const std::string trackFile = dir.file("track.gpx");
    ASSERT_TRUE(exportTrackGpx(track.data(), static_cast<int>(track.size()), trackFile));
    std::vector<SeenPoint> expectedTrack;
    for (const TrackPoint& t : track) {
        const auto time = fromGpsDateTime(t.time);
        expectedTrack.push_back(
            {t.latitude * kRadToDeg, t.longitude * kRadToDeg, time ? time->seconds : -1, ""});
    }

    for (const std::string& file : {pinFile, trackFile}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(schemaErrors(file), "");
        const SeenFile babel = readWithGpsbabel(file);
        const SeenFile ogr = readWithOgr(file);
        const bool pinsFile = file == pinFile;
        for (const SeenFile* seen : {&babel, &ogr}) {
            expectSamePoints(seen->waypoints, pinsFile ? expected : std::vector<SeenPoint>{}, true);
            expectSamePoints(seen->trackPoints, pinsFile ? std::vector<SeenPoint>{} : expectedTrack,
                             false);
        }
    }
}

// What a pushpin can hold but GPX 1.1 cannot take as it is: longitudes of
// 180 and beyond (the pushpin file takes up to 360) and numbers that need
// more digits than a schema validator's decimal holds.
TEST(GpxPeers, WrittenGpxStaysValidForValuesAtTheEdges) {
    requirePeers();
    struct Edge {
        double longitude, altitude;          // degrees, metres
        double readLongitude, readAltitude;  // NaN: no ele
    } edges[] = {
        {180.0, 1e300, -180.0, NAN},
        {200.0, 1e-30, -160.0, 0.0},
        {1.2345678901234567e-10, -1e23, 1.2345678901234567e-10, NAN},  // beyond what imports take
        {-180.0, -2.5e-9, -180.0, -2.5e-9},
    };
    TempDir dir;
    Pushpins pins;
    for (const Edge& e : edges) {
        Pushpin* p = pins.addNew();
        p->longitude = e.longitude * kDegToRad;
        p->altitude = e.altitude;
        p->state = TrackPointState::ThreeD;
    }
    ASSERT_TRUE(exportGpx(pins, dir.file("edges.gpx")));
    EXPECT_EQ(schemaErrors(dir.file("edges.gpx")), "");
    Pushpins back;
    ASSERT_TRUE(readGpx(back, dir.file("edges.gpx")).ok);
    ASSERT_EQ(back.count(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Edge& e = edges[i];
        const Pushpin& p = *back.at(3 - i);
        EXPECT_NEAR(p.longitude * kRadToDeg, e.readLongitude, 1e-9);
        EXPECT_EQ(p.state & TrackPointState::ThreeD,
                  std::isnan(e.readAltitude) ? 0u : TrackPointState::ThreeD);
        if (!std::isnan(e.readAltitude)) {
            EXPECT_DOUBLE_EQ(p.altitude, e.readAltitude);
        }
    }
}

}  // namespace
}  // namespace wp2
