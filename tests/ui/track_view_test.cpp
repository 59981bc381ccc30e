#include "ui/track_view.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/memory_registry.h"
#include "core/settings/registry.h"
#include "core/track/track_log.h"
#include "core/waypoints/cpushpins.h"
#include "support/test_support.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

using test::placeholderColour;
using test::UiTest;

constexpr double kDeg = kDegToRad;
constexpr QRgb kGrey = rgb(230, 230, 230);
constexpr QRgb kRed = rgb(255, 0, 0);
constexpr QRgb kBar = rgb(20, 52, 255);

class TrackViewTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        previousRegistry = setRegistry(&registry);
        units.setSystem(1);
        log = std::make_unique<TrackLog>("track.atk");
        log->options = 0;  // no filtering, no autosave
        background().fill(kGrey);
        frame().fill(kGrey);
        snap.latitude = lat0;
        snap.longitude = lon0;
        snap.status = NavSnapshot::kFixStatus;
        scale = wgs84().localScale(LatLonAlt{lat0, lon0, 0});
    }
    void TearDown() override {
        view.reset();
        log.reset();
        setRegistry(previousRegistry);
        UiTest::TearDown();
    }
    TrackView& makeView() {
        view = std::make_unique<TrackView>();
        view->init(log.get(), &pins, units, wgs84(), TrackView::kMarkerBitmap, "Track");
        view->setSource(&snap, [this](double& lat, double& lon) {
            if (stored) {
                std::tie(lat, lon) = *stored;
            }
            return stored.has_value();
        });
        view->visible = 1;
        return *view;
    }
    // A position `north` and `east` metres from the origin.
    double latOf(double north) const { return lat0 + north / scale.metresPerDegLat * kDeg; }
    double lonOf(double east) const { return lon0 + east / scale.metresPerDegLon * kDeg; }
    void addPoint(double north, double east) {
        TrackPoint p;
        p.latitude = latOf(north);
        p.longitude = lonOf(east);
        p.time.year = 24;
        p.time.month = 3;
        p.time.day = 5;
        p.time.hour = static_cast<std::uint8_t>(seconds / 3600);
        p.time.minute = static_cast<std::uint8_t>(seconds / 60 % 60);
        p.time.seconds = seconds % 60;
        ++seconds;
        ASSERT_TRUE(log->addFix(p));
    }
    int countColour(const Rect& r, QRgb c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += frame().pixel(x, y) == c;
            }
        }
        return n;
    }

    test::TempDir root{true};
    MemoryRegistry registry;
    Registry* previousRegistry = nullptr;
    UnitFormatter units;
    std::unique_ptr<TrackLog> log;
    CPushpins pins;
    NavSnapshot snap;
    std::unique_ptr<TrackView> view;
    double lat0 = 48.2 * kDeg;
    double lon0 = 16.37 * kDeg;
    LocalScale scale;
    std::optional<std::pair<double, double>> stored;  // the last position kept at exit
    int seconds = 0;
};

TEST_F(TrackViewTest, ScaleAndOptionsAreReadWhenBuiltClampedAndWrittenWhenDestroyed) {
    TrackView& v = makeView();
    EXPECT_EQ(v.scaleIndex, 5);
    EXPECT_EQ(v.drag, 1);  // "TrackOpt2" default 1: drag, no rotation
    EXPECT_EQ(v.rotate, 0);
    EXPECT_EQ(v.rect, (Rect{0, 0, 240, 264}));
    for (int i = 0; i < 30; ++i) {
        v.zoomIn();
    }
    EXPECT_EQ(v.scaleIndex, 0);
    for (int i = 0; i < 30; ++i) {
        v.zoomOut();
    }
    EXPECT_EQ(v.scaleIndex, 24);
    EXPECT_EQ(v.dirty + v.erasePending, 2);
    v.zoomIn();
    v.applyOptions(false, true);
    EXPECT_EQ(v.trackOptions(), TrackView::kOptionRotate);
    view.reset();
    TrackView& again = makeView();
    EXPECT_EQ(again.scaleIndex, 23);
    EXPECT_EQ(again.drag, 0);
    EXPECT_EQ(again.rotate, 1);
    view.reset();
    CRegInt("TSOpt", true, 5) = 99;
    EXPECT_EQ(makeView().scaleIndex, 24);
}

TEST_F(TrackViewTest, MetricScaleBarAtStepFiveIs200MetresOver55Pixels) {
    TrackView& v = makeView();
    v.update(30);
    v.draw();
    EXPECT_EQ(units.formatDistanceWithUnit(v.scaleTableFor(units.code())[5]), " 200 m");
    // 200 m east of the centre lies the bar's length to the right.
    EXPECT_EQ(v.project(lat0, lonOf(200)), (Point{120 + 55, 132}));
    EXPECT_EQ(frame().pixel(10, 227), kBar);
    EXPECT_EQ(frame().pixel(40, 230), kBar);
    EXPECT_EQ(frame().pixel(65, 227), kBar);
    EXPECT_GT(countColour({10, 214, 70, 234}, rgb(0, 0, 0)), 10);  // the scale text

    units.setSystem(0);  // U.S.: step 5 is 600 ft
    v.draw();
    EXPECT_NEAR(v.scaleTableFor(units.code())[5], 183, 1e-9);
    EXPECT_EQ(v.project(lat0, lonOf(183)), (Point{120 + 55, 132}));
}

TEST_F(TrackViewTest, NorthUpWithoutRotateAndWithoutFix) {
    TrackView& v = makeView();
    snap.course = 90 * kDeg;
    v.update(30);
    EXPECT_DOUBLE_EQ(v.heading, 90 * kDeg);
    v.draw();
    EXPECT_EQ(v.project(latOf(200), lon0), (Point{120, 132 - 55}));  // rotate off: north up

    v.applyOptions(false, true);
    v.update(60);
    v.draw();
    EXPECT_EQ(v.project(lat0, lonOf(200)), (Point{120, 132 - 55}));  // heading east is up

    // No fix: the stored last position, north up even with rotation on.
    snap.status = 0;
    stored = {latOf(1000), lon0};
    v.update(90);
    EXPECT_DOUBLE_EQ(v.originLatitude, latOf(1000));
    EXPECT_DOUBLE_EQ(v.heading, 0);
    v.draw();
    EXPECT_EQ(v.project(latOf(1200), lon0), (Point{120, 132 - 55}));

    // Nothing stored: the origin stays where it was.
    stored.reset();
    v.update(120);
    EXPECT_DOUBLE_EQ(v.originLatitude, latOf(1000));
}

TEST_F(TrackViewTest, TrackIsDrawnRedAndNeverOutsideTheMap) {
    TrackView& v = makeView();
    addPoint(0, -200);  // oldest
    addPoint(0, 0);
    addPoint(-2000, 0);  // far below the map
    addPoint(0, 100);    // newest
    v.update(30);
    frame().fill(rgb(1, 1, 1));
    v.draw();
    // Between the two oldest points, running down off the map and clipped at its edge.
    for (auto [x, y, c] : {std::tuple{100, 132, kRed},
                           {120, 200, kRed},
                           {120, 263, kRed},
                           {120, 264, rgb(1, 1, 1)},
                           {120, 300, rgb(1, 1, 1)}}) {
        EXPECT_EQ(frame().pixel(x, y), c) << x << "," << y;
    }
    // Coming back up to the newest point, the only one inside on its way back.
    EXPECT_GT(countColour({140, 140, 150, 141}, kRed), 0);
    EXPECT_GT(countColour({140, 200, 147, 201}, kRed), 0);
}

TEST_F(TrackViewTest, ALongTrackIsDrawnWhole) {
    TrackView& v = makeView();
    for (int i = 0; i < 2500; ++i) {
        addPoint(0, -300 + i * 0.24);  // 600 m west to east in 2500 steps
    }
    ASSERT_EQ(log->count(), 2500);
    v.update(30);
    v.draw();
    for (int x = 40; x < 200; x += 7) {
        if (x < 112 || x > 128) {  // the marker sits on the centre
            EXPECT_EQ(frame().pixel(x, 132), kRed) << x;
        }
    }
}

TEST_F(TrackViewTest, PushpinsShowTheirIconAndNameInsideTheMap) {
    TrackView& v = makeView();
    CPushpin* inside = pins.AddNew();
    inside->latitude = latOf(200);
    inside->longitude = lon0;
    inside->name = u"Hut";
    inside->icon = 3;
    CPushpin* edge = pins.AddNew();  // within 10 pixels of the top: left out
    edge->latitude = latOf(130 / 55.0 * 200);
    edge->longitude = lon0;
    edge->icon = 4;
    v.update(30);
    v.draw();
    const QRgb icon = placeholderColour(test::PlaceholderBitmaps::kFirstIcon + 3);
    EXPECT_EQ(frame().pixel(120 - 8, 77 - 8), icon);
    EXPECT_EQ(frame().pixel(120 + 7, 77 + 7), icon);
    EXPECT_GT(countColour({130, 70, 160, 84}, rgb(0, 0, 0)), 5);  // "Hut"
    EXPECT_EQ(
        countColour({0, 0, 240, 10}, placeholderColour(test::PlaceholderBitmaps::kFirstIcon + 4)),
        0);
}

TEST_F(TrackViewTest, MarkerSitsOnTheCentreAndTheCompassAreaIsKept) {
    TrackView& v = makeView();
    v.setKeepArea({7, 7, 67, 67});
    v.update(30);
    v.draw();
    EXPECT_EQ(frame().pixel(120, 132), placeholderColour(TrackView::kMarkerBitmap));
    EXPECT_EQ(frame().pixel(120 - 7, 132 - 7), placeholderColour(TrackView::kMarkerBitmap));
    EXPECT_EQ(scratch().image(), frame().image().copy(7, 7, 60, 60));

    frame().fill(rgb(3, 3, 3));
    v.erase();
    EXPECT_EQ(frame().pixel(239, 263), kGrey);
    EXPECT_EQ(frame().pixel(239, 264), rgb(3, 3, 3));
}

TEST_F(TrackViewTest, DraggingMovesTheCentreButNotNearTheEdge) {
    TrackView& v = makeView();
    EXPECT_EQ(v.onPress(50, 50), 0);  // far from the centre
    EXPECT_EQ(v.onPress(135, 150), 1);
    EXPECT_EQ(v.dragging, 1);
    v.dragTo(135 + 80, 150);
    EXPECT_EQ(v.centre, (Point{200, 132}));
    v.dragTo(135 + 109, 150);  // 229: the last column allowed
    EXPECT_EQ(v.centre, (Point{229, 132}));
    v.dragTo(135 + 110, 150);  // 230 would be within 10 of the edge
    EXPECT_EQ(v.centre, (Point{229, 132}));
    EXPECT_EQ(v.onRelease(135 + 110, 150), 0);
    EXPECT_EQ(v.dragging, 0);
    EXPECT_EQ(v.savedCentre, (Point{229, 132}));

    // The position stays at the dragged centre while updates follow the fix.
    snap.latitude = latOf(50);
    v.update(30);
    EXPECT_EQ(v.centre, (Point{229, 132}));

    // A second drag starts from the saved centre.
    EXPECT_EQ(v.onPress(225, 140), 1);
    v.dragTo(215, 140);
    EXPECT_EQ(v.centre, (Point{219, 132}));
    v.onRelease(215, 140);

    // Without drag the map neither grabs the press nor keeps its centre.
    v.applyOptions(false, false);
    EXPECT_EQ(v.onPress(219, 132), 0);
    EXPECT_EQ(v.onRelease(219, 132), 1);
    v.update(60);
    EXPECT_EQ(v.centre, (Point{120, 132}));
}

}  // namespace
}  // namespace wp2
