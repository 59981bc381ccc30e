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

}  // namespace
}  // namespace wp2
