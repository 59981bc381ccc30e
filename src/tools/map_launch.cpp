// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool map: executes the map program installed with the tool, which
// replaces this process, so its output and exit status are the command's.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/tool_command.h"

namespace wp2::tool {

extern const Command kMapCommand;

namespace {

// The map program's path: WAYPLOT2_MAP_PROGRAM is relative to the folder of
// this program, the same in the build tree and the installed package.
std::string mapProgramPath() {
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= self.size()) {
        return WAYPLOT2_MAP_PROGRAM;
    }
    self.resize(static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + WAYPLOT2_MAP_PROGRAM;
}

int runMapProgram(const std::vector<std::string>& args) {
    const std::string program = mapProgramPath();
    std::vector<std::string> words{program};
    words.insert(words.end(), globalOptions().begin(), globalOptions().end());
    words.emplace_back("map");
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::fflush(nullptr);
    execv(program.c_str(), argv.data());
    std::fprintf(stderr, "wayplot2-tool: cannot run %s: %s\n", program.c_str(),
                 std::strerror(errno));
    return kExitFailure;
}

}  // namespace

extern const Command kMapCommand = {"map", kMapUsage, runMapProgram};

}  // namespace wp2::tool
