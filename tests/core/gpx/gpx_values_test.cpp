// SPDX-License-Identifier: GPL-3.0-or-later
// GPX times, texts, icon symbols and `track info`'s figures.

#include <gtest/gtest.h>
#include <libxml/entities.h>

#include <utility>

#include "core/gpx/gpx_time.h"
#include "core/gpx/gpx_writer.h"
#include "core/waypoints/pushpin_icon_names.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;

TEST(GpxTime, TimesWithZonesAndFractionsBecomeUtcAndImpossibleOnesAreRefused) {
    struct Case {
        const char* text;
        const char* utc;  // nullptr: refused
    } cases[] = {
        {"2011-07-02T17:47:25.200Z", "2011-07-02T17:47:25.200Z"},
        {" 2013-08-15T05:04:11Z\n", "2013-08-15T05:04:11Z"},
        {"2024-03-01T01:30:00+02:00", "2024-02-29T23:30:00Z"},
        {"2023-12-31T22:15:00-05:30", "2024-01-01T03:45:00Z"},
        {"1999-12-31T23:59:60Z", "1999-12-31T23:59:59Z"},
        {"2008-10-03T10:02:24.123456Z", "2008-10-03T10:02:24.123Z"},
        {"2023-02-29T00:00:00Z", nullptr},
        {"2023-01-01 00:00:00Z", nullptr},
        {"2023-01-01T00:00:00.Z", nullptr},
        {"2023-01-01T00:00:00Zjunk", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto t = parseIsoTime(c.text);
        ASSERT_EQ(t.has_value(), c.utc != nullptr);
        if (t) {
            EXPECT_EQ(formatIsoTime(*t), c.utc);
        }
    }
    // A fix time holds a two-digit year, 2001 to 2099; 2000 would read as "no date".
    EXPECT_FALSE(toGpsDateTime(*parseIsoTime("2000-06-01T00:00:00Z")));
    EXPECT_FALSE(toGpsDateTime(*parseIsoTime("2100-01-01T00:00:00Z")));
    const auto fix = toGpsDateTime(*parseIsoTime("2099-12-31T23:59:58.5Z"));
    ASSERT_TRUE(fix);
    EXPECT_EQ(formatIsoTime(*fromGpsDateTime(*fix)), "2099-12-31T23:59:58.500Z");
}

// The text of a waypoint's <name> as the writer puts it out.
std::string writtenName(const std::string& name) {
    std::string out;
    GpxWriter writer([&out](const char* data, std::size_t size) {
        out.append(data, size);
        return true;
    });
    writer.begin();
    GpxPoint p;
    p.name = name;
    writer.waypoint(p);
    writer.finish();
    const std::size_t from = out.find("<name>") + 6;
    return out.substr(from, out.find("</name>") - from);
}

// Texts without the characters libxml2 escapes skip it: each character of
// either kind comes out as libxml2 escapes it, and what XML cannot carry
// becomes U+FFFD.
TEST(GpxWriterTexts, EveryCharacterComesOutAsLibxml2EscapesIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain text", "plain text"},
        {"<>&\"'\r\n\t", "&lt;&gt;&amp;&quot;'&#13;\n\t"},
        {"Caf\xC3\xA9 <\x07\xFF", "Caf\xC3\xA9 &lt;\xEF\xBF\xBD\xEF\xBF\xBD"},
        // Bad UTF-8 byte by byte, unlike the pushpin and settings files.
        {"\xE2\x82z", "\xEF\xBF\xBD\xEF\xBF\xBDz"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(writtenName(in), out) << in;
    }
    for (int b = 1; b < 0x80; ++b) {
        const std::string text = "a" + std::string(1, static_cast<char>(b)) + "z";
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') {
            continue;  // not XML: the U+FFFD row above
        }
        xmlChar* escaped =
            xmlEncodeSpecialChars(nullptr, reinterpret_cast<const xmlChar*>(text.c_str()));
        EXPECT_EQ(writtenName(text), reinterpret_cast<const char*>(escaped)) << b;
        xmlFree(escaped);
    }
}

TEST(PushpinIconNames, EveryNameLeadsBackToItsIconAndOtherProgramsNamesToTheNearest) {
    for (int icon = 0; icon < kPushpinIconCount; ++icon) {
        EXPECT_EQ(pushpinIconForSymbol(pushpinIconName(icon)), icon) << pushpinIconName(icon);
    }
    const std::pair<const char*, std::string_view> others[] = {
        {"geocache found", "Geocache"},    {"Hotel", "Lodging"},
        {"Multi-cache", "Geocache"},       {"  Fast Food ", "Restaurant"},
        {"Skull", "Skull and Crossbones"}, {"Waypoint", "Pin, Red"},
        {"Unheard Of", "Pin, Red"},        {"", "Pin, Red"},
        {"Earthcache", "Geocache"},        {"Ski Hotel", "Lodging"},
    };
    for (const auto& [symbol, name] : others) {
        EXPECT_EQ(pushpinIconName(pushpinIconForSymbol(symbol)), name) << symbol;
    }
}

TEST(TrackInfo, FiguresOfATwoPieceTrackInTheStoredUnits) {
    TempDir dir;
    // Along the equator: 0.01 degrees of longitude is 1113.2 m on the WGS-84
    // ellipsoid. Piece one: 1113 m in 100 s, then 1113 m in 10 s; piece two:
    // a point without time and a point parked 600 s.
    writeFile(dir.file("t.gpx"),
              "<gpx><trk><trkseg>"
              "<trkpt lat=\"0\" lon=\"0\"><time>2024-05-01T10:00:00Z</time></trkpt>"
              "<trkpt lat=\"0\" lon=\"0.01\"><time>2024-05-01T10:01:40Z</time></trkpt>"
              "<trkpt lat=\"0\" lon=\"0.02\"><time>2024-05-01T10:01:50Z</time></trkpt>"
              "</trkseg><trkseg><trkpt lat=\"-0.01\" lon=\"0.02\"/>"
              "<trkpt lat=\"-0.01\" lon=\"0.02\"><time>2024-05-01T11:11:50Z</time></trkpt>"
              "</trkseg></trk></gpx>");
    ASSERT_EQ(runProgram({WAYPLOT2_TOOL, "--root", dir.path(), "settings", "set", "UnitSystem",
                          "dword", "1"})
                  .status,
              0);
    const RunResult r =
        runProgram({WAYPLOT2_TOOL, "--root", dir.path(), "track", "info", dir.file("t.gpx")});
    EXPECT_EQ(r.status, 0) << r.err;
    // 2226 m; 111.3 m/s is 400.8 km/h; moving 110 s of the 5390 s.
    EXPECT_EQ(r.out,
              "points: 5 (4 dated)\npieces: 2\nlength: 2.2 km\n"
              "time span: 2024-05-01T10:00:00Z to 2024-05-01T11:11:50Z (1:11:50)\n"
              "moving time: 0:01:50\nhighest speed: 401 kmh\n"
              "bounding box: -0.010000,0.000000 to 0.000000,0.020000 (south,west to north,east)\n");
}

}  // namespace
}  // namespace wp2
