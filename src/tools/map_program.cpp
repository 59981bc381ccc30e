// SPDX-License-Identifier: GPL-3.0-or-later
// The command table of the map program, which wayplot2-tool executes for its
// map command with the same options and arguments.

#include <cstddef>

#include "tools/tool_command.h"

namespace wp2::tool {

int runMapInfo(const Invocation& call);
int runMapRender(const Invocation& call);

extern const Command kCommands[] = {withHandler(kMapInfo, runMapInfo),
                                    withHandler(kMapRender, runMapRender)};
extern const std::size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

}  // namespace wp2::tool
