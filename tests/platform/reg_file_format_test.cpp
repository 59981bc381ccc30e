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

TEST(RegFileFormat, RefusesMalformedFilesNamingTheLine) {
    const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\K]\n";
    struct Case {
        std::string text;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"garbage\n", "line 1: not a registry file"},
        {std::string("\x00\x01\x02 binary", 10), "line 1: not a registry file"},
        {"Windows Registry Editor Version 5.00\n\"A\"=dword:1\n", "line 2: value outside"},
        {head + "\"A\"=dword:123456789\n", "line 4: dword: needs"},
        {head + "\"A\"=dword:\n", "line 4: dword: needs"},
        {head + "\"A\"=dword:xyz\n", "line 4: dword: needs"},
        {head + "\"A\"=\"unterminated\n", "line 4: badly quoted"},
        {head + "\"A\"=\"bad \\n escape\"\n", "line 4: badly quoted"},
        {head + "\"A\"=\"x\" trailing\n", "line 4: badly quoted"},
        {head + "\"A\"=\"\xff\xfe\"\n", "line 4: text is not valid UTF-8"},
        {head + "\"A\"=hex:0g\n", "line 4: bad hex byte"},
        {head + "\"A\"=hex:100\n", "line 4: bad hex byte"},
        {head + "\"A\"=hex:01,,02\n", "line 4: bad hex byte"},
        {head + "\"A\"=hex:01,\\", "line 4: hex data continued past the end"},
        {head + "\"A\"=hex:01,\\\n", "line 4: bad hex byte"},
        {head + "\"A\"=hex(zz):01\n", "line 4: bad type number"},
        {head + "\"A\"=hexa:01\n", "line 4: unknown value type"},
        {head + "\"A\"=-\n", "line 4: deleting values"},
        {head + "\"A\"=42\n", "line 4: unknown value type"},
        {head + "A=dword:1\n", "line 4: expected a quoted value name"},
        {head + "\"A\" dword:1\n", "line 4: expected '='"},
        {head + "\"A\x01\"=dword:1\n", "line 4: invalid value name"},
        {head + "[HKEY_LOCAL_MACHINE\\K\n", "line 4: a key name must end"},
        {head + "[-HKEY_LOCAL_MACHINE\\K]\n", "line 4: deleting keys"},
        {head + "[HKEY_USERS\\K]\n", "line 4: unknown root key"},
        {head + "[HKEY_CURRENT_USER\\K]\n", "line 4: key of HKEY_CURRENT_USER in the file of"},
        {head + "[HKEY_LOCAL_MACHINE]\n", "line 4: invalid key path"},
        {head + "[HKEY_LOCAL_MACHINE\\a\\\\b]\n", "line 4: invalid key path"},
    };
    for (const auto& c : cases) {
        RegHive hive;
        std::string error;
        EXPECT_FALSE(RegFileFormat::parse(c.text, RegRoot::LocalMachine, hive, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "text: " << c.text << "\nerror: " << error;
    }
}

TEST(RegFileFormat, RandomStoresSurviveWritingAndReadingWithLongDataWrapped) {
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string chars = "abcXYZ09 _-.\\\"'[]=;@\t\n\x01\xc3\xa9";
    int continued = 0;
    for (int round = 0; round < 200; ++round) {
        RegHive hive;
        for (int k = 0; k < 3; ++k) {
            std::string key = "Key" + std::to_string(pick(4)) + "\\Sub]" + std::to_string(k);
            hive.createKey(key);
            for (int v = 0; v < 4; ++v) {
                std::string name;
                for (int i = pick(6); i > 0; --i) {
                    char c = chars[static_cast<std::size_t>(pick(static_cast<int>(chars.size())))];
                    name.push_back(c == '\t' || c == '\n' || c == '\x01' ? 'n' : c);
                }
                Bytes data(static_cast<std::size_t>(pick(v == 0 ? 300 : 40)));
                for (auto& b : data) {
                    b = static_cast<std::uint8_t>(pick(256));
                }
                std::string text;
                for (int i = pick(30); i > 0; --i) {
                    text.push_back(
                        chars[static_cast<std::size_t>(pick(static_cast<int>(chars.size())))]);
                }
                RegType types[] = {RegType::Sz, RegType::Dword, RegType::Binary,
                                   static_cast<RegType>(11)};
                RegType type = types[pick(4)];
                hive.set(key, name,
                         type == RegType::Sz && pick(2) ? sz(text) : RegValue{type, data});
            }
        }
        std::string file = RegFileFormat::format(RegRoot::LocalMachine, hive);
        std::istringstream lines(file);
        for (std::string line; std::getline(lines, line);) {
            ASSERT_LE(line.size(), 80u) << line;
            continued += !line.empty() && line.back() == '\\';
        }
        RegHive back;
        std::string error;
        ASSERT_TRUE(RegFileFormat::parse(file, RegRoot::LocalMachine, back, error)) << error << "\n"
                                                                                    << file;
        ASSERT_TRUE(back == hive) << file;
    }
    EXPECT_GT(continued, 1000);
}

}  // namespace
}  // namespace wp2
