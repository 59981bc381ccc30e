// SPDX-License-Identifier: GPL-3.0-or-later
// Routes: the collection's operations, the route file (kept whole across a
// deleted pushpin, kept aside when damaged), GPX import and export read back
// by GPSBabel and valid GPX 1.1; following a route (the advance rule where the
// replay of tests/tools/route_replay.py does not reach, distances, the
// cross-track sign); the alarms; the settings.

#include "core/routes/routes.h"

#include <gtest/gtest.h>

#include "core/nav/angles.h"
#include "core/routes/route_alarms.h"
#include "core/routes/route_navigator.h"
#include "core/routes/route_settings.h"
#include "core/settings/settings_store.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "core/waypoints/pushpins.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;
using Names = std::vector<std::string>;

// A position east and north metres from a point near Munich.
LatLonAlt at(double east, double north) {
    const LatLonAlt origin{48.137 * kDegToRad, 11.575 * kDegToRad, 0.0};
    const LocalScale s = wgs84().localScale(origin);
    return {origin.latitude + north / s.metresPerDegLat * kDegToRad,
            origin.longitude + east / s.metresPerDegLon * kDegToRad, 0.0};
}

// Points a thousandth of a degree apart, which GPX carries exactly.
Route route(const std::string& name, const Names& points) {
    Route r{name, {}};
    for (const std::string& p : points) {
        const double lat = (48000.0 + static_cast<double>(r.points.size())) / 1000.0;
        r.points.push_back({p, lat * kDegToRad, 11.5 * kDegToRad, 0});
    }
    return r;
}

// The names of routes or of a route's points.
template <typename List>
Names names(const List& list) {
    Names out;
    for (const auto& item : list) {
        out.push_back(item.name);
    }
    return out;
}

class RoutesTest : public ::testing::Test {
protected:
    TempDir root_{true};
    Routes routes_;
};

TEST_F(RoutesTest, OperationsKeepNamesUniqueAndRefuseWhatTheyCannotDo) {
    ASSERT_TRUE(routes_.add(route("Loop", {"A", "B", "C", "D"})));
    ASSERT_TRUE(routes_.add(route("Back", {"X"})));
    EXPECT_FALSE(routes_.add(route("Loop", {"Y"})) || routes_.rename(1, "Loop"));
    EXPECT_TRUE(routes_.movePoint(0, 0, 1));                                  // B A C D
    EXPECT_FALSE(routes_.movePoint(0, 0, -1) || routes_.movePoint(0, 3, 1));  // at the ends
    EXPECT_TRUE(routes_.reverse(0) && routes_.removePoint(0, 1));             // D A B
    EXPECT_TRUE(routes_.addPoint(0, route("", {"E"}).points[0], 1));
    EXPECT_EQ(names(routes_.all()[0].points), (Names{"D", "E", "A", "B"}));
    EXPECT_TRUE(routes_.remove(0));
    EXPECT_FALSE(routes_.remove(1));
    EXPECT_EQ(names(routes_.all()), Names{"Back"});
}

TEST_F(RoutesTest, ARouteKeepsThePointsOfADeletedPushpinThroughSaveAndLoad) {
    Pushpins pins;
    Route built{"Walk", {}};
    for (const char* name : {"Mill & <Weir>", "Café", "Bridge"}) {
        Pushpin* p = pins.addNew();
        p->name = name;
        p->latitude = (48.1 + 0.01 * pins.count()) * kDegToRad;
        built.points.push_back(routePointFrom(*p));
    }
    // A route whose points were all removed stays, a valid <rte> without <rtept>.
    ASSERT_TRUE(routes_.add(route("Emptied", {"X"})) && routes_.removePoint(0, 0));
    ASSERT_TRUE(routes_.add(built) && pins.deleteAt(1) && routes_.save());
    Routes read;
    EXPECT_TRUE(read.load().clean);
    // Positions to the bit, names, icons.
    EXPECT_EQ(read.all(), (std::vector<Route>{{"Emptied", {}}, built}));
    const RunResult lint = runProgram({"/usr/bin/env", "xmllint", "--noout", "--schema",
                                       dataFile("gpx/gpx11.xsd"), Routes::defaultFilePath()});
    EXPECT_EQ(lint.status, 0) << lint.err;
    ASSERT_TRUE(read.saveFile(root_.file("again.gpx")));
    EXPECT_EQ(readFile(root_.file("again.gpx")), readFile(Routes::defaultFilePath()));
}

TEST_F(RoutesTest, ADamagedRouteFileIsKeptAsideWithTheRoutesBeforeTheDamage) {
    const std::string path = Routes::defaultFilePath();
    ASSERT_TRUE(routes_.add(route("Kept", {"A", "B"})) && routes_.save());
    const std::string text = readFile(path);
    writeFile(path, text.substr(0, text.find("</rte>") + 7) + "  <rte><rtept lat=\"9");
    Routes read;
    const RouteLoadResult loaded = read.load();
    EXPECT_EQ(std::tuple(loaded.clean, loaded.keptAs), std::tuple(false, path + ".bad"));
    EXPECT_EQ(names(read.all()), (Names{"Kept", "RTE002"}));
    EXPECT_TRUE(read.remove(1) && read.save());
    EXPECT_EQ(readFile(path), text);
}

TEST_F(RoutesTest, ImportSkipsWaypointsAndEmptyRoutesAndNamesUnnamedPoints) {
    writeFile(root_.file("in.gpx"),
              "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
              "<wpt lat=\"1\" lon=\"2\"><name>not a route</name></wpt><rte><name>E</name></rte>\n"
              "<rte><name> Ridge </name><rtept lat=\"48.5\" lon=\"-3.25\"><sym>Summit</sym>"
              "</rtept></rte></gpx>\n");
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(routes_.importGpx(root_.file("in.gpx")).value_or(-1), 1);
    }
    EXPECT_EQ(names(routes_.all()), (Names{"Ridge", "Ridge (2)"}));
    EXPECT_EQ(routes_.all()[0].points[0], (RoutePoint{"RPT001", 48.5 * kDegToRad, -3.25 * kDegToRad,
                                                      pushpinIconForSymbol("Summit")}));
    writeFile(root_.file("bad.gpx"), "<gpx><rte>");
    EXPECT_FALSE(routes_.importGpx(root_.file("bad.gpx")));
}

// GPSBabel reads the routes written and writes them again: the same routes.
// (Their schema check is the route file's, written by the same export.)
TEST_F(RoutesTest, ExportedRoutesReadBackThroughGpsbabel) {
    ASSERT_TRUE(routes_.add(route("First & <only>", {"A", "B", "C"})));
    ASSERT_TRUE(routes_.add(route("Second", {"Ü1", "Z2"})));
    ASSERT_TRUE(routes_.add(route("Not exported", {"N"})));
    ASSERT_TRUE(routes_.addPoint(0, {"W", 48.1 * kDegToRad, -179.99 * kDegToRad, 5}));
    const std::string path = root_.file("out.gpx"), back = root_.file("back.gpx");
    ASSERT_TRUE(routes_.exportGpx(path, {0, 1}));
    const RunResult r = runProgram(
        {"/usr/bin/env", "gpsbabel", "-r", "-i", "gpx", "-f", path, "-o", "gpx", "-F", back});
    ASSERT_EQ(r.status, 0) << r.err;
    Routes read;
    ASSERT_TRUE(read.importGpx(back));
    EXPECT_EQ(read.all(), (std::vector<Route>{routes_.all()[0], routes_.all()[1]}));
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

TEST(RouteNavigator, PassedCountsOnlyACrossingWithinFiveRadiiFromTheNearSide) {
    for (auto [east1, north1, east2, north2] :
         {std::tuple{-10, 1100, 10, 1160}, {50, 1000, 60, 1000}}) {
        RouteNavigator nav(corner());
        EXPECT_EQ(nav.update(at(east1, north1)), RouteStep{});
        EXPECT_EQ(nav.update(at(east2, north2)), RouteStep{}) << east2 << "," << north2;
    }
}

TEST(RouteNavigator, ByHandDistancesAndTheCrossTrackSign) {
    RouteNavigator nav(corner(), 30.0, 1);
    const LatLonAlt here = at(500, 990);  // to B, 10 m south of the leg A-B
    EXPECT_NEAR(*nav.distanceToPoint(here), 500.1, 0.5);
    EXPECT_NEAR(*nav.distanceToEnd(here), 1500.1, 1.0);
    EXPECT_NEAR(*nav.crossTrack(here), 10.0, 0.05);            // right of the leg
    EXPECT_NEAR(*nav.crossTrack(at(500, 1020)), -20.0, 0.05);  // left
    EXPECT_TRUE(nav.previous() && !nav.previous());
    EXPECT_EQ(nav.crossTrack(here), std::nullopt);  // no leg to the first point
    for (RouteStep step : {RouteStep{RouteStep::Advanced, 0},
                           {RouteStep::Advanced, 1},
                           {RouteStep::Finished, 2},
                           {}}) {
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

// The defaults are checked as the Sound options dialog shows them, the active
// route by the route following test's restart.
TEST(RouteSettings, ARadiusOutsideTheLimitsIsRefusedAndOneSetIsKept) {
    TestSettings<> registry;
    SettingsStore store(registry.registry);
    RouteSettings settings(registry.services, store);
    EXPECT_FALSE(settings.setArrivalRadius(0.5));
    EXPECT_TRUE(settings.setArrivalRadius(45.0));
    settings.load();  // read back
    EXPECT_EQ(settings.arrivalRadius(), 45.0);
}

}  // namespace
}  // namespace wp2
