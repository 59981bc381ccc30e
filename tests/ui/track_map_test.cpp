#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/nav/angles.h"
#include "ui/map_projection.h"
#include "ui/map_scale.h"
#include "ui/track_runs.h"

namespace wp2 {
namespace {

TEST(MapScale, TablesForTheThreeUnitSystems) {
    const MapScaleTable& metric = metricScaleTable();
    EXPECT_DOUBLE_EQ(metric[0], 10);
    EXPECT_DOUBLE_EQ(metric[5], 200);  // the default zoom: 200 m over 55 pixels
    EXPECT_DOUBLE_EQ(metric[24], 1200000);
    for (int i = 1; i < kMapScaleSteps; ++i) {
        EXPECT_GT(metric[i], metric[i - 1]);
    }
    const MapScaleTable us = imperialScaleTable(1609), nautical = imperialScaleTable(1852);
    EXPECT_DOUBLE_EQ(us[0], 25 * 0.305);
    EXPECT_DOUBLE_EQ(us[5], 600 * 0.305);  // feet up to step 5, then miles
    EXPECT_DOUBLE_EQ(us[6], 0.2 * 1609);
    EXPECT_DOUBLE_EQ(us[24], 800 * 1609);
    EXPECT_DOUBLE_EQ(nautical[6], 0.2 * 1852);
    EXPECT_DOUBLE_EQ(nautical[15], 12 * 1852);
}

class ProjectionTest : public ::testing::Test {
protected:
    // Latitude and longitude (radians) of a point `north` and `east` metres from the origin.
    double latOf(double north) const { return lat0 + north / scale.metresPerDegLat * kDegToRad; }
    double lonOf(double east) const { return lon0 + east / scale.metresPerDegLon * kDegToRad; }
    void setUp(bool rotate, double heading) {
        projection.setUp(lat0, lon0, scale, 55.0 / 200.0, {120, 132}, rotate,
                         static_cast<float>(std::sin(heading)),
                         static_cast<float>(std::cos(heading)));
    }

    double lat0 = 48.2 * kDegToRad;
    double lon0 = 16.37 * kDegToRad;
    LocalScale scale{74200.0, 111200.0, 0.0};
    MapProjection projection;
};

TEST_F(ProjectionTest, NorthUpWithoutRotate) {
    setUp(false, 1.3);  // the heading is ignored without rotate
    EXPECT_EQ(projection.project(lat0, lon0), (Point{120, 132}));
    EXPECT_EQ(projection.project(latOf(200), lon0), (Point{120, 132 - 55}));
    EXPECT_EQ(projection.project(lat0, lonOf(200)), (Point{120 + 55, 132}));
    // 101 m is 27.8 pixels: rounded up north of the origin, and towards zero
    // (down to 27) south of it.
    EXPECT_EQ(projection.project(latOf(101), lon0), (Point{120, 132 - 28}));
    EXPECT_EQ(projection.project(latOf(-101), lon0), (Point{120, 132 + 27}));
}

TEST_F(ProjectionTest, HeadingUpTurnsTheDirectionOfTravelUp) {
    const double east = 90 * kDegToRad;
    setUp(true, east);
    EXPECT_EQ(projection.project(lat0, lonOf(200)), (Point{120, 132 - 55}));
    EXPECT_EQ(projection.project(latOf(200), lon0), (Point{120 - 55, 132}));
    setUp(true, 0);
    EXPECT_EQ(projection.project(latOf(200), lon0), (Point{120, 132 - 55}));
    setUp(true, 180 * kDegToRad);
    EXPECT_EQ(projection.project(latOf(200), lon0), (Point{120, 132 + 55}));
}

using Line = std::vector<Point>;
const Rect kMap{0, 0, 240, 264};

// The polylines the runs hand over for a track, newest point first.
std::vector<Line> runsOf(const Line& track) {
    std::vector<Line> lines;
    TrackRuns runs(kMap, [&](const Point* p, int n) { lines.emplace_back(p, p + n); });
    for (Point p : track) {
        runs.add(p);
    }
    runs.finish();
    return lines;
}

TEST(TrackRuns, LinesAreCutWhereTheTrackLeavesTheMap) {
    struct Case {
        const char* what;
        Line track;
        std::vector<Line> lines;
    };
    const Case cases[] = {
        {"leaving and re-entering gives two lines, each to the first point outside",
         {{10, 10}, {20, 10}, {30, 10}, {300, 10}, {400, 10}, {500, 20}, {50, 50}, {60, 50}},
         {{{10, 10}, {20, 10}, {30, 10}, {300, 10}}, {{500, 20}, {50, 50}, {60, 50}}}},
        {"one distinct point is no line", {{5, 5}, {5, 5}, {5, 5}}, {}},
        {"repeated points are dropped", {{5, 5}, {5, 5}, {6, 5}, {6, 5}}, {{{5, 5}, {6, 5}}}},
        {"a lone point inside joins both neighbours outside",
         {{-5, -5}, {-6, -5}, {7, 7}, {-7, 300}},
         {{{-6, -5}, {7, 7}, {-7, 300}}}},
        {"the newest point alone inside",
         {{100, 100}, {100, 400}, {100, 500}, {50, 50}},
         {{{100, 100}, {100, 400}}, {{100, 500}, {50, 50}}}},
        {"the right and bottom edges lie outside",
         {{0, 0}, {239, 263}, {240, 263}, {239, 100}},
         {{{0, 0}, {239, 263}, {240, 263}}, {{240, 263}, {239, 100}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(runsOf(c.track), c.lines);
    }
}

TEST(TrackRuns, LongTracksAreDrawnInJoinedPiecesOfAtMost1000) {
    Line track;
    for (int i = 0; i < 2500; ++i) {
        track.push_back({i % 200 + 10, i / 200 + 10});
    }
    const std::vector<Line> lines = runsOf(track);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 1000u);
    EXPECT_EQ(lines[1].size(), 1000u);
    EXPECT_EQ(lines[2].size(), 502u);
    EXPECT_EQ(lines[1].front(), lines[0].back());  // joined
    EXPECT_EQ(lines[2].front(), lines[1].back());
    EXPECT_EQ(lines[2].back(), track.back());
}

}  // namespace
}  // namespace wp2
