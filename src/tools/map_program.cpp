// SPDX-License-Identifier: GPL-3.0-or-later
// The command table of the map program, which wayplot2-tool executes for its
// map command with the same options and arguments.

#include <cstddef>

#include "tools/tool_command.h"

namespace wp2::tool {

extern const Command kMapCommand;

extern const Command kCommands[] = {kMapCommand};
extern const std::size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

}  // namespace wp2::tool
