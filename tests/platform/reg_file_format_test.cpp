// SPDX-License-Identifier: GPL-3.0-or-later
// The text of the settings store files: what is written for each value type,
// what is accepted from hand-edited or Windows-exported files, and what is
// refused with the line it was found on.

#include "platform/reg_file_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/utf.h"
#include "core/settings/reg_number.h"
#include "core/settings/reg_sz.h"

namespace wp2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

RegValue sz(const std::string& text) {
    return RegValue{RegType::Sz, encodeRegSz(text)};
}

TEST(RegFileFormat, WritesEachTypeInRegistryExportSyntax) {
    RegHive hive;
    const std::string key = "Software\\KELM\\Wayplot2";
    hive.set(key, "WarmStart", RegValue{RegType::Dword, dwordBytes(1)});
    hive.set(key, "LastTarg", RegValue{RegType::Dword, dwordBytes(0xFFFFFFFF)});
    hive.set(key, "LastLat", RegValue{RegType::Binary, doubleBytes(10.0)});
    hive.set(key, "Driver", sz("1,4800,8,0,0"));
    hive.set(key, "Quote\"and\\", sz("C:\\dir \"x\" \xc3\xa9"));
    hive.set(key, "", sz("default"));
    hive.set(key, "Lines", sz("a\nb"));                             // not quotable
    hive.set(key, "NoZero", RegValue{RegType::Sz, Bytes{'a', 0}});  // not quotable
    hive.set(key, "Multi", RegValue{static_cast<RegType>(7), Bytes{'a', 0, 0, 0}});
    hive.set(key, "ShortDword", RegValue{RegType::Dword, Bytes{1, 2}});
    hive.createKey("SOFTWARE\\Widcomm\\BtConfig\\AutoConnect\\0008");
    EXPECT_EQ(RegFileFormat::format(RegRoot::LocalMachine, hive),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\KELM\\Wayplot2]\n"
              "@=\"default\"\n"
              "\"Driver\"=\"1,4800,8,0,0\"\n"
              "\"LastLat\"=hex:00,00,00,00,00,00,24,40\n"
              "\"LastTarg\"=dword:ffffffff\n"
              "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\n"
              "\"Multi\"=hex(7):61,00,00,00\n"
              "\"NoZero\"=hex(1):61,00\n"
              "\"Quote\\\"and\\\\\"=\"C:\\\\dir \\\"x\\\" \xc3\xa9\"\n"
              "\"ShortDword\"=hex(4):01,02\n"
              "\"WarmStart\"=dword:00000001\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Widcomm\\BtConfig\\AutoConnect\\0008]\n"
              "\n");
    RegHive back;
    std::string error;
    ASSERT_TRUE(RegFileFormat::parse(RegFileFormat::format(RegRoot::LocalMachine, hive),
                                     RegRoot::LocalMachine, back, error))
        << error;
    EXPECT_TRUE(back == hive);
}

// Hand-edited and exported files: each body below the key line, as format()
// writes the value it holds, or the error naming the line an entry starts on.
TEST(RegFileFormat, ReadsWhatEditorsWriteAndNamesTheLineOfWhatItRefuses) {
    const std::string head = "Windows Registry Editor Version 5.00\n\n[HKLM\\Software\\X]\n";
    for (const auto& [body, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {"\"A\"=\"q\\\"b\\\\\"", "\"A\"=\"q\\\"b\\\\\""},
             {"\"A\" = \"\" \r\n\"B\"=dword:A", "\"A\"=\"\"\n\"B\"=dword:0000000a"},
             {"\"A\"=hex:01,0\\\n  2, 03", "\"A\"=hex:01,02,03"},  // continued mid-item
             {"\"A\"=hex(7):\\\n\n@=hex:", "@=hex:\n\"A\"=hex(7):"},
             {"\"A\"=\"x\" y", "line 4: badly quoted text"},
             {"\"A\"=\"\xff\"", "line 4: text is not valid UTF-8"},
             {"\n\"A\"=hex:01,\\\n02,\\\n,03", "line 5: bad hex byte list"},
             {"\"A\"=hex:123", "line 4: bad hex byte list"},
             {"\"A\"=hex:01,\\", "line 4: hex data continued past the end of the file"},
             {"A=1", "line 4: expected a quoted value name or @"}}) {
        SCOPED_TRACE(body);
        RegHive hive;
        std::string error;
        const bool read = RegFileFormat::parse(head + body, RegRoot::LocalMachine, hive, error);
        EXPECT_EQ(read ? RegFileFormat::format(RegRoot::LocalMachine, hive) : error,
                  read ? "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\"
                         "Software\\X]\n" +
                             expected + "\n\n"
                       : expected);
    }
    // A UTF-16 export with its byte-order mark.
    std::string utf16 = "\xff\xfe";
    for (char16_t unit : toUtf16(head + "\"A\"=\"\xc3\xa9\"\r\n")) {
        utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    RegHive hive;
    std::string error;
    ASSERT_TRUE(RegFileFormat::parse(utf16, RegRoot::LocalMachine, hive, error)) << error;
    EXPECT_EQ(*hive.find("Software\\X", "A"), sz("\xc3\xa9"));
    // A character beyond 16 bits takes a surrogate pair on both ways from UTF-8.
    EXPECT_EQ(encodeRegSz("a\xF0\x9F\x98\x80"),
              (std::vector<std::uint8_t>{'a', 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
}

}  // namespace
}  // namespace wp2
