// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sub-commands of wayplot2-tool. Each lives in its own file and is listed in
// the table of tool_main.cpp.

#include <cstdio>
#include <string>
#include <vector>

namespace wp2::tool {

// Exit statuses shared by the sub-commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;  // one or more lines, without the program name
    int (*run)(const std::vector<std::string>& args);
};

// The map command draws with Qt; it runs as a program of its own, which
// wayplot2-tool executes, so that the other commands start without loading Qt.
inline constexpr const char* kMapUsage =
    "map info SOURCE\n"
    "       map render SOURCE --centre LAT,LON --zoom STEP [--size WxH] [--rotate DEG]\n"
    "                  [--units metric|us|nautical] OUT.png";

// The options given before the command ("--root DIR"), for passing on to a
// command that runs as a program of its own.
const std::vector<std::string>& globalOptions();

// Prints "usage: wayplot2-tool <usage>" to standard error and returns kExitUsage.
int usageError(const Command& command);

// Writes a report the program shows in its message boxes (lines ending in
// CR LF) to a stream with Unix line ends, and flushes it. False when the
// stream failed.
bool writeTerminalText(const std::string& text, std::FILE* stream = stdout);

}  // namespace wp2::tool
