// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saves that failed during this run. Each one is told to the user with what
// failed and why, and the program's exit status then reports the failure
// instead of success.

#include <string>

namespace wp2 {

// Shows "<what> could not be saved to <path>:\n<reason>" and counts it.
void reportFailedSave(const std::string& what, const std::string& path, const std::string& reason);
// Counts a failure the user has been told about in another way.
void countFailedSave();
// Failed saves so far in this process.
int failedSaves();

}  // namespace wp2
