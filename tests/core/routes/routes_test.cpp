// SPDX-License-Identifier: GPL-3.0-or-later
// The route collection: its operations, the route file (kept whole across a
// deleted pushpin, kept aside when damaged), GPX import, and the GPX written
// read back by GPSBabel and valid against the GPX 1.1 schema.

#include "core/routes/routes.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "core/waypoints/pushpins.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;
using Names = std::vector<std::string>;

Route route(const std::string& name, const Names& points) {
    Route r{name, {}};
    for (const std::string& p : points) {
        r.points.push_back({p, (48.0 + 0.001 * r.points.size()) * kDegToRad, 0.2, std::nullopt});
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
    EXPECT_FALSE(routes_.add(route("Loop", {"Y"})));
    EXPECT_FALSE(routes_.rename(1, "Loop"));
    EXPECT_TRUE(routes_.rename(1, "Home"));
    EXPECT_TRUE(routes_.movePoint(0, 0, 1));    // B A C D
    EXPECT_TRUE(routes_.movePoint(0, 3, -1));   // B A D C
    EXPECT_FALSE(routes_.movePoint(0, 0, -1));  // the first cannot go up
    EXPECT_FALSE(routes_.movePoint(0, 3, 1));   // nor the last down
    EXPECT_TRUE(routes_.reverse(0));            // C D A B
    EXPECT_TRUE(routes_.removePoint(0, 1));     // C A B
    EXPECT_TRUE(routes_.addPoint(0, route("", {"E"}).points[0], 1));
    EXPECT_EQ(names(routes_.all()[0].points), (Names{"C", "E", "A", "B"}));
    EXPECT_TRUE(routes_.remove(0));
    EXPECT_FALSE(routes_.remove(1));
    EXPECT_EQ(names(routes_.all()), Names{"Home"});
}

TEST_F(RoutesTest, ARouteKeepsThePointsOfADeletedPushpinThroughSaveAndLoad) {
    Pushpins pins;
    Route built{"Walk", {}};
    for (const char* name : {"Mill & <Weir>", "Café", "Bridge"}) {
        Pushpin* p = pins.addNew();
        p->name = name;
        p->latitude = (48.1 + 0.01 * pins.count()) * kDegToRad;
        p->icon = 3;
        built.points.push_back(routePointFrom(*p));
    }
    ASSERT_TRUE(routes_.add(built));
    ASSERT_TRUE(pins.deleteAt(1));  // "Café"
    ASSERT_TRUE(routes_.save());

    Routes read;
    const RouteLoadResult loaded = read.load();
    EXPECT_TRUE(loaded.clean) << loaded.problem;
    EXPECT_EQ(read.all(), std::vector<Route>{built});  // positions to the bit, names, icons
    // Saving what was read writes the same bytes.
    ASSERT_TRUE(read.saveFile(root_.file("again.gpx")));
    EXPECT_EQ(readFile(root_.file("again.gpx")), readFile(Routes::defaultFilePath()));
}

TEST_F(RoutesTest, ADamagedRouteFileIsKeptAsideWithTheRoutesBeforeTheDamage) {
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
    EXPECT_EQ(names(read.all()), (Names{"Kept", "RTE002"}));
    EXPECT_TRUE(read.remove(1));
    EXPECT_TRUE(read.save());
    EXPECT_EQ(readFile(path), text);
}

TEST_F(RoutesTest, ImportTakesTheRoutesOfAGpxFileNamingTheUnnamed) {
    ASSERT_TRUE(routes_.add(route("Ridge", {"A"})));
    writeFile(root_.file("in.gpx"),
              "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
              "<wpt lat=\"1\" lon=\"2\"><name>not a route</name></wpt>\n"
              "<rte><name> Ridge </name><rtept lat=\"48.5\" lon=\"-3.25\"><name>Top</name>"
              "<sym>Summit</sym></rtept><rtept lat=\"48.6\" lon=\"-3.2\"/></rte>\n"
              "<rte><name>Empty</name></rte>\n"
              "<rte><rtept lat=\"1\" lon=\"1\"><name>P</name></rtept></rte>\n</gpx>\n");
    const Result<int> added = routes_.importGpx(root_.file("in.gpx"));
    ASSERT_TRUE(added) << added.error().text();
    EXPECT_EQ(*added, 2);
    EXPECT_EQ(names(routes_.all()), (Names{"Ridge", "Ridge (2)", "RTE003"}));
    const Route& ridge = routes_.all()[1];
    EXPECT_EQ(ridge.points[1], (RoutePoint{"RPT002", 48.6 * kDegToRad, -3.2 * kDegToRad, {}}));
    EXPECT_EQ(ridge.points[0].icon, pushpinIconForSymbol("Summit"));
    writeFile(root_.file("bad.gpx"), "<gpx><rte>");
    EXPECT_FALSE(routes_.importGpx(root_.file("bad.gpx")));
    EXPECT_EQ(routes_.count(), 3);
}

// `gpsbabel -r` reads back the routes, their names and their points in order.
TEST_F(RoutesTest, ExportedRoutesReadBackThroughGpsbabelAndAreValidGpx11) {
    ASSERT_TRUE(routes_.add(route("First & <only>", {"A", "B", "C"})));
    ASSERT_TRUE(routes_.add(route("Second", {"Ü1", "Z2"})));
    ASSERT_TRUE(routes_.add(route("Not exported", {"N"})));
    ASSERT_TRUE(routes_.addPoint(0, {"W", 0.1, -179.99 * kDegToRad, 5}));
    const std::string path = root_.file("out.gpx");
    ASSERT_TRUE(routes_.exportGpx(path, {0, 1}));

    std::string expected;
    const char* routeNames[] = {"First &amp; &lt;only&gt;", "Second"};
    for (std::size_t i = 0; i < 2; ++i) {
        expected += cformat("<rte>\n<name>%s</name>\n", routeNames[i]);
        for (const RoutePoint& p : routes_.all()[i].points) {
            expected += cformat("<rtept lat=\"%.9f\" lon=\"%.9f\">\n<name>%s</name>\n",
                                p.latitude * kRadToDeg, p.longitude * kRadToDeg, p.name.c_str());
        }
    }
    const RunResult r = runProgram(
        {"/usr/bin/env", "gpsbabel", "-r", "-i", "gpx", "-f", path, "-o", "gpx", "-F", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string seen;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) {
        line.erase(0, line.find_first_not_of(' '));
        for (const char* start : {"<rte>", "<name>", "<rtept "}) {
            seen += line.rfind(start, 0) == 0 ? line + "\n" : "";
        }
    }
    EXPECT_EQ(seen, expected);
    const RunResult lint = runProgram(
        {"/usr/bin/env", "xmllint", "--noout", "--schema", dataFile("gpx/gpx11.xsd"), path});
    EXPECT_EQ(lint.status, 0) << lint.err;
}

}  // namespace
}  // namespace wp2
