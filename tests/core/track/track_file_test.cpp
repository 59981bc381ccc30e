// Track files: the byte layout, round trips, version 1, files that must be
// refused without touching the track in memory, atomic saving, the autosave
// files and the file dialog.

#include "core/track/track_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <bit>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/base/paths.h"
#include "core/track/track_log.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

using test::fixAt;
using test::ggaAt;
using test::readBytes;
using test::readFile;
using test::writeFile;
using namespace TrackPointState;

// Little-endian byte builder for hand-made files.
class Bytes {
public:
    Bytes& i32(std::int32_t v) {
        for (int i = 0; i < 4; ++i) {
            s.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i)));
        }
        return *this;
    }
    Bytes& f64(double v) {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        for (int i = 0; i < 8; ++i) {
            s.push_back(static_cast<char>(bits >> (8 * i)));
        }
        return *this;
    }
    Bytes& u8(std::uint8_t v) {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& u16(std::uint16_t v) { return u8(std::uint8_t(v)).u8(std::uint8_t(v >> 8)); }
    // A point record written field by field, independent of the code under test.
    Bytes& record(const TrackPoint& p) {
        f64(p.latitude).f64(p.longitude).f64(p.altitude);
        u8(p.time.year).u8(p.time.month).u8(p.time.day).u8(p.time.hour).u8(p.time.minute);
        f64(p.time.seconds).f64(p.speed).f64(p.course).f64(p.dop);
        return u16(static_cast<std::uint16_t>(p.state)).u8(p.satellites);
    }
    Bytes& v2(std::int32_t capacity, std::int32_t dated, std::int32_t lastDated,
              std::int32_t count) {
        return i32(2).i32(capacity).i32(dated).i32(lastDated).i32(0).i32(count);
    }
    std::string s;
};

std::int32_t i32At(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                                     std::uint32_t(b[at + 2]) << 16 |
                                     std::uint32_t(b[at + 3]) << 24);
}

double f64At(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = bits << 8 | b[at + static_cast<std::size_t>(i)];
    }
    return std::bit_cast<double>(bits);
}

void expectSamePoint(const TrackPoint& a, const TrackPoint& b) {
    EXPECT_EQ(a.latitude, b.latitude);
    EXPECT_EQ(a.longitude, b.longitude);
    EXPECT_EQ(a.altitude, b.altitude);
    EXPECT_EQ(a.time, b.time);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.course, b.course);
    EXPECT_EQ(a.dop, b.dop);
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.satellites, b.satellites);
}

// Everything a load may replace.
struct TrackSnapshot {
    explicit TrackSnapshot(const TrackLog& log)
        : count(log.count()),
          capacity(log.capacity()),
          dated(log.datedCount()),
          lastDated(log.lastDatedIndex()),
          reserved(log.reserved),
          legacyA(log.legacyA),
          legacyB(log.legacyB) {
        for (int i = 0; i < log.count(); ++i) {
            points.push_back(log.at(i));
        }
    }
    void expectUnchanged(const TrackLog& log) const {
        ASSERT_EQ(log.count(), count);
        EXPECT_EQ(log.capacity(), capacity);
        EXPECT_EQ(log.datedCount(), dated);
        EXPECT_EQ(log.lastDatedIndex(), lastDated);
        EXPECT_EQ(log.reserved, reserved);
        EXPECT_EQ(log.legacyA, legacyA);
        EXPECT_EQ(log.legacyB, legacyB);
        for (int i = 0; i < count; ++i) {
            expectSamePoint(log.at(i), points[static_cast<std::size_t>(i)]);
        }
    }
    int count, capacity, dated, lastDated;
    std::int32_t reserved;
    double legacyA, legacyB;
    std::vector<TrackPoint> points;
};

class TrackFileTest : public test::TrackTest {
protected:
    // A log without autoload or autosave holding n recorded points.
    static void record(TrackLog& log, int n) {
        log.options = 0;
        for (int i = 0; i < n; ++i) {
            TrackPoint p = fixAt(10.0 * i, 3.0 * i, i, 1.0 + i);
            p.course = i * 1.5;
            p.satellites = static_cast<std::uint8_t>(i % 13);
            ASSERT_TRUE(log.addFix(p));
        }
    }
    std::string path(const std::string& name) const { return root_.file(name); }
};

TEST_F(TrackFileTest, EmptyTrackIsExactly24Bytes) {
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("empty.atk");
    ASSERT_TRUE(log.save(false));
    const auto b = readBytes(path("empty.atk"));
    ASSERT_EQ(b.size(), 24u);
    EXPECT_EQ(i32At(b, 0), 2);
    EXPECT_EQ(i32At(b, 4), 1000);
    EXPECT_EQ(i32At(b, 8), 0);
    EXPECT_EQ(i32At(b, 12), -1);
    EXPECT_EQ(i32At(b, 16), 0);
    EXPECT_EQ(i32At(b, 20), 0);
}

TEST_F(TrackFileTest, RecordFieldsSitAtTheirOffsets) {
    TrackLog log;
    log.options = 0;
    TrackPoint p = fixAt(0, 0, 0);
    p.latitude = -0.5;
    p.longitude = 2.25;
    p.altitude = -12.75;
    p.time = {};
    p.time.year = 24;
    p.time.month = 12;
    p.time.day = 31;
    p.time.hour = 23;
    p.time.minute = 59;
    p.time.seconds = 58.125;
    p.speed = 3.5;
    p.course = 271.5;
    p.dop = 1.75;
    p.satellites = 11;
    p.state = Sats5Plus | FromGga | Quality4 | FromPosition;
    log.addFix(p);
    log.reserved = 0x01020304;
    log.currentFileName = path("one.atk");
    ASSERT_TRUE(log.save(false));
    const auto b = readBytes(path("one.atk"));
    ASSERT_EQ(b.size(), 24u + 64u);
    EXPECT_EQ(i32At(b, 4), 1000);
    EXPECT_EQ(i32At(b, 8), 1);
    EXPECT_EQ(i32At(b, 12), 0);
    EXPECT_EQ(i32At(b, 16), 0x01020304);
    EXPECT_EQ(i32At(b, 20), 1);
    const std::size_t r = 24;
    EXPECT_EQ(f64At(b, r + 0), -0.5);
    EXPECT_EQ(f64At(b, r + 8), 2.25);
    EXPECT_EQ(f64At(b, r + 16), -12.75);
    EXPECT_EQ(b[r + 24], 24);
    EXPECT_EQ(b[r + 25], 12);
    EXPECT_EQ(b[r + 26], 31);
    EXPECT_EQ(b[r + 27], 23);
    EXPECT_EQ(b[r + 28], 59);
    EXPECT_EQ(f64At(b, r + 29), 58.125);
    EXPECT_EQ(f64At(b, r + 37), 3.5);
    EXPECT_EQ(f64At(b, r + 45), 271.5);
    EXPECT_EQ(f64At(b, r + 53), 1.75);
    const std::uint32_t stored = Sats5Plus | FromGga | Quality4 | SegmentStart | SegmentEnd;
    EXPECT_EQ(b[r + 61] | b[r + 62] << 8, static_cast<int>(stored));
    EXPECT_EQ(b[r + 63], 11);
}

TEST_F(TrackFileTest, RoundTripKeepsPointsCountersAndCapacity) {
    const int n = 1234;
    TrackLog log;
    record(log, n);
    TrackPoint bare = pointFromPosition(0.1, 0.2, 30.0);
    bare.state |= 0x20000;
    ASSERT_TRUE(log.addFix(bare));
    log.reserved = 5;
    log.currentFileName = path("trip.atk");
    ASSERT_TRUE(log.save(false));
    EXPECT_EQ(readBytes(path("trip.atk")).size(), 24u + 64u * (n + 1));

    TrackLog loaded;
    loaded.options = 0;
    loaded.currentFileName = path("trip.atk");
    ASSERT_TRUE(loaded.load(false));
    ASSERT_EQ(loaded.count(), n + 1);
    EXPECT_EQ(loaded.capacity(), 2000);
    EXPECT_EQ(loaded.datedCount(), n + 1);
    EXPECT_EQ(loaded.lastDatedIndex(), n);
    EXPECT_EQ(loaded.reserved, 5);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        expectSamePoint(loaded.at(i), log.at(i));
    }
    // The bare position comes back without FromPosition and the high bits.
    EXPECT_TRUE(log.at(n).state & FromPosition);
    EXPECT_EQ(loaded.at(n).state, log.at(n).state & 0xFFFFu);
    EXPECT_FALSE(loaded.at(n).state & FromPosition);
    EXPECT_EQ(loaded.at(n).altitude, 30.0);
}

TEST_F(TrackFileTest, LoadedTrackGrowsAndRecordsOn) {
    // A file whose capacity equals its count: the next point must grow the array.
    Bytes f;
    f.v2(3, 3, 2, 3);
    for (int i = 0; i < 3; ++i) {
        f.record(fixAt(100.0 * i, 0, i));
    }
    writeFile(path("full.atk"), f.s);
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("full.atk");
    ASSERT_TRUE(log.load(false));
    EXPECT_EQ(log.capacity(), 3);
    TrackPoint next = fixAt(400, 0, 4);
    ASSERT_TRUE(log.addFix(next));
    EXPECT_EQ(log.capacity(), 1003);
    EXPECT_EQ(log.count(), 4);
    EXPECT_EQ(log.at(3).latitude, next.latitude);
    EXPECT_EQ(log.at(2).latitude, fixAt(200, 0, 2).latitude);
}

TEST_F(TrackFileTest, SignalLostMarksTheLastDatedPointOfALoadedTrack) {
    Bytes f;
    f.v2(1000, 2, 1, 3);
    for (int i = 0; i < 3; ++i) {
        TrackPoint p = fixAt(100.0 * i, 0, i);
        p.state = 0;
        f.record(p);
    }
    writeFile(path("lost.atk"), f.s);
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("lost.atk");
    ASSERT_TRUE(log.load(false));
    log.signalLost();
    EXPECT_EQ(log.at(1).state, SegmentEnd);
    EXPECT_EQ(log.at(2).state, 0u);
}

TEST_F(TrackFileTest, Version1FileLoadsWithItsLegacyDoubles) {
    const TrackPoint a = fixAt(0, 0, 0), b = ggaAt(50, 0, 1, 8);
    Bytes f;
    f.i32(1).i32(1000).i32(2).i32(1).i32(9).f64(1.5).f64(-2.25).i32(2).record(a).record(b);
    writeFile(path("old.atk"), f.s);
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("old.atk");
    ASSERT_TRUE(log.load(false));
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.capacity(), 1000);
    EXPECT_EQ(log.reserved, 9);
    EXPECT_EQ(log.legacyA, 1.5);
    EXPECT_EQ(log.legacyB, -2.25);
    expectSamePoint(log.at(0), a);
    expectSamePoint(log.at(1), b);
    // Saving writes version 2 again.
    log.currentFileName = path("new.atk");
    ASSERT_TRUE(log.save(false));
    const auto saved = readBytes(path("new.atk"));
    ASSERT_EQ(saved.size(), 24u + 128u);
    EXPECT_EQ(i32At(saved, 0), 2);
}

TEST_F(TrackFileTest, OtherVersionsAreReadAsVersion2) {
    const TrackPoint a = fixAt(0, 0, 0);
    Bytes f;
    f.i32(7).i32(1000).i32(1).i32(0).i32(0).i32(1).record(a);
    writeFile(path("v7.atk"), f.s);
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("v7.atk");
    ASSERT_TRUE(log.load(false));
    ASSERT_EQ(log.count(), 1);
    expectSamePoint(log.at(0), a);
}

TEST_F(TrackFileTest, BoundaryFilesLoad) {
    struct Case {
        const char* what;
        std::string bytes;
        int count;
    };
    const TrackPoint a = fixAt(0, 0, 0);
    const Case cases[] = {
        {"capacity one growth step above count", Bytes().v2(1001, 1, 0, 1).record(a).s, 1},
        {"capacity zero", Bytes().v2(0, 0, -1, 0).s, 0},
        {"bytes after the last record", Bytes().v2(1000, 1, 0, 1).record(a).u8(0xEE).s, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("edge.atk"), c.bytes);
        TrackLog log;
        log.options = 0;
        log.currentFileName = path("edge.atk");
        ASSERT_TRUE(log.load(false));
        EXPECT_EQ(log.count(), c.count);
        TrackPoint later = fixAt(500, 0, 5);
        ASSERT_TRUE(log.addFix(later));
        EXPECT_EQ(log.at(log.count() - 1).latitude, later.latitude);
    }
}

TEST_F(TrackFileTest, BrokenFilesAreRefusedAndTheTrackStaysAsItWas) {
    const TrackPoint a = fixAt(0, 0, 0), b = fixAt(50, 0, 1), c = fixAt(100, 0, 2);
    const std::string good3 = Bytes().record(a).record(b).record(c).s;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"half a header", Bytes().i32(2).i32(1000).s.substr(0, 7)},
        {"header without count", Bytes().i32(2).i32(1000).i32(0).i32(-1).i32(0).s},
        {"count above capacity", Bytes().v2(2, 3, 2, 3).s + good3},
        {"negative capacity", Bytes().v2(-1000, 0, -1, 0).s},
        {"negative count", Bytes().v2(1000, 0, -1, -3).s + good3},
        {"absurd capacity", Bytes().v2(INT_MAX, 0, -1, 0).s},
        {"capacity far above count", Bytes().v2(5000, 3, 2, 3).s + good3},
        {"records end early", Bytes().v2(1000, 3, 2, 3).s + good3.substr(0, 64 * 2 + 30)},
        {"count far beyond the file", Bytes().v2(INT_MAX, 3, 2, INT_MAX).s + good3},
        {"version 1 cut in its doubles", Bytes().i32(1).i32(1000).i32(0).i32(-1).i32(0).f64(1).s},
        {"version 1 records end early",
         Bytes().i32(1).i32(1000).i32(3).i32(2).i32(0).f64(1).f64(2).i32(3).s +
             good3.substr(0, 100)},
        {"version 2 read as version 1",
         Bytes().i32(1).i32(1000).i32(3).i32(2).i32(0).i32(3).s + good3.substr(0, 64)},
        {"dated count above count", Bytes().v2(1000, 4, 2, 3).s + good3},
        {"last dated index past the end", Bytes().v2(1000, 3, 3, 3).s + good3},
        {"last dated index below -1", Bytes().v2(1000, 0, -2, 3).s + good3},
        {"dated points without a last dated index", Bytes().v2(1000, 2, -1, 3).s + good3},
        {"a last dated index without dated points", Bytes().v2(1000, 0, 1, 3).s + good3},
    };
    TrackLog log;
    log.options = 0;
    for (const TrackPoint& p : {a, b, c}) {
        TrackPoint copy = p;
        ASSERT_TRUE(log.addFix(copy));
    }
    log.reserved = 4;
    log.legacyA = 8.5;
    const TrackSnapshot before(log);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        writeFile(path("bad.atk"), k.bytes);
        log.currentFileName = path("bad.atk");
        EXPECT_FALSE(log.load(false));
        before.expectUnchanged(log);
    }
    log.currentFileName = path("missing.atk");
    EXPECT_FALSE(log.load(false));
    log.currentFileName = root_.path();
    EXPECT_FALSE(log.load(false)) << "a folder";
    before.expectUnchanged(log);
}

TEST_F(TrackFileTest, ACrashWhileSavingKeepsThePreviousFile) {
    TrackLog log;
    record(log, 200);
    log.currentFileName = path("keep.atk");
    ASSERT_TRUE(log.save(false));
    const std::string previous = readFile(path("keep.atk"));
    record(log, 100);  // a different, larger track
    // The child may write only 4 KB: it dies of SIGXFSZ in the middle of the save.
    auto saveWithLittleRoom = [&log] {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        log.save(false);
        std::_Exit(0);
    };
    EXPECT_EXIT(saveWithLittleRoom(), testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(readFile(path("keep.atk")), previous);
}

TEST_F(TrackFileTest, AFailedSaveReturnsFalseAndLeavesNoTemporaryFile) {
    std::filesystem::create_directories(path("taken.atk/inside"));
    TrackLog log;
    record(log, 3);
    log.currentFileName = path("taken.atk");
    EXPECT_FALSE(log.save(false)) << "a folder stands where the file would go";
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.atk/inside")));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root_.path())) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 0);
}

TEST_F(TrackFileTest, SaveReplacesAnExistingFile) {
    writeFile(path("old.atk"), std::string(5000, 'x'));
    TrackLog log;
    record(log, 2);
    log.currentFileName = path("old.atk");
    ASSERT_TRUE(log.save(false));
    EXPECT_EQ(readBytes(path("old.atk")).size(), 24u + 128u);
}

TEST_F(TrackFileTest, TheTwoAutosaveFilesNeverClash) {
    const std::string linkFile = Paths::map(kLinkAutosavePath);
    const std::string emulationFile = Paths::map(kEmulationAutosavePath);
    EXPECT_EQ(linkFile, root_.path() + "/My Documents/KWAutosave.atk");
    EXPECT_EQ(emulationFile, root_.path() + "/My Documents/KWAutosave2.atk");
    {
        TrackLog link;
        TrackLog emulation(kEmulationAutosavePath);
        EXPECT_EQ(link.autosavePath, kLinkAutosavePath);
        record(link, 5);
        record(emulation, 2);
        link.options = TrackState::AutoSave;
        emulation.options = TrackState::AutoSave;
    }
    EXPECT_EQ(readBytes(linkFile).size(), 24u + 64u * 5);
    EXPECT_EQ(readBytes(emulationFile).size(), 24u + 64u * 2);
    EXPECT_TRUE(chooser_.asked.empty()) << "the autosave never asks for a name";

    registry_.setNumber(kTrackStateValue, TrackState::AutoLoad);
    TrackLog link;
    TrackLog emulation(kEmulationAutosavePath);
    EXPECT_EQ(link.count(), 5);
    EXPECT_EQ(emulation.count(), 2);
    EXPECT_EQ(link.currentFileName, "Track");
    EXPECT_EQ(emulation.currentFileName, "Track");
    EXPECT_TRUE(chooser_.asked.empty());
}

TEST_F(TrackFileTest, WithoutAutoSaveOrAutoLoadNoFileIsTouched) {
    {
        TrackLog log;
        record(log, 3);  // options 0
    }
    EXPECT_FALSE(test::fileExists(Paths::map(kLinkAutosavePath)));
    {
        TrackLog log;
        record(log, 3);
        log.options = TrackState::AutoSave;
    }
    ASSERT_TRUE(test::fileExists(Paths::map(kLinkAutosavePath)));
    registry_.setNumber(kTrackStateValue, 0);
    TrackLog log;
    EXPECT_EQ(log.count(), 0);
}

TEST_F(TrackFileTest, AutoSaveKeepsTheCurrentFileName) {
    TrackLog log;
    record(log, 1);
    log.currentFileName = path("mine.atk");
    ASSERT_TRUE(log.autoSave());
    EXPECT_EQ(log.currentFileName, path("mine.atk"));
    EXPECT_FALSE(test::fileExists(path("mine.atk")));
    log.clear();
    ASSERT_TRUE(log.autoLoad());
    EXPECT_EQ(log.count(), 1);
    EXPECT_EQ(log.currentFileName, path("mine.atk"));
}

TEST_F(TrackFileTest, DialogsAreShownWhenAskedEvenWithAKnownName) {
    TrackLog log;
    record(log, 2);
    log.currentFileName = "Walk";
    chooser_.answers = {path("walk.atk")};
    ASSERT_TRUE(log.save(true));
    ASSERT_EQ(chooser_.asked.size(), 1u);
    EXPECT_TRUE(chooser_.asked[0].saving);
    EXPECT_EQ(chooser_.asked[0].request.filter, "Track (*.atk)|*.atk||");
    EXPECT_EQ(chooser_.asked[0].request.defaultExtension, "atk");
    EXPECT_EQ(chooser_.asked[0].request.proposedName, "Walk");
    EXPECT_EQ(log.currentFileName, path("walk.atk"));
    EXPECT_TRUE(test::fileExists(path("walk.atk")));

    TrackLog other;
    other.options = 0;
    chooser_.answers = {path("walk.atk")};
    ASSERT_TRUE(other.load(true));
    ASSERT_EQ(chooser_.asked.size(), 2u);
    EXPECT_FALSE(chooser_.asked[1].saving);
    EXPECT_EQ(chooser_.asked[1].request.proposedName, "Track");
    EXPECT_EQ(other.count(), 2);

    // Without askName the known name is used and nothing is asked.
    EXPECT_TRUE(other.load(false));
    EXPECT_TRUE(other.save(false));
    EXPECT_EQ(chooser_.asked.size(), 2u);
}

TEST_F(TrackFileTest, AnEmptyNameAsksAndDeviceNamesAreMapped) {
    TrackLog log;
    record(log, 2);
    log.currentFileName.clear();
    chooser_.answers = {"\\My Documents\\walk.atk"};
    ASSERT_TRUE(log.save(false));
    EXPECT_EQ(chooser_.asked.size(), 1u);
    EXPECT_EQ(readBytes(root_.path() + "/My Documents/walk.atk").size(), 24u + 128u);
}

TEST_F(TrackFileTest, CancelLeavesTrackAndNameAlone) {
    TrackLog log;
    record(log, 4);
    log.currentFileName = path("known.atk");
    const TrackSnapshot before(log);
    chooser_.answers = {std::nullopt, std::nullopt};
    EXPECT_FALSE(log.load(true));
    EXPECT_FALSE(log.save(true));
    EXPECT_EQ(chooser_.asked.size(), 2u);
    before.expectUnchanged(log);
    EXPECT_EQ(log.currentFileName, path("known.atk"));
    EXPECT_FALSE(test::fileExists(path("known.atk")));
}

}  // namespace
}  // namespace wp2
