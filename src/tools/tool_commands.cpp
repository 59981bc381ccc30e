// SPDX-License-Identifier: GPL-3.0-or-later
// The table of wayplot2-tool sub-commands.

#include <cstdio>

#include "tools/tool_command.h"
#include "wayplot2_version.h"

namespace wp2::tool {

// Declarations of each sub-command's entry point go here, one line each.
extern const Command kSettingsCommand;
extern const Command kReplayCommand;
extern const Command kDecodeCommand;
extern const Command kPushpinsCommand;
extern const Command kMonitorCommand;
extern const Command kScanCommand;
extern const Command kTrackCommand;
extern const Command kRouteCommand;
#ifdef WAYPLOT2_HAVE_MAP
extern const Command kMapCommand;
#endif

extern const Command kCommands[] = {
    {"version", "version",
     [](const std::vector<std::string>&) {
         std::puts("wayplot2-tool " WAYPLOT2_VERSION);
         return kExitOk;
     }},
    kSettingsCommand,
    kReplayCommand,
    kDecodeCommand,
    kPushpinsCommand,
    kMonitorCommand,
    kScanCommand,
    kTrackCommand,
    kRouteCommand,
#ifdef WAYPLOT2_HAVE_MAP
    kMapCommand,
#endif
};
extern const std::size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

}  // namespace wp2::tool
