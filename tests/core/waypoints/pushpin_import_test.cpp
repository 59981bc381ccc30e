// SPDX-License-Identifier: GPL-3.0-or-later
// Waypoint files of other programs: text and Geocaching imports (real files
// against GPSBabel), the near index behind them, and the text export.

#include "core/waypoints/pushpin_import.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/nav/geodesy.h"
#include "core/track/file_chooser.h"
#include "core/waypoints/pushpin_export.h"
#include "core/waypoints/pushpin_near_index.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::dataFile;
using test::latDeg;
using test::lonDeg;
using test::namesOf;
using test::readFile;
using test::runProgram;
using test::RunResult;
using test::TempDir;
using test::writeFile;

// Imports text given as the bytes of a file with the extension.
class Import : public ::testing::Test {
protected:
    ImportResult importText(const std::string& bytes, const std::string& ext = "csv") {
        std::string path = dir.file("in" + std::to_string(files++) + "." + ext);
        writeFile(path, bytes);
        return importPushpins(pins, path);
    }
    TempDir dir;
    Pushpins pins;
    int files = 0;
};

// One line each: what a pushpin gets from its pieces.
TEST_F(Import, CsvLinesGivePositionNameAltitudeAndNote) {
    const struct {
        std::string bytes;
        std::string name;
        double lat, lon, altitude;
        std::string note;
    } cases[] = {
        {"51.5,-0.12\n", "Wpt_1", 51.5, -0.12, 0, ""},
        {"  48.1 , 11.5 ,  Marienplatz  , 519.5 ,  meet here  \r\n", "Marienplatz", 48.1, 11.5,
         519.5, "meet here"},
        {"1,2,N,-1e6,x\n", "N", 1, 2, -1e6, "x"},
        {",,10,,20,, Name ,,\n", "Name", 10, 20, 0, ""},  // runs of separators count as one
        // The empty third piece is dropped after five are taken: "sixth" never arrives.
        {"1,2, ,N,7,sixth\n", "N", 1, 2, 7, ""},
        {"47.37,8.54,Z\xFCrich,408,Caf\xE9\n", "Z\u00fcrich", 47.37, 8.54, 408, "Caf\u00e9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        pins.removeAll();
        ImportResult r = importText(c.bytes);
        EXPECT_EQ(r.status, ImportResult::Status::Imported);
        ASSERT_EQ(pins.count(), 1);
        const Pushpin& p = *pins.at(0);
        EXPECT_EQ(p.name, c.name);
        EXPECT_DOUBLE_EQ(latDeg(p), c.lat);
        EXPECT_DOUBLE_EQ(lonDeg(p), c.lon);
        EXPECT_EQ(p.altitude, c.altitude);
        EXPECT_EQ(p.note, c.note);
        EXPECT_EQ(p.state, 0u);
    }
    // The program's degree factor, and numbering in file order with the last at index 0.
    pins.removeAll();
    const ImportResult r = importText("51.5,-0.12\n52.5, 13.4\n");
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"Wpt_2", "Wpt_1"}));
    EXPECT_EQ(pins.at(1)->latitude, 51.5 * 0.01745329251388889);
    EXPECT_EQ(importMessage(r), std::nullopt) << "nothing to tell";
}

TEST_F(Import, FailingLineIsReportedWithItsNumberAfterBlankLines) {
    addPin(pins, "old", -40, -40);
    ImportResult r = importText("10,20\n\n   \t\n1,2,named\n42\n5,6\n");
    EXPECT_EQ(r.status, ImportResult::Status::FormatError);
    EXPECT_EQ(r.line, 5);
    EXPECT_EQ(r.read, 2);
    // The two read before the failure are still merged.
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"named", "Wpt_1", "old"}));
    EXPECT_EQ(importMessage(r),
              "File format error at line 5\nOnly 2 waypoints have been read\n\n"
              "Expected fields\nLat,Lon,*Name,*Alt,*Note\n(* are optional)");
    // Impossible numbers and texts are refused at the door, with the line and
    // the reason: nothing the pushpin file's reader would refuse comes in.
    const struct {
        const char* line;
        const char* problem;
    } bad[] = {
        {"north,10\n", "latitude \"north\" is not a number"},
        {"1,east\n", "longitude \"east\" is not a number"},
        {",,,\n", "fewer than two fields"},
        {"nan,nan\n", "latitude \"nan\" is not a number"},
        {"inf,1\n", "latitude \"inf\" is not a number"},
        {"0x1p3,1\n", "latitude \"0x1p3\" is not a number"},
        {"+-1,1\n", "latitude \"+-1\" is not a number"},
        {"1e308,1\n", "position 1e+308, 1 is not on the earth"},
        {"90,180.001\n", "position 90, 180.001 is not on the earth"},
        {"1,2,x,inf\n", "altitude \"inf\" is not a number"},
        {"1,2,x,abc\n", "altitude \"abc\" is not a number"},
        {"1,2,x,10.5.5\n", "altitude \"10.5.5\" is not a number"},
        {"1,2,x,1e308\n", "altitude 1e+308 outside -1e+06..1e+06"},
        {"1,2,a\x01z\n", "a text with the character U+0001"},
    };
    for (const auto& b : bad) {
        r = importText(std::string("0,0,fine\n") + b.line);
        EXPECT_EQ(r.status, ImportResult::Status::FormatError) << b.line;
        EXPECT_EQ(r.problem, std::string("line 2: ") + b.problem);
    }
    EXPECT_EQ(pins.count(), 4);
    EXPECT_NE(importMessage(r).value_or("").find("Only 1 waypoints"), std::string::npos);
    EXPECT_EQ(importText("-90,-180\n90,180\n").status, ImportResult::Status::Imported);
}

TEST_F(Import, ImportingTheSameFileTwiceAddsItOnce) {
    std::string csv = "51.5,-0.12,A\n51.6,-0.13,B\n";
    EXPECT_EQ(importText(csv).added, 2);
    ImportResult again = importText(csv);
    EXPECT_EQ(again.read, 2);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(pins.count(), 2);
    // 4.4 m from a pushpin already there is the same place; 5.6 m is not.
    EXPECT_EQ(importText("51.50004,-0.12\n51.60005,-0.13\n").added, 1);
    // Imported pushpins are not compared with each other.
    EXPECT_EQ(importText("10,10,A\n10,10,B\n").added, 2);
}

// .loc blocks with impossible numbers are passed over and counted, the first
// with its line (real files are compared with GPSBabel's reading elsewhere).
TEST_F(Import, LocBlocksWithImpossibleNumbersAreCountedWithTheFirstLine) {
    const ImportResult r = importText(
        "<loc>\n<waypoint><name id=\"C\"/>\n<coord lat=\"45,5\" lon=\"1\"/></waypoint>\n"
        "<waypoint><coord lat=\"nan\" lon=\"1\"/></waypoint>"
        "<waypoint><coord lat=\"91\" lon=\"1\"/></waypoint>"
        "<waypoint><coord lat=\"1\" lon=\"-1e308\"/></waypoint><waypoint></waypoint>\n"
        "<waypoint><name id=\"a\x02\"/><coord lat=\"1\" lon=\"1\"/></waypoint>"
        "<waypoint><name id=\"S\"/><coord lat=\"-90\" lon=\"180\"/></waypoint>",
        "loc");
    ASSERT_EQ(pins.count(), 1);
    EXPECT_EQ(pins.at(0)->name, "S");
    EXPECT_DOUBLE_EQ(latDeg(*pins.at(0)), -90.0);
    EXPECT_DOUBLE_EQ(lonDeg(*pins.at(0)), 180.0);
    EXPECT_EQ(r.refused, 6);
    EXPECT_EQ(r.problem, "6 refused, the first at line 2: lat \"45,5\" is not a number");
    EXPECT_EQ(importMessage(r), r.path + ":\n" + r.problem + "\n1 of 1 waypoints added.");
}

// The grid index must answer exactly as findNear, including ties and edges.
TEST(PushpinNearIndex, AgreesWithFindNear) {
    Pushpins pins;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> jitter(-1e-4, 1e-4);  // about +-11 m
    std::vector<std::pair<double, double>> spots;
    for (int i = 0; i < 3000; ++i) {
        double lat = (i % 7 == 0) ? 89.99999 : 47.0;   // some near the pole
        double lon = (i % 11 == 0) ? 179.99999 : 8.0;  // some at the date line
        lat += jitter(rng);
        lon += jitter(rng);
        addPin(pins, "p", lat, lon);
        spots.emplace_back(lat, lon);
    }
    addPin(pins, "nan", NAN, 1);
    addPin(pins, "huge", 1e300, 1e300);
    for (double radius : {5.0, 0.5, 40.0, double(INFINITY), -1.0}) {
        PushpinNearIndex index(pins, radius);
        for (int q = 0; q < 600; ++q) {
            auto [lat, lon] = spots[rng() % spots.size()];
            lat = (lat + jitter(rng) / 10) * kDegToRad;
            lon = (q % 13 == 0 ? lon - 360.0 : lon + jitter(rng) / 10) * kDegToRad;
            Pushpin* slow = pins.findNear(lat, lon, radius);
            ASSERT_EQ(index.findNear(lat, lon), pins.indexOf(slow)) << radius << " " << q;
        }
        EXPECT_EQ(index.findNear(NAN, 0), -1);
        EXPECT_EQ(index.findNear(1e300, 1e300), pins.indexOf(pins.findNear(1e300, 1e300, radius)));
    }
}

TEST(PushpinTextExport, DefaultColumnsAreNameLatitudeLongitude) {
    TempDir dir;
    Pushpins pins;
    ASSERT_TRUE(exportText(pins, dir.file("e.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("e.txt")), "Name;Latitude;Longitude\r\n");
    Pushpin* a = addPin(pins, "A", 51.5, -0.12);
    a->note = "not written";
    addPin(pins, "B", -33.5, 151.25);
    ASSERT_TRUE(exportText(pins, dir.file("out.txt"), ExportFields{}));
    EXPECT_EQ(readFile(dir.file("out.txt")),
              "Name;Latitude;Longitude\r\n"
              "B;-33.500000;151.250000\r\n"
              "A;51.500000;-0.120000\r\n");
}

// Geocaching .loc and text files written by other programs give the same
// names and positions here as GPSBabel reads from them.
TEST(PushpinPeers, SampleFilesReadAsGpsbabelReadsThem) {
    // Each file with its format's name in GPSBabel.
    const std::pair<const char*, const char*> files[] = {
        {"geocaching.loc", "geo"},  {"gl.loc", "geo"},          {"pathaway-geo.loc", "geo"},
        {"gc1bkp3_loc.loc", "geo"}, {"oc5952_loc.loc", "geo"},  {"waymarking_loc.loc", "geo"},
        {"radius.csv", "csv"},      {"iblue747~csv.csv", "csv"}};
    for (const auto& [name, format] : files) {
        SCOPED_TRACE(name);
        const std::string path = dataFile(std::string("waypoints/") + name);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        Pushpins pins;
        int line = 0;
        EXPECT_TRUE(format[0] == 'c' ? readCsv(pins, file, line).has_value()
                                     : readLoc(pins, file).count == 0);
        std::fclose(file);
        const RunResult r =
            runProgram({"/usr/bin/env", "gpsbabel", "-i", format, "-f", path, "-o",
                        "xcsv,style=" + dataFile("waypoints/gpsbabel-names.style"), "-F", "-"});
        EXPECT_EQ(r.status, 0) << r.err;
        std::istringstream expected(r.out);
        int unnamed = 0;
        for (const Pushpin& pin : pins.oldestFirst()) {  // file order
            const Pushpin* p = &pin;
            std::string shown;
            std::getline(expected, shown);
            const std::string number =
                !shown.empty() && shown.back() == '\t' ? cformat("Wpt_%d", ++unnamed) : "";
            EXPECT_EQ(cformat("%.7f\t%.7f\t%s", latDeg(*p), lonDeg(*p), p->name.c_str()),
                      shown + number);
        }
        EXPECT_EQ(expected.peek(), EOF);  // GPSBabel read no more
    }
    // A binary file with a .loc name: GPSBabel refuses it, and no pushpin comes from it.
    const std::string binary = dataFile("waypoints/easygps.loc");
    const RunResult r = runProgram({"/usr/bin/env", "gpsbabel", "-i", "geo", "-f", binary});
    EXPECT_NE(r.err.find("geo:Read error"), std::string::npos) << r.err;
    Pushpins pins;
    EXPECT_EQ(importPushpins(pins, binary).read, 0);
}

}  // namespace
}  // namespace wp2
