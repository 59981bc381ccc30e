// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saves that failed during this run, so that the program's exit status
// reports the failure instead of success. Counted where a failed save is
// told to the user (reportFailedSave in src/messages), and by the settings
// classes, whose writes in constructors, assignments and destructors have no
// caller to return a failure to.

namespace wp2 {

void countFailedSave();
// Failed saves so far in this process.
int failedSaves();

}  // namespace wp2
