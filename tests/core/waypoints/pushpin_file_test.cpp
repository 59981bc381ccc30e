#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "core/base/paths.h"
#include "core/waypoints/cpushpins.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_test_util.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::namesOf;
using test::readFile;
using test::RecordingMessageBoxes;
using test::TempDir;
using test::writeFile;

// Little-endian byte builders for hand-made files.
struct Bytes {
    std::string s;
    Bytes& u8(unsigned v) {
        s += static_cast<char>(v & 0xFF);
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& f64(double d) {
        auto bits = std::bit_cast<std::uint64_t>(d);
        return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
    }
    Bytes& wide(const std::u16string& t) {
        u8(0xFF).u16(0xFFFE).u8(static_cast<unsigned>(t.size()));
        for (char16_t c : t) {
            u16(c);
        }
        return *this;
    }
    Bytes& narrow(const std::string& t) {
        u8(static_cast<unsigned>(t.size()));
        s += t;
        return *this;
    }
    Bytes& raw(const std::string& t) {
        s += t;
        return *this;
    }
};

// A record in the file's field order; the texts as given.
Bytes& record(Bytes& b, std::int32_t icon, const std::function<void(Bytes&)>& texts,
              std::uint32_t satellites = 0x1234) {
    b.u32(static_cast<std::uint32_t>(icon)).u32(0xAABBCCDD);
    texts(b);
    b.f64(0.5).f64(-0.25).f64(123.5);  // latitude, longitude, altitude
    b.f64(270.0).f64(3.5).f64(1.25);   // course, speed, dop
    b.u32(0x10004).u32(satellites);    // state, satellites
    b.u8(7).u8(13).u8(45).u8(12);      // day, hour, minute, month
    b.f64(30.25).u8(24);               // seconds, year
    return b;
}

TEST(PushpinFile, RecordIsWrittenByteForByteAndEveryFieldComesBack) {
    TempDir dir;
    CPushpins pins;
    CPushpin* p = pins.AddNew();
    p->icon = -2;
    p->reserved = 0xAABBCCDD;
    p->name = u"Ab\u00e9\u0141";
    p->latitude = 0.5;
    p->longitude = -0.25;
    p->altitude = 123.5;
    p->course = 270.0;
    p->speed = 3.5;
    p->dop = 1.25;
    p->state = 0x10004;
    p->satellites = 0x34;
    p->time.year = 24;
    p->time.month = 12;
    p->time.day = 7;
    p->time.hour = 13;
    p->time.minute = 45;
    p->time.seconds = 30.25;
    ASSERT_TRUE(pins.SaveFile(dir.file("p.kpp")));
    Bytes expected;
    expected.u32(1);
    record(
        expected, -2,
        [](Bytes& b) {
            b.raw(
                std::string("\xFF\xFE\xFF\x04"
                            "A\0b\0\xE9\0\x41\x01",
                            12));
            b.raw(std::string("\xFF\xFE\xFF\x00", 4));
        },
        0x34);
    const std::string bytes = readFile(dir.file("p.kpp"));
    EXPECT_EQ(bytes, expected.s);

    // Read and written again: the same bytes, so every field was read into its place.
    CPushpins back;
    PushpinLoadResult r = back.LoadFile(dir.file("p.kpp"));
    EXPECT_EQ(r.declared, 1u);
    EXPECT_EQ(r.added, 1);
    ASSERT_TRUE(back.SaveFile(dir.file("q.kpp")));
    EXPECT_EQ(readFile(dir.file("q.kpp")), expected.s);
}

TEST(PushpinFile, LongTextsUseTheLongerLengthForms) {
    TempDir dir;
    const struct {
        std::size_t length;
        std::string header;
    } cases[] = {{254, std::string("\xFF\xFE\xFF\xFE", 4)},
                 {255, std::string("\xFF\xFE\xFF\xFF\xFF\x00", 6)},
                 {0xFFFD, std::string("\xFF\xFE\xFF\xFF\xFD\xFF", 6)},
                 {0x10000, std::string("\xFF\xFE\xFF\xFF\xFF\xFF\x00\x00\x01\x00", 10)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        CPushpins pins;
        addPin(pins, std::string(c.length, 'a'), 0, 0)->note = u"n";
        ASSERT_TRUE(pins.SaveFile(dir.file("p.kpp")));
        EXPECT_EQ(readFile(dir.file("p.kpp")).substr(12, c.header.size()), c.header);
        CPushpins back;
        back.LoadFile(dir.file("p.kpp"));
        ASSERT_EQ(back.GetCount(), 1);
        EXPECT_EQ(back.GetAt(0)->name, std::u16string(c.length, u'a'));
        EXPECT_EQ(back.GetAt(0)->note, u"n");
    }
}

// A save that fails half-way (here: the file size limit, as a full disk would)
// keeps the previous file whole.
TEST(PushpinFile, FailedSaveKeepsThePreviousFile) {
    TempDir dir;
    std::string path = dir.file("p.kpp");
    CPushpins pins;
    addPin(pins, "old", 1, 1);
    ASSERT_TRUE(pins.SaveFile(path));
    const std::string before = readFile(path);
    for (int i = 0; i < 2000; ++i) {
        addPin(pins, "many more pushpins than fit", i * 0.01, 0);
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved = pins.SaveFile(path);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile(path), before);
}

// Byte offset of the length byte of record k's name (1-based) in a file this
// program wrote: every record holds two 16-bit texts, each after FF FE FF.
std::size_t nameLengthOffset(const std::string& file, int k) {
    std::size_t at = 0;
    for (int marker = 0; marker <= 2 * (k - 1); ++marker) {
        at = file.find("\xFF\xFE\xFF", at) + 3;
    }
    return at;
}

// A real many-pushpin file (a logger's 747 waypoints imported and saved) with
// one string-length byte changed: what follows is read shifted, as garbage.
TEST(PushpinFile, DamagedFileIsKeptAsideAndOnlyItsSoundRecordsAreRead) {
    TempDir root(true);
    CPushpins original;
    ASSERT_EQ(importPushpins(original, test::dataFile("waypoints/iblue747~csv.csv")).added, 747);
    ASSERT_TRUE(original.Save());
    const std::string path = CPushpins::DefaultFilePath();
    std::string damaged = readFile(path);
    damaged[nameLengthOffset(damaged, 118)] ^= 0x20;
    for (const char* kept : {".bad", "-2.bad"}) {
        SCOPED_TRACE(kept);
        writeFile(path, damaged);
        RecordingMessageBoxes boxes;
        CPushpins pins;
        PushpinLoadResult r = pins.Load();
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(r.added, 117);
        EXPECT_EQ(r.keptAs, path + kept);
        EXPECT_EQ(readFile(path + kept), damaged);
        EXPECT_EQ(namesOf(pins).back(), "Wpt_1");
        EXPECT_EQ(namesOf(pins).front(), "Wpt_117");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find("kept as " + path + kept), std::string::npos);
        // The next save writes the sound records; the kept copy stays.
        ASSERT_TRUE(pins.Save());
        EXPECT_EQ(CPushpins().LoadFile(path).added, 117);
    }
    EXPECT_EQ(readFile(path + ".bad"), damaged);
}

// Records that hold what no pushpin can end the read as damage, with where.
TEST(PushpinFile, ImpossibleValuesRandomDataAndTrailingBytesAreDamage) {
    auto withLatitude = [](double latitude) {
        Bytes b;
        b.u32(1).u32(1).u32(0).wide(u"x").wide(u"").f64(latitude).f64(0.1).f64(0);
        b.f64(0).f64(0).f64(0).u32(0).u32(0).u8(1).u8(2).u8(3).u8(4).f64(5).u8(24);
        return b.s;
    };
    std::string random(32 << 20, '\0');
    std::uint64_t x = 88172645463325252u;
    for (char& c : random) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        c = static_cast<char>(x);
    }
    const struct {
        std::string bytes;
        const char* problem;
    } cases[] = {
        {withLatitude(-3.8e66), "record 1: latitude -3.8e+66"},
        {withLatitude(NAN), "record 1: latitude nan"},
        {withLatitude(INFINITY), "record 1: latitude inf"},
        {withLatitude(1.58), "record 1: latitude 1.58"},
        {withLatitude(0.5) + "x", "data after the last of its 1 records"},
        {withLatitude(0.5).substr(0, 16) + "\x01" + withLatitude(0.5).substr(17),
         "record 1: a text with the character U+0001"},
        {withLatitude(0.5).substr(0, 40), "it ends in record 1 of 1"},
        {Bytes().u32(1).u32(0).u32(0).u8(0xFF).u16(0xFFFF).u32(1u << 21).s, "record 1: a text"},
        {random, "record 1"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        writeFile(dir.file("p.kpp"), c.bytes);
        CPushpins pins;
        PushpinLoadResult r = pins.LoadFile(dir.file("p.kpp"));
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(r.problem.rfind(c.problem, 0), 0u) << r.problem;
        EXPECT_EQ(pins.GetCount(), c.problem[0] == 'd' ? 1 : 0);
    }
    writeFile(dir.file("p.kpp"), withLatitude(kHalfPi));
    EXPECT_TRUE(CPushpins().LoadFile(dir.file("p.kpp")).clean()) << "the pole is a place";
}

}  // namespace
}  // namespace wp2
