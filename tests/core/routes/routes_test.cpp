// SPDX-License-Identifier: GPL-3.0-or-later
// The route collection: its operations, the route file (kept whole across a
// deleted pushpin, kept aside when damaged), GPX import, and the GPX written
// read back by GPSBabel and valid against the GPX 1.1 schema.

#include "core/routes/routes.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "core/waypoints/pushpins.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;
using Names = std::vector<std::string>;

RoutePoint point(const std::string& name, double latDeg, double lonDeg) {
    return {name, latDeg * kDegToRad, lonDeg * kDegToRad, std::nullopt};
}

Route route(const std::string& name, const Names& points) {
    Route r{name, {}};
    double lat = 48.0;
    for (const std::string& p : points) {
        r.points.push_back(point(p, lat += 0.001, 11.5));
    }
    return r;
}

Names pointNames(const Route& r) {
    Names names;
    for (const RoutePoint& p : r.points) {
        names.push_back(p.name);
    }
    return names;
}

Names routeNames(const Routes& routes) {
    Names names;
    for (const Route& r : routes.all()) {
        names.push_back(r.name);
    }
    return names;
}

class RoutesTest : public ::testing::Test {
protected:
    TempDir root_{true};
    Routes routes_;
};

TEST_F(RoutesTest, OperationsKeepNamesUniqueAndRefuseWhatTheyCannotDo) {
    ASSERT_TRUE(routes_.add(route("Loop", {"A", "B", "C", "D"})));
    ASSERT_TRUE(routes_.add(route("Back", {"X"})));
    EXPECT_FALSE(routes_.add(route("Loop", {"Y"})));
    EXPECT_FALSE(routes_.add(route("", {"Y"})));
    EXPECT_FALSE(routes_.rename(1, "Loop"));
    EXPECT_FALSE(routes_.rename(2, "Other"));
    EXPECT_TRUE(routes_.rename(1, "Home"));

    EXPECT_TRUE(routes_.movePoint(0, 0, 1));    // B A C D
    EXPECT_TRUE(routes_.movePoint(0, 3, -1));   // B A D C
    EXPECT_FALSE(routes_.movePoint(0, 0, -1));  // the first cannot go up
    EXPECT_FALSE(routes_.movePoint(0, 3, 1));   // nor the last down
    EXPECT_TRUE(routes_.reverse(0));            // C D A B
    EXPECT_TRUE(routes_.removePoint(0, 1));     // C A B
    EXPECT_FALSE(routes_.removePoint(0, 3));
    EXPECT_TRUE(routes_.addPoint(0, point("E", 1, 1), 1));  // C E A B
    EXPECT_EQ(pointNames(routes_.all()[0]), (Names{"C", "E", "A", "B"}));

    EXPECT_TRUE(routes_.remove(0));
    EXPECT_FALSE(routes_.remove(1));
    EXPECT_EQ(routeNames(routes_), Names{"Home"});
}

TEST_F(RoutesTest, ARouteKeepsThePointsOfADeletedPushpinThroughSaveAndLoad) {
    Pushpins pins;
    for (const char* name : {"Mill & <Weir>", "Café", "Bridge"}) {
        Pushpin* p = pins.addNew();
        p->name = name;
        p->latitude = (48.1 + 0.01 * pins.count()) * kDegToRad;
        p->longitude = 11.5 * kDegToRad;
        p->icon = 3;
    }
    Route built{"Walk", {}};
    for (const Pushpin& p : pins.oldestFirst()) {
        built.points.push_back(routePointFrom(p));
    }
    ASSERT_TRUE(routes_.add(built));
    ASSERT_TRUE(pins.deleteAt(1));  // "Café"
    ASSERT_TRUE(routes_.save());

    Routes read;
    const RouteLoadResult loaded = read.load();
    EXPECT_TRUE(loaded.clean) << loaded.problem;
    ASSERT_EQ(read.count(), 1);
    EXPECT_EQ(read.all()[0], built);  // positions to the bit, names and icons

    // Saving what was read writes the same bytes.
    const std::string before = readFile(Routes::defaultFilePath());
    ASSERT_TRUE(read.saveFile(root_.file("again.gpx")));
    EXPECT_EQ(readFile(root_.file("again.gpx")), before);
}

TEST_F(RoutesTest, ADamagedRouteFileIsKeptAsideWithTheRoutesBeforeTheDamage) {
    Paths::makeDirs(root_.path() + "/My Documents");
    const std::string path = Routes::defaultFilePath();
    ASSERT_TRUE(routes_.add(route("Kept", {"A", "B"})));
    ASSERT_TRUE(routes_.save());
    const std::string text = readFile(path);
    writeFile(path, text.substr(0, text.find("</rte>") + 7) + "  <rte><rtept lat=\"9");

    Routes read;
    const RouteLoadResult loaded = read.load();
    EXPECT_FALSE(loaded.clean);
    EXPECT_NE(loaded.problem, "");
    EXPECT_EQ(loaded.keptAs, path + ".bad");
    EXPECT_TRUE(fileExists(path + ".bad"));
    EXPECT_EQ(routeNames(read), (Names{"Kept", "RTE002"}));
    EXPECT_TRUE(read.remove(1));
    EXPECT_TRUE(read.save());
    EXPECT_EQ(readFile(path), text);
}

TEST_F(RoutesTest, ImportTakesTheRoutesOfAGpxFileNamingTheUnnamed) {
    ASSERT_TRUE(routes_.add(route("Ridge", {"A"})));
    writeFile(root_.file("in.gpx"),
              "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\" "
              "xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
              "<wpt lat=\"1\" lon=\"2\"><name>not a route</name></wpt>\n"
              "<rte><name> Ridge </name><rtept lat=\"48.5\" lon=\"-3.25\"><name>Top</name>"
              "<sym>Summit</sym></rtept><rtept lat=\"48.6\" lon=\"-3.2\"/></rte>\n"
              "<rte><name>Empty</name></rte>\n"
              "<rte><rtept lat=\"1\" lon=\"1\"><name>P</name></rtept></rte>\n</gpx>\n");
    const Result<int> added = routes_.importGpx(root_.file("in.gpx"));
    ASSERT_TRUE(added) << added.error().text();
    EXPECT_EQ(*added, 2);
    EXPECT_EQ(routeNames(routes_), (Names{"Ridge", "Ridge (2)", "RTE003"}));
    const Route& ridge = routes_.all()[1];
    EXPECT_EQ(pointNames(ridge), (Names{"Top", "RPT002"}));
    EXPECT_EQ(ridge.points[0].icon, pushpinIconForSymbol("Summit"));
    EXPECT_EQ(ridge.points[1].icon, std::nullopt);
    EXPECT_DOUBLE_EQ(ridge.points[0].longitude, -3.25 * kDegToRad);

    writeFile(root_.file("bad.gpx"), "<gpx><rte>");
    EXPECT_FALSE(routes_.importGpx(root_.file("bad.gpx")));
    EXPECT_EQ(routes_.count(), 3);
}

// What `gpsbabel -r` reads from a GPX file, as the lines of its GPX output
// that give routes, their names and their points in order.
std::vector<std::string> gpsbabelRoutes(const std::string& path) {
    const RunResult r = runProgram(
        {"/usr/bin/env", "gpsbabel", "-r", "-i", "gpx", "-f", path, "-o", "gpx", "-F", "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) {
        line.erase(0, line.find_first_not_of(' '));
        if (line.rfind("<rte>", 0) == 0 || line.rfind("<name>", 0) == 0 ||
            line.rfind("<rtept", 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(RoutesTest, ExportedRoutesReadBackThroughGpsbabelAndAreValidGpx11) {
    ASSERT_TRUE(routes_.add(route("First & <only>", {"A", "B", "C"})));
    ASSERT_TRUE(routes_.add(route("Second", {"Ü1", "Z2"})));
    ASSERT_TRUE(routes_.add(route("Not exported", {"N"})));
    Route& first = const_cast<Route&>(routes_.all()[0]);
    first.points[1].icon = 5;
    first.points[2].longitude = -179.99 * kDegToRad;
    const std::string path = root_.file("out.gpx");
    ASSERT_TRUE(routes_.exportGpx(path, {0, 1}));

    std::vector<std::string> expected;
    const char* names[] = {"First &amp; &lt;only&gt;", "Second"};
    for (std::size_t i = 0; i < 2; ++i) {
        expected.push_back("<rte>");
        expected.push_back(cformat("<name>%s</name>", names[i]));
        for (const RoutePoint& p : routes_.all()[i].points) {
            expected.push_back(cformat("<rtept lat=\"%.9f\" lon=\"%.9f\">", p.latitude * kRadToDeg,
                                       p.longitude * kRadToDeg));
            expected.push_back("<name>" + p.name + "</name>");
        }
    }
    EXPECT_EQ(gpsbabelRoutes(path), expected);
    const RunResult lint = runProgram(
        {"/usr/bin/env", "xmllint", "--noout", "--schema", dataFile("gpx/gpx11.xsd"), path});
    EXPECT_EQ(lint.status, 0) << lint.err;
}

}  // namespace
}  // namespace wp2
