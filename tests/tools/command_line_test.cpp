// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool's command line as a whole: --help and unknown options on every
// entry of the command table, files through "-" in pipes, and kept files
// never written to a terminal.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <tuple>

#include "support/test_support.h"

namespace wp2::test {
namespace {

std::vector<std::string> toolWith(const std::string& words, const std::vector<std::string>& more) {
    std::vector<std::string> argv{WAYPLOT2_TOOL};
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        argv.push_back(w);
    }
    argv.insert(argv.end(), more.begin(), more.end());
    return argv;
}

// Every entry that --help lists: its words ("pushpins import") with --help,
// -h, after "help", and with an option it does not take.
TEST(CommandLineTest, EveryEntryAnswersHelpAndNamesAnUnknownOption) {
    const std::string all = runProgram({WAYPLOT2_TOOL, "--help"}).out;
    std::istringstream lines(all.substr(all.find("Commands:\n") + 10));
    for (std::string line; std::getline(lines, line);) {
        SCOPED_TRACE(line);
        std::smatch words;
        ASSERT_TRUE(std::regex_search(line, words, std::regex("^  ([a-z]+( [a-z]+)?)")));
        const std::string name = words[1];
        const std::string usage = "usage: wayplot2-tool [--root DIR] " + line.substr(2) + "\n";
        const RunResult help = runProgram(toolWith(name, {"--help"}));
        EXPECT_EQ(std::tuple(help.status, help.out.substr(0, usage.size()), help.err),
                  std::tuple(0, usage, ""));
        EXPECT_EQ(runProgram(toolWith(name, {"-h"})).out, help.out);
        EXPECT_EQ(runProgram(toolWith("help " + name, {})).out, help.out);
        const RunResult bad = runProgram(toolWith(name, {"--no-such-option"}));
        EXPECT_EQ(std::tuple(bad.status, bad.out, bad.err),
                  std::tuple(2, "", "wayplot2-tool: unknown option '--no-such-option'\n" + usage));
    }
    const std::pair<std::string, std::string> faults[] = {
        {"decode --talkers gn x", "wayplot2-tool: --talkers: bad value 'gn'\n"},
        {"replay x y --talkers", "wayplot2-tool: --talkers needs a value\n"},
        {"track info --json=yes x", "wayplot2-tool: --json takes no value\n"},
        {"pushpins frob x", "wayplot2-tool: unknown command 'pushpins frob'\n"},
        {"replay x", "usage: wayplot2-tool [--root DIR] replay [--talkers any|gp] ["},
        {"track info x y",
         "usage: wayplot2-tool [--root DIR] track info [--json] FILE.{atk,gpx}\n"},
        {"map render --zoom 3 x y.png", "usage: wayplot2-tool [--root DIR] map render --centre"}};
    for (const auto& [words, error] : faults) {
        const RunResult r = runProgram(toolWith(words, {}));
        EXPECT_EQ(std::tuple(r.status, r.err.substr(0, error.size())), std::tuple(2, error));
    }
}

// Each command that takes "-" gives through pipes what it gives with files:
// a.* come through standard input or output, b.* from the same command on files.
TEST(CommandLineTest, DashReadsAndWritesPipesAsFiles) {
    TempDir dir;
    const std::string log = dataFile("nmea/long/leaflet-nmealayer-test.nmea");
    const std::string gpx = dataFile("gpx/gpsbabel/gdb-sample.gpx");
    struct Case {
        std::string piped, direct;
        std::vector<std::string> compared;  // each aNAME against bNAME
    };
    const Case cases[] = {
        {"cat $L | $T decode --talkers=gp - >a.csv", "$T decode --talkers gp $L >b.csv", {".csv"}},
        {"cat $L | $T replay - - 2>a.txt | cat >a.atk",
         "$T replay $L b.atk >b.txt",
         {".atk", ".txt"}},
        {"$T track export b.atk - | cat >a.gpx", "$T track export b.atk b.gpx", {".gpx"}},
        {"cat $G | $T track import - - | cat >a2.atk", "$T track import $G b2.atk", {"2.atk"}},
        {"cat $G | $T pushpins import a.kpp - --format gpx",
         "$T pushpins import b.kpp $G",
         {".kpp"}},
        {"$T pushpins export b.kpp - --format txt | cat >a.txt",
         "$T pushpins export b.kpp b.txt",
         {".txt"}},
        {"$T pushpins export b.kpp - --format gpx | cat >a.gpx",
         "$T pushpins export b.kpp b.gpx",
         {".gpx"}},
        {"$T pushpins salvage b.kpp - | cat >a3.kpp",
         "$T pushpins salvage b.kpp b3.kpp",
         {"3.kpp"}},
    };
    const std::string setup = "cd " + dir.path() + " && T='" + WAYPLOT2_TOOL + " --root " +
                              dir.path() + "' L=" + log + " G=" + gpx + " && ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.piped);
        ASSERT_EQ(runProgram({"/bin/sh", "-c", setup + c.direct}).status, 0);
        const RunResult piped = runProgram({"/bin/sh", "-c", setup + c.piped});
        ASSERT_EQ(piped.status, 0) << piped.err;
        for (const std::string& name : c.compared) {
            EXPECT_EQ(readFile(dir.file("a" + name)), readFile(dir.file("b" + name)));
            EXPECT_FALSE(readFile(dir.file("a" + name)).empty());
        }
    }
}

// Run by script(1), the tool's standard output and error are a terminal,
// whose output script passes on.
TEST(CommandLineTest, TrackAndPushpinFilesAreNeverWrittenToATerminal) {
    TempDir dir;
    const std::string tool = std::string(WAYPLOT2_TOOL) + " --root " + dir.path();
    const std::string kpp = dir.file("p.kpp");
    ASSERT_EQ(runProgram(toolWith("--root " + dir.path() + " pushpins import " + kpp,
                                  {dataFile("waypoints/radius.csv")}))
                  .status,
              0);
    const std::pair<std::string, std::string> cases[] = {
        {"replay " + dataFile("nmea/long/leaflet-nmealayer-test.nmea") + " -", "a track file"},
        {"pushpins salvage " + kpp + " -", "a pushpin file"}};
    for (const auto& [words, what] : cases) {
        const RunResult r =
            runProgram({"/usr/bin/script", "-qec", tool + " " + words, "/dev/null"});
        EXPECT_EQ(std::tuple(r.status, r.out),
                  std::tuple(1, "wayplot2-tool: " + what +
                                    " is not written to a terminal; send standard output to a "
                                    "file or a pipe\r\n"));
    }
}

}  // namespace
}  // namespace wp2::test
