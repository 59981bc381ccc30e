// SPDX-License-Identifier: GPL-3.0-or-later
// Files that are not good GPX: a clear error with its line, the points before
// it kept, nothing that hangs or grows without bound; and nothing the user
// had is lost.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/gpx/track_gpx.h"
#include "core/track/track_log.h"
#include "core/track/track_test_env.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using namespace test;
using ::testing::HasSubstr;

class Count final : public GpxHandler {
public:
    std::string point(GpxKind, const GpxPoint& p) override {
        names += p.name + ";";
        return {};
    }
    std::string names;
};

constexpr const char* kHead =
    "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
    "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
constexpr const char* kGood = "<wpt lat=\"1\" lon=\"2\"><name>a</name></wpt>\n";

TEST(GpxBadInput, EachProblemIsReportedAtItsLineAndThePointsBeforeAreKept) {
    const std::string laughs =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY a \"aaaaaaaaaa\">\n"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n<gpx><wpt lat=\"1\" lon=\"1\">"
        "<name>&b;</name></wpt></gpx>";
    struct Case {
        std::string label, bytes, error;
        int line, points, refused;
    } cases[] = {
        {"good", std::string(kHead) + kGood + "</gpx>", "", 0, 1, 0},
        {"not well-formed", std::string(kHead) + kGood + "<wpt lat=\"1\" lon=\"2\"><name>b</wpt>",
         "tag mismatch", 4, 1, 0},
        {"truncated", std::string(kHead) + kGood + "<wpt lat=\"3\" lon=\"4\"><na", "", 4, 1, 0},
        {"other format", "<?xml version=\"1.0\"?>\n<kml><Placemark/></kml>",
         "root element is <kml>", 2, 0, 0},
        {"empty", "", "no element found", 1, 0, 0},
        {"entities", laughs, "declares entities", 3, 0, 0},
        {"positions",
         std::string(kHead) + "<wpt lon=\"2\"/>\n<wpt lat=\"91\" lon=\"2\"/>\n" +
             "<wpt lat=\"1\" lon=\"-180.5\"/>\n<wpt lat=\"x\" lon=\"2\"/>\n" + kGood + "</gpx>",
         "", 0, 1, 4},
        // A number field that holds no number refuses its point; an empty one is absent.
        {"numbers",
         std::string(kHead) + "<wpt lat=\"1\" lon=\"2\"><ele>abc</ele></wpt>\n" +
             "<wpt lat=\"1\" lon=\"2\"><sat>256</sat></wpt><wpt lat=\"1\" lon=\"2\"><ele> "
             "</ele><hdop>0x1p3</hdop></wpt><wpt lat=\"1\" lon=\"2\"><ele> </ele></wpt></gpx>",
         "", 0, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Count count;
        const GpxReadResult r = readGpxBytes(c.bytes, count);
        EXPECT_EQ(r.ok, c.line == 0);
        EXPECT_THAT(r.error, HasSubstr(c.error));
        EXPECT_EQ(r.errorLine, c.line) << r.error;
        EXPECT_EQ(r.points, c.points);
        EXPECT_EQ(r.refused, c.refused);
    }
}

TEST(GpxBadInput, ByteOrderMarksAndUtf16AreReadLimitsAreKept) {
    const std::string utf8 =
        std::string(kHead) + "<wpt lat=\"1\" lon=\"2\"><name>Ā€😀</name></wpt></gpx>";
    // UTF-16LE with its mark, as some Windows programs write it.
    const std::u16string text = u"\uFEFF<gpx><wpt lat=\"1\" lon=\"2\"><name>Ā€😀</name></wpt></gpx>";
    const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    for (const std::string& bytes : {"\xEF\xBB\xBF" + utf8, utf16}) {
        Count count;
        EXPECT_TRUE(readGpxBytes(bytes, count).ok);
        EXPECT_EQ(count.names, "Ā€😀;");
    }
    GpxReadLimits limits;
    limits.maxPoints = 2;
    Count count;
    GpxReadResult r =
        readGpxBytes(std::string(kHead) + kGood + kGood + kGood + "</gpx>", count, limits);
    EXPECT_EQ(r.errorText(), "line 5: more than 2 points");
    limits.maxPendingBytes = 1000;
    r = readGpxBytes(
        std::string(kHead) + "<wpt lat=\"1\" lon=\"" + std::string(300000, '1') + "\"/>", count,
        limits);
    EXPECT_THAT(r.error, HasSubstr("larger than 1000 bytes"));
    limits.maxTextBytes = 5;
    count.names.clear();
    readGpxBytes(std::string(kHead) + "<wpt lat=\"1\" lon=\"2\"><name>abcdĀ</name></wpt></gpx>",
                 count, limits);
    EXPECT_EQ(count.names, "abcd;");  // cut before the two-byte character, not inside it
}

TEST(GpxBadInput, NothingTheUserHadIsLost) {
    TempDir dir(true);
    const std::string bad = dir.file("bad.gpx");
    writeFile(bad, std::string(kHead) + "<wpt lat=\"91\" lon=\"0\"/>\n<trk><trkseg><trkpt lat=");

    // The track in memory stays as it was, and the user is told why.
    TrackLog log(dir.file("auto.atk"));
    ASSERT_TRUE(log.replaceTrack(std::vector<TrackPoint>(3)));
    ScriptedChooser chooser;
    chooser.answers = {bad, dir.path()};  // a folder: no track file can be written there
    const TrackFileOutcome loaded = loadTrackAskingFile(log, chooser);
    EXPECT_FALSE(loaded.done);
    EXPECT_THAT(loaded.notice, HasSubstr("line 4:"));
    EXPECT_EQ(log.count(), 3);
    const TrackFileOutcome saved = saveTrackAskingFile(log, chooser);
    EXPECT_FALSE(saved.done);
    ASSERT_TRUE(saved.failedSave.has_value());
    EXPECT_EQ(*saved.failedSave, (Failure{dir.path(), "Is a directory"}));

    // The pushpin file is not rewritten; the tool says what was wrong and fails.
    const std::string kpp = dir.file("p.kpp");
    const std::string good = dir.file("good.gpx");
    writeFile(good, std::string(kHead) + kGood + "</gpx>");
    ASSERT_EQ(runProgram({WAYPLOT2_TOOL, "pushpins", "import", kpp, good}).status, 0);
    const auto before = readBytes(kpp);
    const RunResult r = runProgram({WAYPLOT2_TOOL, "pushpins", "import", kpp, bad, good});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("1 refused, the first at line 3: latitude 91 outside -90..90"));
    EXPECT_EQ(readBytes(kpp), before);
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "track", "import", bad, dir.file("t.atk")}).status, 1);
    EXPECT_FALSE(fileExists(dir.file("t.atk")));
}

// A value the track or pushpin file's reader would refuse (a speed of 1e308
// m/s is infinite in knots), or that no receiver measures, refuses its point
// with the line; the file written of the others reads back.
TEST(GpxBadInput, ImpossibleValuesAreRefusedAndWhatIsWrittenReadsBack) {
    TempDir dir(true);
    const std::string gpx = dir.file("v.gpx");
    writeFile(gpx, std::string(kHead) + "<wpt lat=\"1\" lon=\"2\"><ele>1e308</ele></wpt>\n" +
                       kGood +
                       "<trk><trkseg><trkpt lat=\"1\" lon=\"2\"/>\n<trkpt lat=\"1\" lon=\"2\">"
                       "<extensions><gpxtpx:TrackPointExtension xmlns:gpxtpx=\"http://www.garmin."
                       "com/xmlschemas/TrackPointExtension/v2\"><gpxtpx:speed>1e308</gpxtpx:speed>"
                       "</gpxtpx:TrackPointExtension></extensions></trkpt></trkseg></trk></gpx>");
    const std::string atk = dir.file("t.atk"), kpp = dir.file("p.kpp");
    RunResult r = runProgram({WAYPLOT2_TOOL, "track", "import", gpx, atk});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("1 points refused, the first at line 6: speed inf"));
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "track", "info", atk}).status, 0);
    r = runProgram({WAYPLOT2_TOOL, "pushpins", "import", kpp, gpx});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out,
                HasSubstr("1 refused, the first at line 3: altitude 1e+308 outside -1e+06..1e+06"));
    EXPECT_EQ(runProgram({WAYPLOT2_TOOL, "pushpins", "list", kpp}).status, 0);
}

}  // namespace
}  // namespace wp2
