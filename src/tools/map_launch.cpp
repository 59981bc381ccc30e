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

}  // namespace

// The command line, checked against the same entry, goes on to the map
// program: the command's words, each option as "--name=value", "--" and the
// arguments.
int runMapProgram(const Invocation& call) {
    const std::string program = mapProgramPath();
    std::vector<std::string> words{program};
    words.insert(words.end(), globalOptions().begin(), globalOptions().end());
    for (const char* p = call.command.words; *p;) {
        const char* space = std::strchr(p, ' ');
        words.emplace_back(p, space ? space : p + std::strlen(p));
        p = space ? space + 1 : p + std::strlen(p);
    }
    for (const auto& [name, value] : call.options) {
        bool takesValue = false;
        for (const Option& o : call.command.options) {
            takesValue = takesValue || (o.name && name == o.name && o.value);
        }
        words.push_back(takesValue ? name + "=" + value : name);
    }
    words.emplace_back("--");
    words.insert(words.end(), call.arguments.begin(), call.arguments.end());
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

}  // namespace wp2::tool
