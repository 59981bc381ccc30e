// wayplot2-tool pushpins, end to end; the Shapefile export is read back by
// GDAL's ogrinfo (installed with the build's dependencies: missing, it fails).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::dataFile;
using test::readFile;
using test::RunResult;
using test::TempDir;
using test::writeFile;

class PushpinsTool : public ::testing::Test {
protected:
    RunResult tool(std::vector<std::string> args) {
        args.insert(args.begin(), {WAYPLOT2_TOOL, "--root", dir.path(), "pushpins"});
        return test::runProgram(args);
    }
    std::string kpp() const { return dir.file("p.kpp"); }
    TempDir dir;
};

// A many-pushpin file with one string-length byte changed: list shows what
// can be read and fails; import and export refuse it and leave it as it is.
TEST_F(PushpinsTool, DamagedFileFailsEveryCommandAndIsNeverRewritten) {
    ASSERT_EQ(tool({"import", kpp(), dataFile("waypoints/iblue747~csv.csv")}).status, 0);
    std::string bytes = readFile(kpp());
    std::size_t at = 0;
    for (int marker = 0; marker <= 2 * 117; ++marker) {
        at = bytes.find("\xFF\xFE\xFF", at) + 3;
    }
    bytes[at] ^= 0x20;  // the name length of record 118
    writeFile(kpp(), bytes);
    RunResult list = tool({"list", kpp()});
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 117);
    EXPECT_NE(list.err.find("is damaged (record 118: "), std::string::npos) << list.err;
    writeFile(dir.file("more.csv"), "1,2,more\n");
    EXPECT_EQ(tool({"import", kpp(), dir.file("more.csv")}).status, 1);
    EXPECT_EQ(tool({"export", kpp(), dir.file("out.txt")}).status, 1);
    EXPECT_EQ(readFile(kpp()), bytes);
    EXPECT_FALSE(test::fileExists(dir.file("out.txt")));
}

// On a full disk a save says why and keeps the previous file; so does an
// export, for the text file and for every file of a Shapefile.
TEST_F(PushpinsTool, FullDiskSavesAndExportsSayWhyAndKeepThePreviousFiles) {
    auto result = test::inPrivateMounts([&]() -> std::string {
        const std::string full = dir.file("full");
        std::filesystem::create_directory(full);
        if (!test::mountTmpfs(full, 256 * 1024)) {
            return "cannot mount a tmpfs";
        }
        const std::string pins = full + "/p.kpp";
        writeFile(dir.file("one.csv"), "1,2,one\n");
        for (const std::vector<std::string>& step :
             {std::vector<std::string>{"import", pins, dir.file("one.csv")},
              {"export", pins, full + "/out.txt"},
              {"export", pins, full + "/out.shp"}}) {
            if (tool(step).status != 0) {
                return "could not prepare " + step[0];
            }
        }
        std::vector<std::string> files{"p.kpp", "out.txt", "out.shp", "out.shx", "out.dbf"};
        std::vector<std::string> before;
        for (const std::string& f : files) {
            before.push_back(readFile(full + "/" + f));
        }
        writeFile(full + "/filler", std::string(512 * 1024, 'f'));  // cut short at the limit
        const RunResult runs[] = {
            tool({"import", pins, dataFile("waypoints/iblue747~csv.csv")}),
            tool({"export", pins, full + "/out.txt", "--fields", "name"}),
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
    writeFile(dir.file("in.csv"),  // an ISO-8859-1 name, a note and an altitude
              "47.376887,8.541694,Z\xFCrich HB,408,Caf\xE9 am Gleis\n"
              "-33.8568,151.2153,Opera House\n51.5,-0.12\n");
    ASSERT_EQ(tool({"import", kpp(), dir.file("in.csv")}).status, 0);
    ASSERT_EQ(tool({"export", kpp(), dir.file("out.shp")}).status, 0);
    RunResult r = test::runProgram({"/usr/bin/env", "ogrinfo", "-al", dir.file("out.shp")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string o = r.out;
    EXPECT_NE(o.find("Geometry: Point\n"), std::string::npos) << o;
    EXPECT_NE(o.find("Feature Count: 3\n"), std::string::npos);
    EXPECT_NE(o.find("Name: String (20.0)\nLongitude: Real (15.8)\nLatitude: Real (15.8)\n"
                     "Descr: String (100.0)\n"),
              std::string::npos)
        << o;
    struct Expect {
        std::string name, descr;
        double lon, lat;
    } expected[] = {{"Wpt_1", "(null)", -0.12, 51.5},
                    {"Opera House", "(null)", 151.2153, -33.8568},
                    {"Z\u00fcrich HB", "Caf\u00e9 am Gleis", 8.541694, 47.376887}};
    for (const Expect& e : expected) {  // the fields, then the geometry to 5e-9
        const std::string fields = cformat(
            "  Name (String) = %s\n  Longitude (Real) = %.8lf\n  Latitude (Real) = %.8lf\n"
            "  Descr (String) = %s\n  POINT (",
            e.name.c_str(), e.lon, e.lat, e.descr.c_str());
        const std::size_t at = o.find(fields);
        ASSERT_NE(at, std::string::npos) << fields;
        double x = 0, y = 0;
        ASSERT_EQ(std::sscanf(o.c_str() + at + fields.size(), "%lf %lf)", &x, &y), 2);
        EXPECT_NEAR(x, e.lon, 5e-9);
        EXPECT_NEAR(y, e.lat, 5e-9);
    }

    // An empty collection gives an empty Shapefile with the same table.
    writeFile(kpp(), std::string(4, '\0'));
    ASSERT_EQ(tool({"export", kpp(), dir.file("e.shp")}).status, 0);
    r = test::runProgram({"/usr/bin/env", "ogrinfo", "-al", "-so", dir.file("e.shp")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Feature Count: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Descr: String (100.0)"), std::string::npos);
}

}  // namespace
}  // namespace wp2
