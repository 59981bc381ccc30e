// wayplot2-tool settings: values set in one process are listed with the same
// name, type and value by the next, bad arguments change nothing, and the
// store is found through --root and WAYPLOT2_ROOT.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace wp2 {
namespace {

using test::fileExists;
using test::readFile;
using test::runProgram;
using test::RunResult;
using test::TempDir;

RunResult tool(const std::string& root, std::vector<std::string> args) {
    args.insert(args.begin(), {WAYPLOT2_TOOL, "--root", root});
    return runProgram(args);
}

TEST(SettingsTool, EveryValueTypeRoundTripsThroughTheStore) {
    TempDir tmp;
    struct Set {
        std::string name, type, value, listed;
    };
    // Listed in name order, as the tool prints them.
    const std::vector<Set> sets = {
        {"Driver", "text", "3,4800,8,0,0", "3,4800,8,0,0"},
        {"Hex", "dword", "0x7fffffff", "2147483647"},
        {"LastLat", "binary-double", "0.91234567890123451", "0.9123456789012345"},
        {"LastTarg", "dword", "-1", "-1"},
        {"Max", "dword", "4294967295", "-1"},
        {"Min", "dword", "-2147483648", "-2147483648"},
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
    RunResult listed = tool(tmp.path(), {"settings", "list"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, expected);
    EXPECT_EQ(listed.err, "");

    RunResult got = tool(tmp.path(), {"settings", "get", "note"});
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, sets[6].listed + "\n");

    std::string file = readFile(tmp.file("local-machine.reg"));
    EXPECT_NE(file.find("\"LastTarg\"=dword:ffffffff\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\"Overspeed\"=hex:66,66,66,66,66,66,26,40\n"), std::string::npos);
    EXPECT_NE(file.find("\"Note\"=\"Z\xc3\xbcrich \\\"quoted\\\" C:\\\\dir = x;\"\n"),
              std::string::npos);
}

TEST(SettingsTool, CorruptStoreIsSetAsideAndReported) {
    TempDir tmp;
    test::writeFile(tmp.file("local-machine.reg"), "scrambled");
    RunResult r = tool(tmp.path(), {"settings", "list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("could not be read"), std::string::npos);
    EXPECT_NE(r.err.find("local-machine.reg.bad"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(tmp.file("local-machine.reg.bad")), "scrambled");
}

}  // namespace
}  // namespace wp2
