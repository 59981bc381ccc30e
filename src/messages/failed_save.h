// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telling the user of a save that failed: what failed and why, in a message
// box, and counted (core/base/save_failures.h) so that the program's exit
// status reports the failure instead of success.

#include <string>

namespace wp2 {

// Shows "<what> could not be saved to <path>:\n<reason>" and counts it.
void reportFailedSave(const std::string& what, const std::string& path, const std::string& reason);

}  // namespace wp2
