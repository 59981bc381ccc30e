// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command table of wayplot2-tool (tool_commands.cpp). Every command and
// every sub-command is one entry: its words, its plain arguments, its options
// with their help lines, and the function that runs it. The usage lines,
// --help of each command, the argument checks and the bash completion (which
// asks --help for the options) all come from the table:
//
//   {"pushpins import", "FILE.kpp SOURCE...", "Add the waypoints of each SOURCE.",
//    {{{"--format", "gpx|csv|loc|txt", "the kind of a SOURCE read from standard input"}}},
//    runPushpinsImport},
//
// The options may be given anywhere among the arguments, as "--name VALUE" or
// "--name=VALUE"; "--" ends them; "-" alone is an argument (standard input or
// output). A value made of lower-case words separated by "|" is one of those
// words; any other value is free text the handler checks. The handler runs
// only with the arguments and required options the entry asks for.
//
// A new entry needs its usage line, as --help prints it, in the manual page
// (help_matches_docs checks it and the options), and the kinds of file of its
// arguments in the bash completion's table.

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace wp2::tool {

// Exit statuses shared by the sub-commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Option {
    const char* name = nullptr;   // "--talkers"
    const char* value = nullptr;  // "any|gp", "N", "PATH"; nullptr for a switch
    const char* help = nullptr;   // one line for --help
    bool required = false;        // shown without brackets, and checked
};

inline constexpr std::size_t kMaxOptions = 8;

struct Invocation;

struct Command {
    const char* words;      // "decode", "pushpins import"
    const char* arguments;  // "FILE.kpp SOURCE...": "[X]" may be left out, "X..." repeats
    const char* summary;    // what it does, one line for --help
    std::array<Option, kMaxOptions> options;  // up to the first without a name
    int (*run)(const Invocation& call);
};

// A command line checked against its entry.
struct Invocation {
    const Command& command;
    std::vector<std::string> arguments;                        // the plain ones, in order
    std::vector<std::pair<std::string, std::string>> options;  // name and value, in order

    bool has(const char* name) const;
    // The value given last; "" when the option is absent.
    std::string value(const char* name) const;
};

// The table; tool_commands.cpp holds the tool's, map_program.cpp the map program's.
extern const Command kCommands[];
extern const std::size_t kCommandCount;

// The map command draws with Qt; it runs as a program of its own, which
// wayplot2-tool executes, so that the other commands start without loading Qt.
// Both programs' tables hold these entries, each with its own handler.
inline constexpr Command kMapInfo{
    "map info",
    "SOURCE",
    "Describe a base map: an MBTiles file, a tile folder or a tile server.",
    {{{"--json", nullptr, "print one JSON object instead of the text"}}},
    nullptr};
inline constexpr Command kMapRender{
    "map render",
    "SOURCE OUT.png",
    "Draw a base map into an image as the track map shows it.",
    {{{"--centre", "LAT,LON", "the position in the middle of the image (degrees)", true},
      {"--zoom", "STEP", "the track map's zoom step, 0 to 24", true},
      {"--size", "WxH", "the image size in pixels (240x264)"},
      {"--rotate", "DEG", "the heading that points up (clockwise from north)"},
      {"--units", "metric|us|nautical", "the unit system of the zoom steps"}}},
    nullptr};
constexpr Command withHandler(Command command, int (*run)(const Invocation&)) {
    command.run = run;
    return command;
}

// The options given before the command ("--root DIR"), for passing on to a
// command that runs as a program of its own.
const std::vector<std::string>& globalOptions();

// Prints "usage: wayplot2-tool [--root DIR] <usage>" to standard error and
// returns kExitUsage.
int usageError(const Invocation& call);

// Writes a report the program shows in its message boxes (lines ending in
// CR LF) to a stream with Unix line ends, and flushes it. False when the
// stream failed.
bool writeTerminalText(const std::string& text, std::FILE* stream = stdout);

}  // namespace wp2::tool
