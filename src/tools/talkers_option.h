// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "--talkers any|gp" option of replay, decode and monitor: any talker
// (the program's default) or the GPS talker only.

#include <string>
#include <vector>

#include "core/gps/gps_decoder.h"

namespace wp2::tool {

// Takes "--talkers any|gp" out of args wherever it stands and sets talkers
// (left alone when the option is absent). False for another value or a
// missing one.
bool takeTalkersOption(std::vector<std::string>& args, Talkers& talkers);

}  // namespace wp2::tool
