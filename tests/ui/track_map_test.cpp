// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpins.h"
#include "ui/base_map.h"
#include "ui/map_projection.h"
#include "ui/night_palette.h"
#include "ui/track_runs.h"
#include "ui/track_view.h"
#include "ui_test_support.h"

namespace wp2::test {
namespace {

constexpr double kDeg = kDegToRad;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr QRgb kRed = rgb(255, 0, 0);
const double lat0 = 48.2 * kDeg;
const double lon0 = 16.37 * kDeg;
const LocalScale kScale = wgs84().localScale(LatLonAlt{lat0, lon0, 0});

// Latitude and longitude (radians) `north` and `east` metres from the origin.
double latOf(double north) {
    return lat0 + north / kScale.metresPerDegLat * kDeg;
}
double lonOf(double east) {
    return lon0 + east / kScale.metresPerDegLon * kDeg;
}

TEST(MapProjection, AnyNumberIsSafeAndFarPointsKeepTheirDirection) {
    // Damaged coordinates and far places must not overflow the screen's
    // integers (undefined behaviour the sanitizer build reports).
    MapProjection p;
    p.setUp(lat0, lon0, kScale, 55.0 / 200.0, {120, 132}, true, NAN, NAN);
    EXPECT_EQ(p.project(latOf(200), lon0), (Point{120, 132 - 55}));  // no heading: north
    for (auto [lat, lon] : {std::pair{1e308, -1e308}, {kInf, 0.0}, {-kInf, kInf}}) {
        EXPECT_LE(std::abs(p.project(lat, lon)->x) + std::abs(p.project(lat, lon)->y), 3 << 20);
    }
    EXPECT_FALSE(p.project(std::nan(""), lon0));
    EXPECT_EQ(p.project(-kInf, lon0)->x, 120);             // infinitely far south: straight down
    const Point far = *p.project(latOf(2e9), lonOf(4e9));  // east-north-east, pulled in
    EXPECT_EQ(far.x - 120, 1 << 20);
    EXPECT_NEAR(static_cast<double>(132 - far.y) / (far.x - 120), 0.5, 1e-6);
}

using Line = std::vector<Point>;
const Point kGap{INT_MIN, 0};  // a point with no place on the map

// The polylines the runs hand over for a track, newest point first.
std::vector<Line> runsOf(const Line& track) {
    std::vector<Line> lines;
    TrackRuns runs({0, 0, 240, 264}, [&](const Point* p, int n) { lines.emplace_back(p, p + n); });
    for (Point p : track) {
        p == kGap ? runs.gap() : runs.add(p);
    }
    runs.finish();
    return lines;
}

TEST(TrackRuns, LinesAreCutWhereTheTrackLeavesTheMapOrHasAGap) {
    // What is tested, the track and the lines handed over for it.
    const std::tuple<const char*, Line, std::vector<Line>> cases[] = {
        {"leaving (the right edge is outside) and re-entering: each line to the point outside, "
         "repeated points dropped",
         {{10, 10}, {10, 10}, {239, 10}, {240, 10}, {400, 10}, {500, 263}, {50, 50}, {50, 50}},
         {{{10, 10}, {239, 10}, {240, 10}}, {{500, 263}, {50, 50}}}},
        {"a gap ends a line without a point; one point is no line",
         {{10, 10}, {20, 20}, kGap, {30, 30}, {40, 40}, kGap, {50, 50}},
         {{{10, 10}, {20, 20}}, {{30, 30}, {40, 40}}}},
    };
    for (const auto& [what, track, lines] : cases) {
        EXPECT_EQ(runsOf(track), lines) << what;
    }
    Line track;  // long: joined pieces of at most 1000
    for (int i = 0; i < 2500; ++i) {
        track.push_back({i % 200 + 10, i / 200 + 10});
    }
    const std::vector<Line> lines = runsOf(track);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], Line(track.begin() + 999, track.begin() + 1999));
}

class TrackViewTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        units.setSystem(1);
        log.options = 0;  // no filtering, no autosave
        snap.latitude = lat0;
        snap.longitude = lon0;
        snap.status = NavSnapshot::kFixStatus;
    }
    void TearDown() override {
        view.reset();
        UiTest::TearDown();
    }
    TrackView& makeView() {
        EXPECT_TRUE(!view || view->save());  // "TSOpt" before the next one reads it
        view = std::make_unique<TrackView>(settings_.services);
        view->load();
        view->init(&log, &pins, units, wgs84(), TrackView::kMarkerBitmap, "Track");
        view->setSource(&snap, [this](double& lat, double& lon) {
            lat = lat0 + stored;
            lon = lon0;
            return stored != 0;
        });
        return *view;
    }
    // Zoom steps out (positive) or in (negative).
    static void zoom(TrackView& v, int steps) {
        for (int i = 0; i < std::abs(steps); ++i) {
            steps > 0 ? v.zoomOut() : v.zoomIn();
        }
    }
    void addFix(double lat, double lon) {
        TrackPoint p;
        p.latitude = lat;
        p.longitude = lon;
        log.addFix(p);
    }
    void draw(TrackView& v) {
        v.update(30);
        background().fill(rgb(1, 1, 1));
        v.erase(surfaces_);
        v.draw(surfaces_);
    }

    UnitFormatter units;
    TrackLog log{"track.atk"};
    Pushpins pins;
    NavSnapshot snap;
    std::unique_ptr<TrackView> view;
    double stored = 0;  // the stored last position: this far north of the origin
};

TEST_F(TrackViewTest, ScaleStepAndOptionsAreReadClampedAndWrittenBack) {
    TrackView& v = makeView();
    EXPECT_EQ(std::tuple(v.scaleIndex, v.drag, v.rotate), std::tuple(5, 1, 0));  // drag, north up
    zoom(v, 30);
    zoom(v, -1);
    v.applyOptions(false, true);
    TrackView& again = makeView();
    EXPECT_EQ(std::tuple(again.scaleIndex, again.drag, again.rotate), std::tuple(23, 0, 1));
    view.reset();
    IntSetting(settings_.services, "TSOpt", true, 5) = 99;
    EXPECT_EQ(makeView().scaleIndex, 24);
}

TEST_F(TrackViewTest, ProjectionFollowsTheScaleStepAndTheFixOrTheStoredPosition) {
    TrackView& v = makeView();
    snap.course = 90 * kDeg;
    draw(v);
    EXPECT_EQ(v.project(lat0, lonOf(200)), (Point{120 + 55, 132}));  // rotate off
    // 101 m is 27.8 pixels: rounded up to the east, towards zero to the south.
    EXPECT_EQ(v.project(latOf(-101), lonOf(101)), (Point{120 + 28, 132 + 27}));
    units.setSystem(0);  // U.S.: step 5 is 600 ft
    v.applyOptions(true, true);
    draw(v);
    EXPECT_EQ(v.project(lat0, lonOf(183)), (Point{120, 132 - 55}));  // east is up
    snap.status = 0;  // no fix: the stored position, north up
    stored = 0.01;
    draw(v);
    EXPECT_EQ(v.project(latOf(183) + 0.01, lon0), (Point{120, 132 - 55}));
}

TEST_F(TrackViewTest, ScaleLabelCountsInTheUnitSystemsOwnSteps) {
    // Feet up to step 5, then statute or nautical miles (both labelled "mi"),
    // in the U.S. (0), metric (1) and nautical (2) systems.
    const std::tuple<int, int, const char*> cases[] = {
        {1, 0, "  10 m"},  {1, 10, " 2.0 km"}, {1, 24, "1200.0 km"},
        {0, 5, " 600 ft"}, {0, 10, "1.20 mi"}, {0, 24, "800.0 mi"},
        {2, 0, "  25 ft"}, {2, 10, "1.20 mi"}, {2, 24, "800.0 mi"}};
    TrackView& v = makeView();
    for (const auto& [system, step, label] : cases) {
        units.setSystem(system);
        zoom(v, step - v.scaleIndex);
        draw(v);
        Surface expected(240, 320);  // the label and, over it, the bar's bracket
        expected.fill(rgb(1, 1, 1));
        expected.text({10, 214, 70, 234}, label, v.labelFont, rgb(0, 0, 0), TextFlag::Centre,
                      rgb(230, 230, 230));
        const Point bracket[4] = {{10, 225}, {10, 230}, {65, 230}, {65, 225}};
        expected.polyline(bracket, 4, rgb(20, 52, 255), 2);
        EXPECT_EQ(frame().image().copy(10, 214, 60, 20), expected.image().copy(10, 214, 60, 20))
            << label;
    }
}

TEST_F(TrackViewTest, TheTrackIsDrawnRedIntoTheMapOnlyAndFarPointsAreSafe) {
    TrackView& v = makeView();
    // 4000 km east at the closest zoom is billions of pixels away: the line
    // still leaves towards it, and nothing overflows. What is no position
    // (if the log takes it) breaks the line instead of being drawn to.
    zoom(v, -5);  // 10 m over 55 pixels
    const double track[][2] = {{latOf(-500), lon0},  {lat0, lon0},      {kNoPosition, kNoPosition},
                               {std::nan(""), lon0}, {lat0, 1e300},     {lat0, lon0 + 36 * kDeg},
                               {lat0, lon0},         {lat0, lonOf(-10)}};
    for (const auto& [lat, lon] : track) {
        addFix(lat, lon);
    }
    draw(v);
    // From 10 m west (x 66) to the right edge and from the centre down to the
    // bottom edge, less the pixels under the marker (15 x 15 on the centre).
    EXPECT_EQ(countColour(frame(), {0, 132, 240, 133}, kRed), 240 - 66 - 15);
    EXPECT_EQ(countColour(frame(), {120, 0, 121, 264}, kRed), 264 - 132 - 8);
    EXPECT_EQ(countColour(frame(), frame().bounds(), kRed), 240 - 66 - 15 + 264 - 132 - 8);
}

TEST_F(TrackViewTest, PushpinsShowTheirIconAndNameInsideTheMap) {
    TrackView& v = makeView();
    // Icon 0 at (120, 77); 1 within 10 pixels of the top and 3 without a
    // position are left out; 2 is 5 pixels from the left edge, shown.
    const double place[][2] = {{200, 0}, {130 / 55.0 * 200, 0}, {0, -115 / 55.0 * 200}, {NAN, 0}};
    for (int i = 0; i < 4; ++i) {
        Pushpin* pin = pins.addNew();
        pin->latitude = latOf(place[i][0]);
        pin->longitude = lonOf(place[i][1]);
        pin->name = "Hut";
        pin->icon = i;
    }
    draw(v);
    const auto icon = [this](int i) {
        return countColour(frame(), {0, 0, 240, 264}, placeholderColour(1001 + i));
    };
    EXPECT_EQ(countColour(frame(), {112, 69, 128, 85}, placeholderColour(1001)), 256);
    EXPECT_GT(countColour(frame(), {130, 70, 160, 84}, rgb(0, 0, 0)), 5);  // "Hut"
    EXPECT_EQ(icon(1) + icon(3), 0);
    EXPECT_GT(icon(2), 0);
}

TEST_F(TrackViewTest, MarkerOnTheCentreCompassAreaKeptAndDraggingStopsNearTheEdge) {
    TrackView& v = makeView();
    v.setKeepArea({7, 7, 67, 67});
    draw(v);
    EXPECT_EQ(countColour(frame(), {113, 125, 128, 140}, placeholderColour(151)), 15 * 15);
    EXPECT_EQ(scratch().image(), frame().image().copy(7, 7, 60, 60));
    EXPECT_EQ(v.onPress(50, 50), 0);  // far from the centre
    EXPECT_EQ(v.onPress(135, 150), 1);
    v.dragTo(135 + 109, 150);  // 229: the last column allowed
    v.dragTo(135 + 110, 150);  // 230 would be within 10 of the edge
    EXPECT_EQ(v.onRelease(135 + 110, 150), 0);
    EXPECT_EQ(v.centre, (Point{229, 132}));
    v.update(30);  // the position stays at the dragged centre
    EXPECT_EQ(v.centre, (Point{229, 132}));
    v.applyOptions(false, false);  // without drag: no grab, and the centre returns
    EXPECT_EQ(v.onPress(229, 132), 0);
    v.update(60);
    EXPECT_EQ(v.centre, (Point{120, 132}));
}

TEST_F(TrackViewTest, ABaseMapLiesUnderTheTrackAndNamesAndArrivingTilesRedrawTheMap) {
    TileCache tiles(std::make_unique<CodedSource>(18));
    TrackView& v = makeView();
    v.setBaseMap(&tiles);
    addFix(lat0, lonOf(-300));
    addFix(lat0, lon0);
    Pushpin* pin = pins.addNew();
    pin->latitude = latOf(200);
    pin->longitude = lon0;
    pin->name = "Hut";
    draw(v);
    EXPECT_FALSE(v.baseMapComplete());
    // The tiles arrive on the loaders: the next tick asks for a redraw, and
    // one more tick with nothing new does not.
    ASSERT_TRUE(tiles.waitIdle(std::chrono::seconds(5)));
    v.dirty = 0;
    v.tick(1);
    EXPECT_TRUE(v.dirty);
    frame().fill(rgb(1, 1, 1));
    v.setBaseMapHoles({{220, 5, 236, 19}});  // a button on the map
    draw(v);
    EXPECT_TRUE(v.baseMapComplete());
    v.dirty = 0;
    v.tick(2);
    EXPECT_FALSE(v.dirty);

    // The map fills the map's rectangle only, under a red line with a white
    // edge and a name outlined in white instead of on a grey box.
    const auto mapPixel = [](QRgb p) { return p != rgb(1, 1, 1); };
    EXPECT_GT(countPixels(frame(), {0, 0, 240, 264}, mapPixel), 240 * 264 * 9 / 10);
    EXPECT_EQ(countPixels(frame(), {0, 264, 240, 320}, mapPixel), 0);
    EXPECT_EQ(countPixels(frame(), {220, 5, 236, 19}, mapPixel), 0);
    const int red = countColour(frame(), {0, 120, 240, 145}, kRed);
    EXPECT_GT(red, 2 * 40);
    EXPECT_GT(countColour(frame(), {0, 120, 240, 145}, rgb(255, 255, 255)), red);
    EXPECT_EQ(countColour(frame(), {130, 60, 170, 90}, rgb(230, 230, 230)), 0);
    EXPECT_GT(countColour(frame(), {130, 60, 170, 90}, rgb(0, 0, 0)), 5);

    // At night the tiles are dimmed to dark red and amber: no blue, nothing bright.
    const Rect corner{0, 0, 100, 50};
    const auto dimmed = [](QRgb p) { return qBlue(p) == 0 && qRed(p) <= 150 && qGreen(p) <= 64; };
    EXPECT_LT(countPixels(frame(), corner, dimmed), 100 * 50 / 2);
    setCurrentPalette(Palette::Night);
    draw(v);
    setCurrentPalette(Palette::Day);
    EXPECT_EQ(countPixels(frame(), corner, dimmed), 100 * 50);
}

}  // namespace
}  // namespace wp2::test
