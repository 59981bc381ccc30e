// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>

#include "core/base/paths.h"
#include "core/waypoints/pushpin_import.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpin_test_util.h"
#include "core/waypoints/pushpins.h"
#include "support/le_bytes.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

using test::addPin;
using test::nameLengthOffset;
using test::namesOf;
using test::readFile;
using test::TempDir;
using test::writeFile;

// Bytes of hand-made pushpin files: 8-bit texts and marked 16-bit ones.
struct Bytes : test::LittleEndianBytes<Bytes> {
    Bytes& narrow(const std::string& t) {
        s += static_cast<char>(t.size());
        s += t;
        return *this;
    }
    Bytes& wide(const std::u16string& t) {
        u8(0xFF).u16(0xFFFE).u8(static_cast<unsigned>(t.size()));
        for (char16_t c : t) {
            u16(c);
        }
        return *this;
    }
};

TEST(PushpinFile, RecordIsReadIntoItsFieldsAndWrittenBackByteForByte) {
    TempDir dir;
    Bytes file;                                   // one record, in the file's field order
    file.u32(1).u32(0xFFFFFFFE).u32(0xAABBCCDD);  // count; icon, reserved
    file.wide(u"Ab\u00e9\u0141").wide(u"");       // name, note
    file.f64(0.5).f64(-0.25).f64(123.5);          // latitude, longitude, altitude
    file.f64(270.0).f64(3.5).f64(1.25);           // course, speed, dop
    file.u32(0x10004).u32(0x34);                  // state, satellites
    file.u8(7).u8(13).u8(45).u8(12);              // day, hour, minute, month
    file.f64(30.25).u8(24);                       // seconds, year
    writeFile(dir.file("p.kpp"), file.s);
    Pushpins pins;
    const PushpinLoadResult r = pins.loadFile(dir.file("p.kpp"));
    EXPECT_EQ(std::tuple(r.declared, r.added), std::tuple(1u, 1));
    const Pushpin& p = *pins.at(0);
    EXPECT_EQ(p.name, "Ab\u00e9\u0141");
    EXPECT_EQ((std::vector<double>{p.latitude, p.longitude, p.altitude, p.course, p.speed, p.dop,
                                   p.time.seconds}),
              (std::vector<double>{0.5, -0.25, 123.5, 270.0, 3.5, 1.25, 30.25}));
    const GpsDateTime& t = p.time;
    EXPECT_EQ(
        (std::vector<std::uint32_t>{static_cast<std::uint32_t>(p.icon), p.reserved, p.state,
                                    p.satellites, t.day, t.hour, t.minute, t.month, t.year}),
        (std::vector<std::uint32_t>{0xFFFFFFFE, 0xAABBCCDD, 0x10004, 0x34, 7, 13, 45, 12, 24}));
    ASSERT_TRUE(pins.saveFile(dir.file("q.kpp")));
    EXPECT_EQ(readFile(dir.file("q.kpp")), file.s);
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
        Pushpins pins;
        addPin(pins, std::string(c.length, 'a'), 0, 0)->note.push_back('n');
        ASSERT_TRUE(pins.saveFile(dir.file("p.kpp")));
        EXPECT_EQ(readFile(dir.file("p.kpp")).substr(12, c.header.size()), c.header);
        Pushpins back;
        back.loadFile(dir.file("p.kpp"));
        ASSERT_EQ(back.count(), 1);
        EXPECT_EQ(back.at(0)->name, std::string(c.length, 'a'));
        EXPECT_EQ(back.at(0)->note, "n");
    }
}

// Byte offset where record k (1-based) begins in a file this program wrote.
std::size_t recordOffset(const std::string& file, int k) {
    return nameLengthOffset(file, k) - 3 - 8;
}

// A real many-pushpin file (a logger's 747 waypoints imported and saved) with
// the name length of record 1 and of record 118 changed (what follows each is
// read shifted, as garbage) and random bytes put between records 300 and 301:
// every intact record is read, and the user is told how many were skipped.
TEST(PushpinFile, DamagedFileIsKeptAsideAndEveryIntactRecordIsRead) {
    TempDir root(true);
    Pushpins original;
    ASSERT_EQ(importPushpins(original, test::dataFile("waypoints/iblue747~csv.csv")).added, 747);
    ASSERT_TRUE(original.save());
    const std::string path = Pushpins::defaultFilePath();
    std::string damaged = readFile(path);
    damaged.insert(recordOffset(damaged, 301), test::randomBytes(4096, 11));
    damaged[nameLengthOffset(damaged, 118)] ^= 0x20;
    damaged[nameLengthOffset(damaged, 1)] ^= 0x20;
    std::vector<std::string> intact;  // index order: the newest first
    for (int k = 747; k >= 1; --k) {
        if (k != 1 && k != 118) {
            intact.push_back("Wpt_" + std::to_string(k));
        }
    }
    for (const char* kept : {".bad", "-2.bad"}) {
        SCOPED_TRACE(kept);
        writeFile(path, damaged);
        Pushpins pins;
        PushpinLoadResult r = pins.load();
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(r.keptAs, path + kept);
        EXPECT_EQ(readFile(path + kept), damaged);
        EXPECT_EQ(namesOf(pins), intact);
        const std::string told = damagedPushpinFileText(path, r);
        EXPECT_NE(told.find("745 waypoints have been read; 2 damaged ones were "
                            "skipped\nThe damaged file was kept as " +
                            path + kept),
                  std::string::npos)
            << told;
        // The next save writes the sound records; the kept copy stays.
        ASSERT_TRUE(pins.save());
        EXPECT_EQ(Pushpins().loadFile(path).added, 745);
    }
    EXPECT_EQ(readFile(path + ".bad"), damaged);
}

// A file of 8-bit texts (no mark to look for) is searched at every byte: a
// damaged name length costs only its record, and no record is made up of
// the damaged one's pieces.
TEST(PushpinFile, EightBitFileGoesOnAfterADamagedRecord) {
    Bytes b;
    b.u32(6);
    std::vector<std::string> names;
    std::vector<std::size_t> starts;
    for (int k = 1; k <= 6; ++k) {
        starts.push_back(b.s.size());
        b.u32(k).u32(0).narrow("Point " + std::to_string(k)).narrow("");
        b.f64(0.1 * k).f64(0.2).f64(0).f64(0).f64(0).f64(0).u32(0).u32(0);
        b.u8(1).u8(2).u8(3).u8(4).f64(5).u8(24);
        names.insert(names.begin(), "Point " + std::to_string(k));
    }
    b.s[starts[1] + 8] += 30;  // record 2's name length
    names.erase(names.end() - 2);
    TempDir dir;
    writeFile(dir.file("p.kpp"), b.s);
    Pushpins pins;
    const PushpinLoadResult r = pins.loadFile(dir.file("p.kpp"));
    EXPECT_EQ(namesOf(pins), names);
    EXPECT_EQ(r.skipped, 1u);
    EXPECT_TRUE(r.damaged);
}

// Records that hold what no pushpin can end the read as damage, with where.
TEST(PushpinFile, ImpossibleValuesShortRecordsAndTrailingBytesAreDamage) {
    auto withLatitude = [](double latitude, const std::u16string& name = u"x") {
        Bytes b;
        b.u32(1).u32(1).u32(0).wide(name).wide(u"").f64(latitude).f64(0.1).f64(0);
        b.f64(0).f64(0).f64(0).u32(0).u32(0).u8(1).u8(2).u8(3).u8(4).f64(5).u8(24);
        return b.s;
    };
    // Random bytes (a count of billions of records): refused at the first
    // record, with nothing reserved for the count.
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
        // Half of a surrogate pair alone: UTF-8 cannot hold it, so the record
        // is refused rather than changed; checked in the order of the fields.
        {withLatitude(0.5, u"a\xD800"), "record 1: a text with the character U+D800"},
        {withLatitude(0.5, u"\xFFFF\xDC00"), "record 1: a text with the character U+FFFF"},
        {withLatitude(1.58, u"\xDC00"), "record 1: latitude 1.58"},
        {withLatitude(0.5).substr(0, 40), "it ends in record 1 of 1"},
        {Bytes().u32(1).u32(0).u32(0).u8(0xFF).u16(0xFFFF).u32(1u << 21).s, "record 1: a text"},
        {test::randomBytes(1 << 20, 7), "record 1: "},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        writeFile(dir.file("p.kpp"), c.bytes);
        Pushpins pins;
        PushpinLoadResult r = pins.loadFile(dir.file("p.kpp"));
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(r.problem.rfind(c.problem, 0), 0u) << r.problem;
        EXPECT_EQ(pins.count(), c.problem[0] == 'd' ? 1 : 0);
    }
    writeFile(dir.file("p.kpp"), withLatitude(kHalfPi, u"\U0001F600"));
    Pushpins pole;
    EXPECT_TRUE(pole.loadFile(dir.file("p.kpp")).clean()) << "the pole is a place";
    EXPECT_EQ(namesOf(pole), std::vector<std::string>{"\xF0\x9F\x98\x80"});
}

}  // namespace
}  // namespace wp2
