// GPX read here agrees with GPSBabel for files written by many programs, and
// GPX written here is valid GPX 1.1 that GPSBabel and GDAL read back the same.

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "core/base/cformat.h"
#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/text16.h"
#include "gpx_peer_tools.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;

void requirePeers() {
    for (const char* tool : {"gpsbabel", "ogrinfo", "xmllint"}) {
        if (findProgram(tool).empty()) {
            GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
        }
    }
}

TEST(GpxPeers, EveryReferenceFileReadsAsGpsbabelReadsIt) {
    requirePeers();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile("gpx/gpsbabel"))) {
        const std::string path = entry.path().string();
        if (entry.path().extension() != ".gpx") {
            continue;
        }
        SCOPED_TRACE(path);
        ++files;
        SeenFile ours;
        const GpxReadResult read = readWithOurs(path, ours);
        EXPECT_TRUE(read.ok) << read.errorText();
        EXPECT_EQ(read.refused, 0) << read.firstRefusedReason;
        const SeenFile theirs = readWithGpsbabel(path);
        expectSamePoints(ours.waypoints, theirs.waypoints, true);
        expectSamePoints(ours.routePoints, theirs.routePoints, false);
        expectSamePoints(ours.trackPoints, theirs.trackPoints, false);

        // Pushpin import takes every waypoint, track import every route and track point.
        CPushpins pins;
        EXPECT_TRUE(ReadGpx(pins, path).ok);
        EXPECT_EQ(pins.GetCount(), static_cast<int>(theirs.waypoints.size()));
        std::vector<TrackPoint> track;
        EXPECT_TRUE(readTrackGpx(path, track).ok);
        EXPECT_EQ(track.size(), theirs.routePoints.size() + theirs.trackPoints.size());
    }
    EXPECT_EQ(files, 18);
}

TEST(GpxPeers, WrittenPushpinsAndTracksAreValidAndReadBackByGpsbabelAndGdal) {
    requirePeers();
    TempDir dir;
    CPushpins pins;
    std::vector<SeenPoint> expected;
    const char* names[] = {"Café <Ünïcödé> & \"Quotes\"", "東京駅", "Żółć 🚩", "plain"};
    for (int i = 0; i < 4; ++i) {
        CPushpin* p = pins.AddNew();
        p->name = fromUtf8(names[i]);
        p->note = fromUtf8(cformat("note %d\nwith a second line, \x01 a control", i));
        p->latitude = (47.123456789 - 30 * i) * kDegToRad;
        p->longitude = (-122.5 + 80 * i) * kDegToRad;
        p->altitude = 12.5 * i;
        p->state = i % 2 ? TrackPointState::ThreeD : 0;
        p->time.year = static_cast<std::uint8_t>(i ? 24 : 0);
        p->time.month = p->time.day = 1;
        p->time.hour = static_cast<std::uint8_t>(i);
        p->icon = 17 * i;
        // Written oldest first: in the order they were added.
        expected.push_back({p->latitude * kRadToDeg, p->longitude * kRadToDeg,
                            i ? 1704067200 + 3600 * i : -1, names[i]});
    }
    const std::string pinFile = dir.file("pins.gpx");
    ASSERT_TRUE(ExportGpx(pins, pinFile));

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
        SeenFile ours;
        EXPECT_TRUE(readWithOurs(file, ours).ok);
        const SeenFile babel = readWithGpsbabel(file);
        const SeenFile ogr = readWithOgr(file);
        const bool pinsFile = file == pinFile;
        for (const SeenFile* seen : {&std::as_const(ours), &babel, &ogr}) {
            expectSamePoints(seen->waypoints, pinsFile ? expected : std::vector<SeenPoint>{}, true);
            expectSamePoints(seen->trackPoints, pinsFile ? std::vector<SeenPoint>{} : expectedTrack,
                             false);
        }
    }
}

}  // namespace
}  // namespace wp2
