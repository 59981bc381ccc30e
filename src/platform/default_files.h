// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The data files the program ships (event sounds, the emulation file) and
// their installation into the data root's "Windows" folder.

#include <string>

namespace wp2 {

// The folder holding the shipped data (it has a "windows" folder inside), or
// empty when none is found. Looked for in this order: $WAYPLOT2_RESOURCES;
// ../share/wayplot2 beside the running program; the install folder; the build tree.
std::string resourceDir();

struct InstallResult {
    int copied = 0;   // files that were absent and are now in place
    int present = 0;  // files left alone because one of that name was there
    int failed = 0;   // files that could not be copied
};

// Copies each file of <resources>/windows into Paths::map("Windows") unless
// a file of that name is already there, so a user's own files and choices are
// never overwritten. A copy appears under its name only when complete.
InstallResult installDefaultFiles(const std::string& resources);
// The same from resourceDir(); nothing to do when it finds none.
InstallResult installDefaultFiles();

}  // namespace wp2
