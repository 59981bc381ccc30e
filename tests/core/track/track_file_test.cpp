// SPDX-License-Identifier: GPL-3.0-or-later
// Track files: the byte layout, round trips, version 1, files that must be
// refused without touching the track in memory, atomic saving, the autosave
// files and the file dialog.

#include "core/track/track_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <tuple>

#include "core/base/paths.h"
#include "core/track/track_log.h"
#include "support/le_bytes.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

using test::fixAt;
using test::readBytes;
using test::readFile;
using test::writeFile;
using namespace TrackPointState;

// Bytes of hand-made track files.
class Bytes : public test::LittleEndianBytes<Bytes> {
public:
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
};

// Every field of the record, and the state bits a file does not keep.
void expectSamePoint(const TrackPoint& a, const TrackPoint& b) {
    EXPECT_EQ(Bytes().record(a).s, Bytes().record(b).s);
    EXPECT_EQ(a.state, b.state);
}

// Everything a load may replace, as bytes.
std::string snapshot(const TrackLog& log) {
    Bytes b;
    b.i32(log.count()).i32(log.capacity()).i32(log.datedCount()).i32(log.lastDatedIndex());
    b.i32(log.reserved).f64(log.legacyA).f64(log.legacyB);
    for (int i = 0; i < log.count(); ++i) {
        b.record(log.at(i)).i32(static_cast<std::int32_t>(log.at(i).state));
    }
    return b.s;
}

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
    // Writes `bytes` as `name` and loads that file into a log without autoload or autosave.
    bool loadBytes(TrackLog& log, const std::string& bytes, const std::string& name = "in.atk") {
        writeFile(path(name), bytes);
        log.options = 0;
        log.currentFileName = path(name);
        return log.load().value_or(false);
    }
};

TEST_F(TrackFileTest, FileLayoutIsAHeaderAndOneRecordPerPoint) {
    TrackLog log;
    log.options = 0;
    log.currentFileName = path("empty.atk");
    ASSERT_TRUE(log.save());
    EXPECT_EQ(readFile(path("empty.atk")), Bytes().v2(1000, 0, -1, 0).s);

    TrackPoint p = fixAt(0, 0, 0);
    p.latitude = -0.5;
    p.longitude = 2.25;
    p.altitude = -12.75;
    p.time = test::dateTime(24, 12, 31, 23, 59, 58.125);
    p.speed = 3.5;
    p.course = 271.5;
    p.dop = 1.75;
    p.satellites = 11;
    p.state = Sats5Plus | FromGga | Quality4 | FromPosition;
    log.addFix(p);
    log.reserved = 0x01020304;
    log.currentFileName = path("one.atk");
    ASSERT_TRUE(log.save());
    TrackPoint stored = p;
    stored.state = Sats5Plus | FromGga | Quality4 | SegmentStart | SegmentEnd;
    EXPECT_EQ(readFile(path("one.atk")),
              Bytes().i32(2).i32(1000).i32(1).i32(0).i32(0x01020304).i32(1).record(stored).s);
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
    ASSERT_TRUE(log.save());
    EXPECT_EQ(readBytes(path("trip.atk")).size(), 24u + 64u * (n + 1));
    // Saved again, a file that holds the track stays as it is; one that
    // differs (past its first 64 KiB, or by a byte more or less) is replaced.
    const std::string saved = readFile(path("trip.atk"));
    struct stat before = {}, after = {};
    ASSERT_EQ(::stat(path("trip.atk").c_str(), &before), 0);
    ASSERT_TRUE(log.save());
    ASSERT_EQ(::stat(path("trip.atk").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    const std::string shorter = saved.substr(0, saved.size() - 1);
    for (const std::string& other : {saved + "x", shorter, shorter + "\x7F"}) {
        writeFile(path("trip.atk"), other);
        ASSERT_TRUE(log.save());
        EXPECT_EQ(readFile(path("trip.atk")), saved);
    }

    TrackLog loaded;
    ASSERT_TRUE(loadBytes(loaded, readFile(path("trip.atk"))));
    ASSERT_EQ(loaded.count(), n + 1);
    EXPECT_EQ(std::tuple(loaded.capacity(), loaded.datedCount(), loaded.lastDatedIndex(),
                         loaded.reserved),
              std::tuple(2000, n + 1, n, 5));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        expectSamePoint(loaded.at(i), log.at(i));
    }
    // The bare position comes back without FromPosition and the high bits.
    EXPECT_TRUE(log.at(n).state & FromPosition);
    EXPECT_EQ(loaded.at(n).state, log.at(n).state & 0xFFFFu);
    EXPECT_EQ(loaded.at(n).altitude, 30.0);
}

TEST_F(TrackFileTest, BrokenFilesAreRefusedAndTheTrackStaysAsItWas) {
    const TrackPoint a = fixAt(0, 0, 0), b = fixAt(50, 0, 1), c = fixAt(100, 0, 2);
    auto impossible = [&](double latitude, double longitude) {
        TrackPoint p = a;
        p.latitude = latitude;
        p.longitude = longitude;
        return Bytes().record(p);
    };
    const std::string good3 = Bytes().record(a).record(b).record(c).s;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"header without count", Bytes().i32(2).i32(1000).i32(0).i32(-1).i32(0).s},
        {"count above capacity", Bytes().v2(2, 3, 2, 3).s + good3},
        {"negative count", Bytes().v2(1000, 0, -1, -3).s + good3},
        {"absurd capacity", Bytes().v2(INT_MAX, 0, -1, 0).s},
        {"records end early", Bytes().v2(1000, 3, 2, 3).s + good3.substr(0, 64 * 2 + 30)},
        {"count far beyond the file", Bytes().v2(INT_MAX, 3, 2, INT_MAX).s + good3},
        {"version 1 cut in its doubles", Bytes().i32(1).i32(1000).i32(0).i32(-1).i32(0).f64(1).s},
        {"version 1 records end early",
         Bytes().i32(1).i32(1000).i32(3).i32(2).i32(0).f64(1).f64(2).i32(3).s +
             good3.substr(0, 100)},
        {"version 2 read as version 1",
         Bytes().i32(1).i32(1000).i32(3).i32(2).i32(0).i32(3).s + good3.substr(0, 64)},
        {"last dated index past the end", Bytes().v2(1000, 3, 3, 3).s + good3},
        {"dated points without a last dated index", Bytes().v2(1000, 2, -1, 3).s + good3},
        {"a last dated index without dated points", Bytes().v2(1000, 0, 1, 3).s + good3},
        {"a latitude beyond the pole", Bytes().v2(1000, 1, 0, 1).s + impossible(1.5708, 0).s},
        {"a longitude beyond a turn", Bytes().v2(1000, 1, 0, 1).s + impossible(0, -6.3).s},
        {"a latitude NaN", Bytes().v2(1000, 1, 0, 1).s + impossible(NAN, 0).s},
        {"a longitude infinite", Bytes().v2(1000, 1, 0, 1).s + impossible(0, INFINITY).s},
    };
    TrackLog log;
    log.options = 0;
    for (const TrackPoint& p : {a, b, c}) {
        TrackPoint copy = p;
        ASSERT_TRUE(log.addFix(copy));
    }
    log.reserved = 4;
    log.legacyA = 8.5;
    const std::string before = snapshot(log);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        EXPECT_FALSE(loadBytes(log, k.bytes));
        EXPECT_EQ(snapshot(log), before);
    }
    log.currentFileName = path("missing.atk");
    EXPECT_FALSE(*log.load()) << "absent: nothing to tell";
    log.currentFileName = root_.path();
    EXPECT_FALSE(log.load().value_or(false)) << "a folder";
    writeFile(path("cut.atk"), cases[0].bytes);
    log.currentFileName = path("cut.atk");
    const Result<bool> damaged = log.load();
    ASSERT_FALSE(damaged);
    EXPECT_EQ(trackNotLoadedText(damaged.error()), "The track file " + path("cut.atk") +
                                                       " is damaged (" + damaged.error().reason +
                                                       ") and was not loaded.");
    EXPECT_EQ(snapshot(log), before);
}

// A write that fails on the way (the file may not grow beyond 4 KB) leaves
// the previous file and no temporary file. A writer killed in the middle of
// a save is the settings store's crash test; the temporary file it leaves
// goes with the next save (the pushpins tool's test).
TEST_F(TrackFileTest, AFailedWriteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    TrackLog log;
    record(log, 200);
    log.currentFileName = path("keep.atk");
    ASSERT_TRUE(log.save());
    const std::string previous = readFile(path("keep.atk"));
    record(log, 100);  // a different, larger track
    auto failingSave = [&log] {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        std::_Exit(log.save() ? 1 : 0);
    };
    EXPECT_EXIT(failingSave(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(path("keep.atk")), previous);
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::set<std::string>{"keep.atk"});
}

// A truncated autosave file: the damaged file is kept aside, the whole
// records before the cut are recovered and the user is told.
TEST_F(TrackFileTest, DamagedAutosaveIsKeptAsideAndItsWholePointsRecovered) {
    const std::string file = Paths::map(kLinkAutosavePath);
    {
        TrackLog log;
        record(log, 50);
        log.options = TrackState::AutoSave;
        ASSERT_TRUE(log.finish(registry_));
    }
    const std::string cut = readFile(file).substr(0, 24 + 64 * 50 - 10);
    writeFile(file, cut);
    registry_.setNumber(kTrackStateValue, TrackState::AutoLoad | TrackState::AutoSave);
    {
        TrackLog log;
        EXPECT_EQ(log.count(), 0) << "nothing is read before start()";
        const TrackAutoLoad loaded = log.start(registry_);
        EXPECT_EQ(std::tuple(loaded.loaded, log.count(), log.datedCount(), log.lastDatedIndex()),
                  std::tuple(true, 49, 49, 48));
        EXPECT_EQ(readFile(file + ".bad"), cut);
        EXPECT_NE(loaded.damage.find("49 points were recovered"), std::string::npos);
        EXPECT_NE(loaded.damage.find("kept as " + file + ".bad"), std::string::npos);
        ASSERT_TRUE(log.finish(registry_));
    }
    EXPECT_EQ(readBytes(file).size(), 24u + 64u * 49);
    EXPECT_EQ(readFile(file + ".bad"), cut);
}

}  // namespace
}  // namespace wp2
