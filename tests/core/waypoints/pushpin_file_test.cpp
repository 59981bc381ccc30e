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

TEST(PushpinFile, RecordIsWrittenByteForByte) {
    TempDir dir;
    CPushpins pins;
    CPushpin* p = pins.AddNew();
    p->icon = -2;
    p->reserved = 0xAABBCCDD;
    p->name = u"Ab\u00e9\u0141";
    p->note = u"";
    p->latitude = 0.5;
    p->longitude = -0.25;
    p->altitude = 123.5;
    p->course = 270.0;
    p->speed = 3.5;
    p->dop = 1.25;
    p->state = 0x10004;
    p->satellites = 0x34;
    p->time.day = 7;
    p->time.hour = 13;
    p->time.minute = 45;
    p->time.month = 12;
    p->time.seconds = 30.25;
    p->time.year = 24;
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
    EXPECT_EQ(readFile(dir.file("p.kpp")), expected.s);
}

TEST(PushpinFile, SavedCollectionLoadsWithEveryFieldInPlace) {
    TempDir dir;
    CPushpins pins;
    for (int i = 0; i < 5; ++i) {
        CPushpin* p = addPin(pins, "pin " + std::to_string(i), i * 1.5, -i * 2.25, i * 10.0);
        p->note = u"note \u20ac" + std::u16string(static_cast<std::size_t>(i), u'x');
        p->icon = i;
        p->reserved = static_cast<std::uint32_t>(i * 1000);
        p->course = i;
        p->speed = i * 0.5;
        p->dop = i * 0.25;
        p->state = 0xFFFF0000u | static_cast<std::uint32_t>(i);
        p->satellites = static_cast<std::uint8_t>(200 + i);
        p->time.year = static_cast<std::uint8_t>(i);
        p->time.month = 2;
        p->time.day = 3;
        p->time.hour = 4;
        p->time.minute = 5;
        p->time.seconds = 6.75;
    }
    ASSERT_TRUE(pins.SaveFile(dir.file("p.kpp")));
    CPushpins back;
    PushpinLoadResult r = back.LoadFile(dir.file("p.kpp"));
    EXPECT_EQ(r.declared, 5u);
    EXPECT_EQ(r.added, 5);
    ASSERT_EQ(back.GetCount(), 5);
    auto a = pins.begin();
    for (const CPushpin& b : back) {
        EXPECT_EQ(b.name, a->name);
        EXPECT_EQ(b.note, a->note);
        EXPECT_EQ(b.icon, a->icon);
        EXPECT_EQ(b.reserved, a->reserved);
        EXPECT_EQ(b.latitude, a->latitude);
        EXPECT_EQ(b.longitude, a->longitude);
        EXPECT_EQ(b.altitude, a->altitude);
        EXPECT_EQ(b.course, a->course);
        EXPECT_EQ(b.speed, a->speed);
        EXPECT_EQ(b.dop, a->dop);
        EXPECT_EQ(b.state, a->state);
        EXPECT_EQ(b.satellites, a->satellites);
        EXPECT_EQ(b.time, a->time);
        ++a;
    }
}

TEST(PushpinFile, LongTextsUseTheLongerLengthForms) {
    TempDir dir;
    CPushpins pins;
    addPin(pins, std::string(254, 'a'), 0, 0);
    ASSERT_TRUE(pins.SaveFile(dir.file("a.kpp")));
    EXPECT_EQ(readFile(dir.file("a.kpp")).substr(12, 4), "\xFF\xFE\xFF\xFE");

    pins.RemoveAll();
    addPin(pins, std::string(255, 'b'), 0, 0);
    ASSERT_TRUE(pins.SaveFile(dir.file("b.kpp")));
    EXPECT_EQ(readFile(dir.file("b.kpp")).substr(12, 6),
              std::string("\xFF\xFE\xFF\xFF\xFF\x00", 6));

    pins.RemoveAll();
    CPushpin* big = addPin(pins, std::string(0x10000, 'c'), 0, 0);
    big->note = std::u16string(0xFFFD, u'd');
    ASSERT_TRUE(pins.SaveFile(dir.file("c.kpp")));
    std::string c = readFile(dir.file("c.kpp"));
    EXPECT_EQ(c.substr(12, 10), std::string("\xFF\xFE\xFF\xFF\xFF\xFF\x00\x00\x01\x00", 10));
    std::size_t note = 12 + 10 + 2 * 0x10000;
    EXPECT_EQ(c.substr(note, 6), std::string("\xFF\xFE\xFF\xFF\xFD\xFF", 6));

    for (auto [file, name] : {std::pair{"a.kpp", std::u16string(254, u'a')},
                              std::pair{"b.kpp", std::u16string(255, u'b')}}) {
        CPushpins back;
        back.LoadFile(dir.file(file));
        ASSERT_EQ(back.GetCount(), 1);
        EXPECT_EQ(back.GetAt(0)->name, name);
    }
    CPushpins back;
    back.LoadFile(dir.file("c.kpp"));
    EXPECT_EQ(back.GetAt(0)->name, big->name);
    EXPECT_EQ(back.GetAt(0)->note, big->note);
}

TEST(PushpinFile, EightBitTextsAreWidenedOnReading) {
    TempDir dir;
    Bytes file;
    file.u32(2);
    record(file, 1, [](Bytes& b) { b.narrow("Caf\xE9").narrow(""); });
    // 8-bit text with the two-byte length form.
    record(file, 2, [](Bytes& b) {
        b.u8(0xFF).u16(300).raw(std::string(300, 'z'));
        b.narrow("n");
    });
    writeFile(dir.file("p.kpp"), file.s);
    CPushpins pins;
    PushpinLoadResult r = pins.LoadFile(dir.file("p.kpp"));
    EXPECT_FALSE(r.damaged);
    ASSERT_EQ(pins.GetCount(), 2);
    EXPECT_EQ(pins.GetAt(1)->name, u"Caf\u00e9");
    EXPECT_EQ(pins.GetAt(0)->name, std::u16string(300, u'z'));
    EXPECT_EQ(pins.GetAt(0)->note, u"n");
    // The satellite count keeps its low 8 bits; the other fields arrive in order.
    const CPushpin& p = *pins.GetAt(1);
    EXPECT_EQ(p.satellites, 0x34);
    EXPECT_EQ(p.reserved, 0xAABBCCDDu);
    EXPECT_EQ(p.altitude, 123.5);
    EXPECT_EQ(p.course, 270.0);
    EXPECT_EQ(p.speed, 3.5);
    EXPECT_EQ(p.dop, 1.25);
    EXPECT_EQ(p.state, 0x10004u);
    EXPECT_EQ(p.time.day, 7);
    EXPECT_EQ(p.time.hour, 13);
    EXPECT_EQ(p.time.minute, 45);
    EXPECT_EQ(p.time.month, 12);
    EXPECT_EQ(p.time.seconds, 30.25);
    EXPECT_EQ(p.time.year, 24);
}

TEST(PushpinFile, MissingFileLeavesTheCollectionAloneSilently) {
    TempDir dir;
    RecordingMessageBoxes boxes;
    CPushpins pins;
    addPin(pins, "kept", 1, 1);
    PushpinLoadResult r = pins.LoadFile(dir.file("none.kpp"));
    EXPECT_FALSE(r.opened);
    EXPECT_EQ(pins.GetCount(), 1);
    EXPECT_TRUE(boxes.shown.empty());
}

// Damaged files: what came before the damage is kept and the user is told.
class DamagedPushpinFile : public ::testing::Test {
protected:
    std::string twoGoodRecords() {
        Bytes b;
        record(b, 1, [](Bytes& t) { t.wide(u"first").wide(u""); });
        record(b, 2, [](Bytes& t) { t.wide(u"second").wide(u""); });
        return b.s;
    }
    PushpinLoadResult load(const std::string& bytes) {
        writeFile(dir.file("p.kpp"), bytes);
        return pins.LoadFile(dir.file("p.kpp"));
    }
    TempDir dir;
    RecordingMessageBoxes boxes;
    CPushpins pins;
};

TEST_F(DamagedPushpinFile, EndingInsideARecordKeepsTheWholeOnes) {
    Bytes head;
    head.u32(3);
    Bytes third;
    record(third, 3, [](Bytes& t) { t.wide(u"third").wide(u""); });
    std::string cut = head.s + twoGoodRecords() + third.s.substr(0, 30);
    PushpinLoadResult r = load(cut);
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(namesOf(pins), (std::vector<std::string>{"second", "first"}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("Only 2 waypoints have been read"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].caption, "Wayplot2");
}

TEST_F(DamagedPushpinFile, AbsurdCountReadsWhatIsThere) {
    Bytes head;
    head.u32(0xFFFFFFFF);
    PushpinLoadResult r = load(head.s + twoGoodRecords());
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(r.declared, 0xFFFFFFFFu);
    EXPECT_EQ(pins.GetCount(), 2);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(DamagedPushpinFile, HugeTextLengthsDoNotAllocateWhatIsNotThere) {
    for (std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        Bytes b;
        b.u32(3);
        b.s += twoGoodRecords();
        b.u32(5).u32(0).u8(0xFF).u16(0xFFFE).u8(0xFF).u16(0xFFFF).u32(length).raw("ab");
        pins.RemoveAll();
        PushpinLoadResult r = load(b.s);
        EXPECT_TRUE(r.damaged) << length;
        EXPECT_EQ(pins.GetCount(), 2) << length;
    }
}

TEST_F(DamagedPushpinFile, EmptyFileOrShortCountIsReported) {
    PushpinLoadResult r = load("");
    EXPECT_TRUE(r.opened);
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(pins.GetCount(), 0);
    r = load("\x01\x00");
    EXPECT_TRUE(r.damaged);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(DamagedPushpinFile, ExtraBytesAfterTheRecordsAreIgnored) {
    Bytes head;
    head.u32(2);
    PushpinLoadResult r = load(head.s + twoGoodRecords() + "junk");
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(pins.GetCount(), 2);
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
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.kpp.saving")));
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
    EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
}

}  // namespace
}  // namespace wp2
