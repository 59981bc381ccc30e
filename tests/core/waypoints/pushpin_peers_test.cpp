// SPDX-License-Identifier: GPL-3.0-or-later
// Geocaching .loc and text files written by other programs give the same
// names and positions here as GPSBabel reads from them.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "core/base/cformat.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;

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
