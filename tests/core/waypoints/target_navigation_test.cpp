// SPDX-License-Identifier: GPL-3.0-or-later
// Navigation to the target pushpin: the stored target, what the destination
// panels are told, and the distance and bearing the snapshot then computes.

#include "core/waypoints/target_navigation.h"

#include <gtest/gtest.h>

#include "core/nav/angles.h"
#include "core/track/track_test_env.h"
#include "core/waypoints/pushpin_test_util.h"

namespace wp2 {
namespace {

using test::addPin;

// What a destination panel was told last: a name and icon, or "none".
struct RecordingPanel final : TargetDisplay {
    void showTarget(const std::string& name, std::int32_t icon) override {
        shown = name + "/" + std::to_string(icon);
    }
    void showNoTarget() override { shown = "none"; }
    std::string shown;
};

class TargetNavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Hut", "Lake", "Summit"}) {  // Summit at index 0
            addPin(pins_, name, 47.0, 11.0)->icon = name[0] - 'A';
        }
        nav_.addPanel(&panel_);
    }
    test::TestSettings<> settings_;
    IntSetting lastTarget_{settings_.services, kLastTargetSetting, true, -1};
    Pushpins pins_;
    NavSnapshot snap_;
    RecordingPanel panel_;
    TargetNavigation nav_{pins_, snap_, lastTarget_};
};

TEST_F(TargetNavigationTest, StoredTargetIsShownAndNavigatedToOnlyWhileItNamesAPushpin) {
    for (auto [stored, shown] : {std::pair{1, "Lake/11"}, {3, "none"}, {-1, "none"}}) {
        lastTarget_ = stored;
        snap_.targetSet = 0;
        nav_.restoreTarget();
        nav_.applyTarget();
        EXPECT_EQ(panel_.shown, shown) << stored;
        EXPECT_EQ(snap_.targetSet, stored == 1 ? 1 : 0) << stored;
    }
    EXPECT_EQ(snap_.targetPoint.latitude, pins_.at(1)->latitude);
}

TEST_F(TargetNavigationTest, DistanceAndBearingToTheTargetFromKnownGeodesics) {
    snap_.ellipsoid = &wgs84();
    snap_.fixLevel = 3;
    snap_.speed = 1.0;
    const struct {
        const char* what;
        double fromLat, fromLon, toLat, toLon;  // degrees
        double metres, bearingDeg, bearingTolerance;
    } cases[] = {
        // Vincenty's example: 54972.271 m, azimuth 306 52' 05.37" (the bearing
        // here is a plane one at the start, half the meridians' convergence off).
        {"Flinders Peak to Buninyong", -37.9510334, 144.4248678, -37.6528211, 143.9264955, 54972.3,
         306.868, 0.3},
        // and back: the reverse azimuth, 127 10' 25.07".
        {"Buninyong to Flinders Peak", -37.6528211, 143.9264955, -37.9510334, 144.4248678, 54972.3,
         127.174, 0.3},
        // 0.02 degrees of the equator (111319.49 m a degree), the short way east.
        {"across the 180th meridian", 0.0, 179.99, 0.0, -179.99, 2226.4, 90.0, 1e-6},
        // A degree of meridian at 9.5 degrees: 110604.6 m of arc, 1.4 m more than its chord.
        {"due south", 10.0, 20.0, 9.0, 20.0, 110603.2, 180.0, 1e-6},
        {"arrived", 47.5, 11.5, 47.5, 11.5, 0.0, 0.0, 1e-9},  // north, for want of any
    };
    for (const auto& c : cases) {
        addPin(pins_, c.what, c.toLat, c.toLon);
        pins_.setTargetIndex(0);
        nav_.applyTarget();
        snap_.latitude = c.fromLat * kDegToRad;
        snap_.longitude = c.fromLon * kDegToRad;
        snap_.finishRefresh();
        EXPECT_NEAR(snap_.targetDistance, c.metres, 1.0) << c.what;
        EXPECT_NEAR(snap_.targetBearing * kRadToDeg, c.bearingDeg, c.bearingTolerance) << c.what;
    }
}

}  // namespace
}  // namespace wp2
