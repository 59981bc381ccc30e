// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telling the user of a save that failed: what failed and why, in a message
// box, traced and counted in the diagnostics (core/base/diagnostics.h) so
// that the program's exit status reports the failure instead of success.

#include <string>

namespace wp2 {

class Diagnostics;
class MessageBoxes;

// Shows "<what> could not be saved to <path>:\n<reason>" and counts it.
void reportFailedSave(MessageBoxes& boxes, Diagnostics& diagnostics, const std::string& what,
                      const std::string& path, const std::string& reason);

}  // namespace wp2
