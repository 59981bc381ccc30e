// The table of wayplot2-tool sub-commands.

#include <cstdio>

#include "tools/tool_command.h"

namespace wp2::tool {

// Declarations of each sub-command's entry point go here, one line each.
int runReplay(const std::vector<std::string>& args);
int runDecode(const std::vector<std::string>& args);
int runMonitor(const std::vector<std::string>& args);
int runScan(const std::vector<std::string>& args);
extern const Command kSettingsCommand;

extern const Command kCommands[] = {
    {"version", "version",
     [](const std::vector<std::string>&) {
         std::puts("wayplot2-tool 0.1.0");
         return kExitOk;
     }},
    {"replay", "replay LOG OUT.atk", runReplay},
    {"decode", "decode LOG", runDecode},
    {"monitor", "monitor [--port N | --device PATH] [--baud B] [--seconds S]", runMonitor},
    {"scan", "scan [--ports N]", runScan},
    kSettingsCommand,
};
extern const std::size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

}  // namespace wp2::tool
