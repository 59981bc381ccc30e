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

// Positions given as east and north metres from a point near Munich.
const LatLonAlt kOrigin{48.137 * kDegToRad, 11.575 * kDegToRad, 0.0};

LatLonAlt at(double east, double north) {
    const LocalScale s = wgs84().localScale(kOrigin);
    return {kOrigin.latitude + north / s.metresPerDegLat * kDegToRad,
            kOrigin.longitude + east / s.metresPerDegLon * kDegToRad, 0.0};
}

RoutePoint point(const char* name, double east, double north) {
    const LatLonAlt p = at(east, north);
    return {name, p.latitude, p.longitude, std::nullopt};
}

// North 1 km to A, then east 1 km to B, then north 1 km to C.
Route corner() {
    return {"Corner", {point("A", 0, 1000), point("B", 1000, 1000), point("C", 1000, 2000)}};
}

struct Fix {
    double east, north;
    RouteStep step;
};

struct AdvanceCase {
    const char* rule;
    std::vector<Fix> fixes;
};

class Advance : public ::testing::TestWithParam<AdvanceCase> {};

TEST_P(Advance, FollowsTheRule) {
    RouteNavigator nav(corner());
    for (const Fix& f : GetParam().fixes) {
        SCOPED_TRACE(testing::Message() << f.east << "," << f.north);
        EXPECT_EQ(nav.update(at(f.east, f.north)), f.step);
    }
}

constexpr RouteStep kNone{};
constexpr RouteStep kAtA{RouteStep::Advanced, 0};
constexpr RouteStep kAtB{RouteStep::Advanced, 1};
constexpr RouteStep kEnd{RouteStep::Finished, 2};

INSTANTIATE_TEST_SUITE_P(
    RouteNavigator, Advance,
    ::testing::Values(
        AdvanceCase{"within the radius", {{0, 0, kNone}, {20, 980, kAtA}, {990, 985, kAtB}}},
        // By A at 40 m: never within the radius, but across the line square
        // to the leg A-B (east 0) within 5 radii.
        AdvanceCase{"passed beside", {{-40, 900, kNone}, {-40, 1000, kNone}, {1, 1040, kAtA}}},
        AdvanceCase{"crossed beyond 5 radii", {{-10, 1100, kNone}, {10, 1160, kNone}}},
        AdvanceCase{"already beyond the line", {{50, 1000, kNone}, {60, 1000, kNone}}},
        // The last point is reached within the radius only, however it is passed.
        AdvanceCase{"last point",
                    {{0, 1000, kAtA},
                     {1000, 1000, kAtB},
                     {1040, 1990, kNone},
                     {1040, 2010, kNone},
                     {1000, 2029, kEnd},
                     {1000, 2000, kNone}}}),
    [](const auto& info) {
        std::string name = info.param.rule;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(RouteNavigator, ByHandDistancesAndTheCrossTrackSign) {
    RouteNavigator nav(corner(), 30.0, 1);
    EXPECT_EQ(nav.progressText(), "2/3");
    const LatLonAlt here = at(500, 990);  // on the way to B, 10 m south of the leg A-B
    EXPECT_NEAR(*nav.distanceToPoint(here), 500.1, 0.5);
    EXPECT_NEAR(*nav.distanceToEnd(here), 1500.1, 1.0);
    EXPECT_NEAR(*nav.crossTrack(here), 10.0, 0.05);            // south of east: right
    EXPECT_NEAR(*nav.crossTrack(at(500, 1020)), -20.0, 0.05);  // north: left
    EXPECT_TRUE(nav.previous());
    EXPECT_EQ(nav.crossTrack(here), std::nullopt);  // no leg to the first point
    EXPECT_FALSE(nav.previous());
    EXPECT_EQ(nav.next(), kAtA);
    EXPECT_EQ(nav.next(), kAtB);
    EXPECT_EQ(nav.next(), kEnd);
    EXPECT_TRUE(nav.finished());
    EXPECT_EQ(nav.next(), kNone);
    EXPECT_EQ(nav.progressText(), "3/3");
    EXPECT_EQ(nav.distanceToEnd(here), std::nullopt);
    EXPECT_TRUE(nav.previous());
    EXPECT_EQ(nav.currentPoint()->name, "C");
}

// Distances north of the target, one fix each, and whether the alarm fired.
TEST(ArrivalAlarm, FiresOncePerEntryAlsoWhenThePositionJittersAtTheEdge) {
    const std::vector<std::pair<double, bool>> fixes = {
        {100, false},  {31, false}, {29.5, true}, {30.5, false}, {29, false}, {31, false},
        {59, false},   {28, false}, {61, false},  {29.9, true},  {0, false},  {200, false},
        {29.99, true}, {-5, false}, {-65, false}, {-20, true}};
    ArrivalAlarm alarm(at(0, 0), 30.0);
    for (const auto& [north, fires] : fixes) {
        SCOPED_TRACE(north);
        EXPECT_EQ(alarm.update(at(0, north)), fires);
    }
    alarm.setTarget(at(0, -30));  // a new target: armed, and here is inside it
    EXPECT_TRUE(alarm.update(at(0, -20)));
}

TEST(OffCourseAlarm, FiresBeyondTheLimitAndRearmsWithinThreeQuarters) {
    const std::vector<std::pair<std::optional<double>, bool>> fixes = {
        {10, false}, {-101, true}, {99, false},           {-80, false}, {120, false},
        {74, false}, {101, true},  {std::nullopt, false}, {-110, false}};
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
        EXPECT_EQ(s.arrivalRadius(), 30.0);
        EXPECT_EQ(s.offCourseDistance(), 100.0);
        EXPECT_FALSE(s.arrivalAlarm() || s.offCourseAlarm() || s.activeRoute());
        EXPECT_FALSE(s.setArrivalRadius(0.5));
        EXPECT_TRUE(s.setArrivalRadius(45.0));
        EXPECT_TRUE(s.setOffCourseDistance(250.0));
        s.setArrivalAlarm(true);
        s.setActiveRoute(ActiveRoute{"Ridge walk", 3});
    }
    RouteSettings again(store);
    EXPECT_EQ(again.arrivalRadius(), 45.0);
    EXPECT_EQ(again.offCourseDistance(), 250.0);
    EXPECT_TRUE(again.arrivalAlarm());
    EXPECT_FALSE(again.offCourseAlarm());
    EXPECT_EQ(again.activeRoute(), (ActiveRoute{"Ridge walk", 3}));
    again.setActiveRoute(std::nullopt);
    EXPECT_EQ(RouteSettings(store).activeRoute(), std::nullopt);
}

}  // namespace
}  // namespace wp2
