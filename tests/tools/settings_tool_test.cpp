// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool settings: values set in one process are listed with the same
// name, type and value by the next, bad arguments change nothing, and the
// store is found through --root and WAYPLOT2_ROOT.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/test_support.h"

namespace wp2::test {
namespace {

using ::testing::HasSubstr;

RunResult tool(const std::string& root, std::vector<std::string> args) {
    args.insert(args.begin(), {WAYPLOT2_TOOL, "--root", root});
    return runProgram(args);
}

TEST(SettingsTool, EveryValueTypeRoundTripsThroughTheStore) {
    TempDir tmp;
    struct Set {
        std::string name, type, value, listed;
    };
    // Listed in name order, as the tool prints them (the dword's range and
    // forms are the next test's).
    const std::vector<Set> sets = {
        {"Driver", "text", "3,4800,8,0,0", "3,4800,8,0,0"},
        {"LastLat", "binary-double", "0.91234567890123451", "0.9123456789012345"},
        {"Note", "text", "Z\xc3\xbcrich \"quoted\" C:\\dir = x;",
         "Z\xc3\xbcrich \"quoted\" C:\\dir = x;"},
        {"Overspeed", "binary-double", "11.2", "11.2"},
        // The smallest denormal: 15 digits already read back as the same double.
        {"Tiny", "binary-double", "-4.9406564584124654e-324", "-4.94065645841247e-324"},
        {"WarmStart", "dword", "1", "1"},
        {"Z Empty", "text", "", ""},
    };
    std::string expected;
    for (const auto& s : sets) {
        RunResult r = tool(tmp.path(), {"settings", "set", s.name, s.type, s.value});
        ASSERT_EQ(r.status, 0) << s.name << ": " << r.err;
        expected += s.name + "\t" + s.type + "\t" + s.listed + "\n";
    }
    const RunResult listed = tool(tmp.path(), {"settings", "list"});
    EXPECT_EQ(std::tuple(listed.status, listed.out, listed.err), std::tuple(0, expected, ""));
    const RunResult got = tool(tmp.path(), {"settings", "get", "note"});
    EXPECT_EQ(std::tuple(got.status, got.out), std::tuple(0, sets[2].listed + "\n"));
}

// A dword is -2147483648..4294967295 in decimal or 0x0..0xffffffff: a number
// outside that or not a number at all is refused with the usage and changes
// nothing; each boundary is stored.
TEST(SettingsTool, DwordOutOfRangeOrMalformedIsRefused) {
    TempDir tmp;
    // Each text and what get prints after it ("": refused).
    std::vector<std::pair<std::string, std::string>> rows = {{"4294967295", "-1"},
                                                             {"-2147483648", "-2147483648"},
                                                             {"0xFFFFFFFF", "-1"},
                                                             {"0x0", "0"},
                                                             {"0009", "9"}};
    for (const char* refused : {"4294967296", "-2147483649", "0x100000000", "99999999999", "-0x1",
                                "+1", "1.5", "12a", "0x", "-", "", " 1", "0xg"}) {
        rows.emplace_back(refused, "");
    }
    for (const auto& [text, stored] : rows) {
        SCOPED_TRACE(text);
        tool(tmp.path(), {"settings", "set", "N", "dword", "7"});
        const RunResult set = tool(tmp.path(), {"settings", "set", "N", "dword", text});
        const RunResult got = tool(tmp.path(), {"settings", "get", "N"});
        EXPECT_EQ(set.status, stored.empty() ? 2 : 0);
        EXPECT_EQ(set.err.rfind("usage: wayplot2-tool", 0) == 0, stored.empty()) << set.err;
        EXPECT_EQ(got.out, (stored.empty() ? "7" : stored) + "\n");
    }
}

TEST(SettingsTool, CorruptStoreIsSetAsideAndReported) {
    TempDir tmp;
    writeFile(tmp.file("local-machine.reg"), "scrambled");
    const RunResult r = tool(tmp.path(), {"settings", "list"});
    EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(0, ""));
    EXPECT_THAT(r.err, HasSubstr("could not be read"));
    EXPECT_THAT(r.err, HasSubstr("local-machine.reg.bad"));
    EXPECT_EQ(readFile(tmp.file("local-machine.reg.bad")), "scrambled");
}

}  // namespace
}  // namespace wp2::test
