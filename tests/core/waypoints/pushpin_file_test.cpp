#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/paths.h"
#include "core/waypoints/cpushpins.h"
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

TEST(PushpinFile, EmptyCollectionIsFourZeroBytes) {
    TempDir dir;
    std::string path = dir.file("p.kpp");
    CPushpins pins;
    ASSERT_TRUE(pins.SaveFile(path));
    EXPECT_EQ(readFile(path), std::string(4, '\0'));
    CPushpins back;
    PushpinLoadResult r = back.LoadFile(path);
    EXPECT_TRUE(r.opened);
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(back.GetCount(), 0);
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

TEST(PushpinFile, EightBitTextsAreWidenedOnReading) {
    TempDir dir;
    Bytes file;
    file.u32(2);
    record(file, 1, [](Bytes& b) { b.narrow("Caf\xE9").narrow(""); });
    record(file, 2, [](Bytes& b) {  // the two-byte length form
        b.u8(0xFF).u16(300).raw(std::string(300, 'z'));
        b.narrow("n");
    });
    writeFile(dir.file("p.kpp"), file.s);
    CPushpins pins;
    EXPECT_FALSE(pins.LoadFile(dir.file("p.kpp")).damaged);
    ASSERT_EQ(pins.GetCount(), 2);
    EXPECT_EQ(pins.GetAt(1)->name, u"Caf\u00e9");
    EXPECT_EQ(pins.GetAt(0)->name, std::u16string(300, u'z'));
    EXPECT_EQ(pins.GetAt(0)->note, u"n");
    // The satellite count keeps its low 8 bits; the fields after the texts line up.
    const CPushpin& p = *pins.GetAt(1);
    EXPECT_EQ(p.satellites, 0x34);
    EXPECT_EQ(p.reserved, 0xAABBCCDDu);
    EXPECT_EQ(p.altitude, 123.5);
    EXPECT_EQ(p.state, 0x10004u);
    EXPECT_EQ(p.time.seconds, 30.25);
    EXPECT_EQ(p.time.year, 24);
}

// What came before damage is kept, and the user is told; a missing file is quiet.
TEST(PushpinFile, DamagedFilesKeepTheWholeRecordsBeforeTheDamage) {
    Bytes good;
    record(good, 1, [](Bytes& t) { t.wide(u"first").wide(u""); });
    record(good, 2, [](Bytes& t) { t.wide(u"second").wide(u""); });
    Bytes third;
    record(third, 3, [](Bytes& t) { t.wide(u"third").wide(u""); });
    auto hugeText = [&](std::uint32_t length) {
        Bytes b;
        b.u32(3).raw(good.s);
        b.u32(5).u32(0).u8(0xFF).u16(0xFFFE).u8(0xFF).u16(0xFFFF).u32(length).raw("ab");
        return b.s;
    };
    const struct {
        const char* what;
        std::string bytes;
        bool damaged;
        int count;
    } cases[] = {
        {"cut inside a record", Bytes().u32(3).s + good.s + third.s.substr(0, 30), true, 2},
        {"absurd count", Bytes().u32(0xFFFFFFFF).s + good.s, true, 2},
        {"text length 0x7FFFFFFF", hugeText(0x7FFFFFFFu), true, 2},
        {"text length 0xFFFFFFFE", hugeText(0xFFFFFFFEu), true, 2},
        {"text length 0xFFFFFFFF", hugeText(0xFFFFFFFFu), true, 2},
        {"empty file", "", true, 0},
        {"short count", std::string("\x01\x00", 2), true, 0},
        {"extra bytes after the records", Bytes().u32(2).s + good.s + "junk", false, 2},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMessageBoxes boxes;
        writeFile(dir.file("p.kpp"), c.bytes);
        CPushpins pins;
        PushpinLoadResult r = pins.LoadFile(dir.file("p.kpp"));
        EXPECT_TRUE(r.opened);
        EXPECT_EQ(r.damaged, c.damaged);
        ASSERT_EQ(pins.GetCount(), c.count);
        if (c.count) {
            EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"second", "first"}));
        }
        ASSERT_EQ(boxes.shown.size(), c.damaged ? 1u : 0u);
        if (c.damaged) {
            EXPECT_NE(boxes.shown[0].text.find("Only " + std::to_string(c.count) +
                                               " waypoints have been read"),
                      std::string::npos);
            EXPECT_EQ(boxes.shown[0].caption, "Wayplot2");
        }
    }
    RecordingMessageBoxes boxes;
    CPushpins pins;
    addPin(pins, "kept", 1, 1);
    EXPECT_FALSE(pins.LoadFile(dir.file("none.kpp")).opened);
    EXPECT_EQ(pins.GetCount(), 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(PushpinFile, DefaultFileLivesInMyDocumentsUnderTheRoot) {
    TempDir root(true);
    CPushpins pins;
    addPin(pins, "home", 52, 13);
    ASSERT_TRUE(pins.Save());
    EXPECT_TRUE(std::filesystem::exists(root.path() + "/My Documents/Pushpins.kpp"));
    CPushpins back;
    EXPECT_TRUE(back.Load().opened);
    EXPECT_EQ(namesOf(back), std::vector<std::string>{"home"});
}

TEST(PushpinFile, SaveThatCannotCreateTheFileLeavesNothingBehind) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("p.kpp"));  // a folder in the way
    CPushpins pins;
    addPin(pins, "x", 1, 1);
    EXPECT_FALSE(pins.SaveFile(dir.file("p.kpp")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("p.kpp")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
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

}  // namespace
}  // namespace wp2
