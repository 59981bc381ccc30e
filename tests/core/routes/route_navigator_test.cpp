// SPDX-License-Identifier: GPL-3.0-or-later
// Following a route (the advance rule, the distances, the cross-track sign),
// the arrival and off-course alarms, and the route settings.

#include "core/routes/route_navigator.h"

#include <gtest/gtest.h>

#include "core/nav/angles.h"
#include "core/routes/route_alarms.h"
#include "core/routes/route_settings.h"
#include "core/settings/settings_store.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

// A position east and north metres from a point near Munich.
LatLonAlt at(double east, double north) {
    const LatLonAlt origin{48.137 * kDegToRad, 11.575 * kDegToRad, 0.0};
    const LocalScale s = wgs84().localScale(origin);
    return {origin.latitude + north / s.metresPerDegLat * kDegToRad,
            origin.longitude + east / s.metresPerDegLon * kDegToRad, 0.0};
}

// North 1 km to A, east 1 km to B, north 1 km to C.
Route corner() {
    Route r{"Corner", {}};
    for (auto [name, east, north] :
         {std::tuple{"A", 0, 1000}, {"B", 1000, 1000}, {"C", 1000, 2000}}) {
        r.points.push_back({name, at(east, north).latitude, at(east, north).longitude, {}});
    }
    return r;
}

constexpr RouteStep kNone{}, kAtA{RouteStep::Advanced, 0}, kAtB{RouteStep::Advanced, 1},
    kEnd{RouteStep::Finished, 2};

struct Fix {
    double east, north;
    RouteStep step;
};

TEST(RouteNavigator, AdvancesWithinTheRadiusOrPastThePointWithinFiveRadii) {
    const std::vector<std::vector<Fix>> cases = {
        {{0, 0, kNone}, {20, 980, kAtA}, {990, 985, kAtB}},  // within the radius
        // By A at 40 m: across the line square to the leg A-B (east 0) within 5 radii.
        {{-40, 900, kNone}, {-40, 1000, kNone}, {1, 1040, kAtA}},
        {{-10, 1100, kNone}, {10, 1160, kNone}},  // crossed 160 m from A
        {{50, 1000, kNone}, {60, 1000, kNone}},   // never on the near side
        // The last point is reached within the radius only, however it is passed.
        {{0, 1000, kAtA},
         {1000, 1000, kAtB},
         {1040, 1990, kNone},
         {1040, 2010, kNone},
         {1000, 2029, kEnd},
         {1000, 2000, kNone}}};
    for (const std::vector<Fix>& fixes : cases) {
        RouteNavigator nav(corner());
        for (const Fix& f : fixes) {
            EXPECT_EQ(nav.update(at(f.east, f.north)), f.step) << f.east << "," << f.north;
        }
    }
}

TEST(RouteNavigator, ByHandDistancesAndTheCrossTrackSign) {
    RouteNavigator nav(corner(), 30.0, 1);
    EXPECT_EQ(nav.progressText(), "2/3");
    const LatLonAlt here = at(500, 990);  // to B, 10 m south of the leg A-B
    EXPECT_NEAR(*nav.distanceToPoint(here), 500.1, 0.5);
    EXPECT_NEAR(*nav.distanceToEnd(here), 1500.1, 1.0);
    EXPECT_NEAR(*nav.crossTrack(here), 10.0, 0.05);            // right of the leg
    EXPECT_NEAR(*nav.crossTrack(at(500, 1020)), -20.0, 0.05);  // left
    EXPECT_TRUE(nav.previous());
    EXPECT_EQ(nav.crossTrack(here), std::nullopt);  // no leg to the first point
    EXPECT_FALSE(nav.previous());
    for (RouteStep step : {kAtA, kAtB, kEnd, kNone}) {
        EXPECT_EQ(nav.next(), step);
    }
    EXPECT_EQ(nav.progressText(), "3/3");
    EXPECT_EQ(nav.distanceToEnd(here), std::nullopt);
}

// Distances north of the target, one fix each, and whether the alarm fired.
TEST(ArrivalAlarm, FiresOncePerEntryAlsoWhenThePositionJittersAtTheEdge) {
    const std::vector<std::pair<double, bool>> fixes = {
        {100, false},  {31, false}, {29.5, true}, {30.5, false}, {29, false}, {31, false},
        {59, false},   {28, false}, {61, false},  {29.9, true},  {0, false},  {200, false},
        {29.99, true}, {-5, false}, {-65, false}, {-20, true}};
    ArrivalAlarm alarm(at(0, 0), 30.0);
    for (const auto& [north, fires] : fixes) {
        EXPECT_EQ(alarm.update(at(0, north)), fires) << north;
    }
    alarm.setTarget(at(0, -30));  // a new target: armed, and here is inside it
    EXPECT_TRUE(alarm.update(at(0, -20)));
}

TEST(OffCourseAlarm, FiresBeyondTheLimitAndRearmsWithinThreeQuarters) {
    const std::vector<std::pair<std::optional<double>, bool>> fixes = {
        {10, false}, {-101, true}, {99, false}, {-80, false}, {120, false},
        {74, false}, {101, true},  {{}, false}, {-110, false}};
    OffCourseAlarm alarm(100.0);
    for (const auto& [xte, fires] : fixes) {
        EXPECT_EQ(alarm.update(xte), fires) << xte.value_or(-1);
    }
}

TEST(RouteSettings, DefaultsLimitsAndTheActiveRouteSurviveARestart) {
    test::TempDir root(true);
    test::InstalledMemoryRegistry registry;
    SettingsStore store;
    {
        RouteSettings s(store);
        EXPECT_EQ(std::tuple(s.arrivalRadius(), s.offCourseDistance(), s.arrivalAlarm()),
                  std::tuple(30.0, 100.0, false));
        EXPECT_EQ(s.activeRoute(), std::nullopt);
        EXPECT_FALSE(s.setArrivalRadius(0.5));
        EXPECT_TRUE(s.setArrivalRadius(45.0));
        s.setArrivalAlarm(true);
        s.setActiveRoute(ActiveRoute{"Ridge walk", 3});
    }
    RouteSettings again(store);
    EXPECT_EQ(std::tuple(again.arrivalRadius(), again.arrivalAlarm()), std::tuple(45.0, true));
    EXPECT_EQ(again.activeRoute(), (ActiveRoute{"Ridge walk", 3}));
}

}  // namespace
}  // namespace wp2
