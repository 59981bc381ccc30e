// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "--talkers any|gp" option of replay, decode and monitor: any talker
// (the program's default) or the GPS talker only.

#include "core/gps/gps_decoder.h"
#include "tools/tool_command.h"

namespace wp2::tool {

// The talkers the command line asks for; Any when the option is absent.
inline Talkers talkersOf(const Invocation& call) {
    return call.value("--talkers") == "gp" ? Talkers::GpsOnly : Talkers::Any;
}

}  // namespace wp2::tool
