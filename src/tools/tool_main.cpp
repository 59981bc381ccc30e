// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool: the command-line companion of Wayplot2; with the command
// table of map_program.cpp, also the map program that the tool executes.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/paths.h"
#include "tools/tool_command.h"
#include "wayplot2_version.h"

namespace wp2::tool {

// Sub-command entry points, defined in their own files.
extern const Command kCommands[];
extern const std::size_t kCommandCount;

int usageError(const Command& command) {
    std::fprintf(stderr, "usage: wayplot2-tool [--root DIR] %s\n", command.usage);
    return kExitUsage;
}

bool writeTerminalText(const std::string& text, std::FILE* stream) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    std::fwrite(out.data(), 1, out.size(), stream);
    return std::fflush(stream) == 0 && !std::ferror(stream);
}

namespace {

std::vector<std::string> givenOptions;

void printHelp(FILE* out) {
    std::fprintf(out,
                 "usage: wayplot2-tool [--root DIR] COMMAND [ARGS...]\n"
                 "\n"
                 "Options:\n"
                 "  --root DIR   keep every file of the program (settings, documents) under DIR\n"
                 "  --version    print the version and exit (as the version command)\n"
                 "  --help       show this text\n"
                 "\n"
                 "Commands:\n");
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        std::fprintf(out, "  %s\n", kCommands[i].usage);
    }
}

}  // namespace

const std::vector<std::string>& globalOptions() {
    return givenOptions;
}

}  // namespace wp2::tool

int main(int argc, char** argv) {
    using namespace wp2::tool;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t i = 0;
    while (i < args.size() && args[i].rfind("--", 0) == 0) {
        if (args[i] == "--help") {
            printHelp(stdout);
            return kExitOk;
        }
        if (args[i] == "--version") {
            std::puts("wayplot2-tool " WAYPLOT2_VERSION);
            return kExitOk;
        }
        if (args[i] == "--root" && i + 1 < args.size()) {
            wp2::Paths::setRoot(args[i + 1]);
            givenOptions.insert(givenOptions.end(), {args[i], args[i + 1]});
            i += 2;
            continue;
        }
        printHelp(stderr);
        return kExitUsage;
    }
    if (i >= args.size()) {
        printHelp(stderr);
        return kExitUsage;
    }
    for (std::size_t c = 0; c < kCommandCount; ++c) {
        if (args[i] == kCommands[c].name) {
            std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
            return kCommands[c].run(rest);
        }
    }
    std::fprintf(stderr, "wayplot2-tool: unknown command '%s'\n", args[i].c_str());
    printHelp(stderr);
    return kExitUsage;
}
