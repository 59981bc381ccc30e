// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool pushpins, end to end; the Shapefile export is read back by
// GDAL's ogrinfo (installed with the build's dependencies: missing, it fails).

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/cformat.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2::test {
namespace {

using ::testing::HasSubstr;

class PushpinsTool : public ::testing::Test {
protected:
    RunResult tool(std::vector<std::string> args) {
        args.insert(args.begin(), {WAYPLOT2_TOOL, "--root", dir.path(), "pushpins"});
        return runProgram(args);
    }
    std::string kpp() const { return dir.file("p.kpp"); }
    TempDir dir;
};

// A many-pushpin file with one string-length byte changed: list shows what
// can be read and fails; import and export refuse it and leave it as it is;
// salvage writes the records that read cleanly into a new file.
TEST_F(PushpinsTool, DamagedFileFailsEveryCommandButSalvageAndIsNeverRewritten) {
    ASSERT_EQ(tool({"import", kpp(), dataFile("waypoints/iblue747~csv.csv")}).status, 0);
    std::string bytes = readFile(kpp());
    bytes[nameLengthOffset(bytes, 118)] ^= 0x20;
    writeFile(kpp(), bytes);
    RunResult list = tool({"list", kpp()});
    EXPECT_EQ(std::tuple(list.status, std::count(list.out.begin(), list.out.end(), '\n')),
              std::tuple(1, 746));
    EXPECT_THAT(list.err, HasSubstr("is damaged (record 118: "));
    writeFile(dir.file("more.csv"), "1,2,more\n");
    EXPECT_EQ(tool({"import", kpp(), dir.file("more.csv")}).status, 1);
    EXPECT_EQ(tool({"export", kpp(), dir.file("out.txt")}).status, 1);
    EXPECT_EQ(readFile(kpp()), bytes);
    EXPECT_FALSE(fileExists(dir.file("out.txt")));

    const RunResult salvage = tool({"salvage", kpp(), dir.file("new.kpp")});
    EXPECT_EQ(salvage.status, 0) << salvage.err;
    EXPECT_THAT(salvage.out, HasSubstr("746 pushpins recovered, 1 skipped"));
    const RunResult back = tool({"list", dir.file("new.kpp")});
    EXPECT_EQ(std::tuple(back.status, back.out), std::tuple(0, list.out));
    EXPECT_EQ(tool({"salvage", kpp(), dir.file("new.kpp")}).status, 1) << "never written over";
    EXPECT_EQ(readFile(kpp()), bytes);
}

// Nothing added leaves the file as it is, or absent; a killed writer's
// temporary file goes with the next save into the folder, and only that.
// (How list escapes texts is checked against its JSON in json_output.py.)
TEST_F(PushpinsTool, ImportTouchesNothingWithoutAdditionsAndSweepsOnlyStaleTemporaryFiles) {
    writeFile(dir.file("none.csv"), "");
    RunResult r = tool({"import", kpp(), dir.file("none.csv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fileExists(kpp()));

    const pid_t gone = fork();
    if (gone == 0) {
        std::_Exit(0);
    }
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::vector<std::string> kept{cformat(".p.kpp.%d.1.tmp", static_cast<int>(getpid())),
                                        ".p.kpp.x.1.tmp",
                                        cformat("p.kpp.%d.1.tmp", static_cast<int>(gone)),
                                        cformat(".p.kpp.%d.1.tmp.bak", static_cast<int>(gone))};
    const std::string stale = cformat(".other.kpp.%d.7.tmp", static_cast<int>(gone));
    for (const std::string& name : kept) {
        writeFile(dir.file(name), "x");
    }
    writeFile(dir.file(stale), "x");
    writeFile(dir.file("one.csv"), "1,2,one\n");
    ASSERT_EQ(tool({"import", kpp(), dir.file("one.csv")}).status, 0);
    EXPECT_FALSE(fileExists(dir.file(stale)));
    for (const std::string& name : kept) {
        EXPECT_TRUE(fileExists(dir.file(name))) << name;
    }
}

// On a full disk a save says why and keeps the previous file, even one whose
// bytes fail only when the buffer is flushed; so does a Shapefile export, for
// every one of its files. (A write that fails on the way and the replacing
// that keeps the previous file are the track file test's; the text export
// replaces its file the same way.)
TEST_F(PushpinsTool, FullDiskSavesAndExportsSayWhyAndKeepThePreviousFiles) {
    auto result = inPrivateMounts([&]() -> std::string {
        const std::string full = dir.file("full");
        std::filesystem::create_directory(full);
        if (!mountTmpfs(full, 256 * 1024)) {
            return "cannot mount a tmpfs";
        }
        const std::string pins = full + "/p.kpp";
        writeFile(dir.file("one.csv"), "1,2,one\n");
        for (const std::vector<std::string>& step :
             {std::vector<std::string>{"import", pins, dir.file("one.csv")},
              {"export", pins, full + "/out.shp"}}) {
            if (tool(step).status != 0) {
                return "could not prepare " + step[0];
            }
        }
        std::vector<std::string> files{"p.kpp", "out.shp", "out.shx", "out.dbf"};
        std::vector<std::string> before;
        for (const std::string& f : files) {
            before.push_back(readFile(full + "/" + f));
        }
        writeFile(full + "/filler", std::string(512 * 1024, 'f'));  // cut short at the limit
        writeFile(dir.file("two.csv"), "3,4,two\n");
        const RunResult runs[] = {
            // Small enough to sit in the stream's buffer: only its flush fails.
            tool({"import", pins, dir.file("two.csv")}),
            tool({"export", pins, full + "/out.shp"}),
        };
        for (const RunResult& r : runs) {
            if (r.status != 1 || r.err.find("No space left on device") == std::string::npos) {
                return "not refused with the reason: " + r.err;
            }
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (readFile(full + "/" + files[i]) != before[i]) {
                return files[i] + " was changed";
            }
        }
        return "";
    });
    if (!result) {
        GTEST_SKIP() << "no private mount namespace here for a full file system";
    }
    EXPECT_EQ(*result, "");
}

// ogrinfo -al: the four fields with their widths, one point per pushpin with
// the same coordinates to 8 decimals, accented names intact.
TEST_F(PushpinsTool, ShapefileReadsBackInOgrinfo) {
    const std::string longNote(150, 'x');  // the name and the note cut to their fields' widths
    writeFile(dir.file("in.csv"),          // an ISO-8859-1 name, a note and an altitude
              "47.376887,8.541694,Z\xFCrich HB,408,Caf\xE9 am Gleis\n"
              "-33.8568,151.2153,Opera House\n51.5,-0.12\n1.5,2.5,a name longer than twenty,0," +
                  longNote + "\n");
    ASSERT_EQ(tool({"import", kpp(), dir.file("in.csv")}).status, 0);
    ASSERT_EQ(tool({"export", kpp(), dir.file("out.shp")}).status, 0);
    RunResult r = runProgram({"/usr/bin/env", "ogrinfo", "-al", dir.file("out.shp")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string o = r.out;
    EXPECT_THAT(o, HasSubstr("Geometry: Point\nFeature Count: 4\n"));
    EXPECT_THAT(o, HasSubstr("Name: String (20.0)\nLongitude: Real (15.8)\nLatitude: Real (15.8)\n"
                             "Descr: String (100.0)\n"));
    // Each point's name, description, longitude and latitude.
    const std::tuple<std::string, std::string, double, double> expected[] = {
        {"Wpt_1", "(null)", -0.12, 51.5},
        {"Opera House", "(null)", 151.2153, -33.8568},
        {"Z\u00fcrich HB", "Caf\u00e9 am Gleis", 8.541694, 47.376887},
        {"a name longer than t", longNote.substr(0, 100), 2.5, 1.5}};
    for (const auto& [name, descr, lon, lat] : expected) {  // the fields, then the geometry to 5e-9
        const std::string fields = cformat(
            "  Name (String) = %s\n  Longitude (Real) = %.8lf\n  Latitude (Real) = %.8lf\n"
            "  Descr (String) = %s\n  POINT (",
            name.c_str(), lon, lat, descr.c_str());
        const std::size_t at = o.find(fields);
        ASSERT_NE(at, std::string::npos) << fields;
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(o.c_str() + at + fields.size(), "%lf %lf)", &x, &y), 2);
        EXPECT_NEAR(x, lon, 5e-9);
        EXPECT_NEAR(y, lat, 5e-9);
    }

    // An empty collection gives an empty Shapefile with the same table.
    writeFile(kpp(), std::string(4, '\0'));
    ASSERT_EQ(tool({"export", kpp(), dir.file("e.shp")}).status, 0);
    r = runProgram({"/usr/bin/env", "ogrinfo", "-al", "-so", dir.file("e.shp")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("Feature Count: 0\n"));
    EXPECT_THAT(r.out, HasSubstr("Descr: String (100.0)"));
}

}  // namespace
}  // namespace wp2::test
