// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the messages the program shows the user about the pushpin
// file, imports and exports. Showing them is the caller's part.

#include <string>

namespace wp2 {

// The caption of messages that carry the application's name.
inline constexpr const char* kApplicationCaption = "Wayplot2";

// "File format error at line %d\nOnly %d waypoints have been read\n\n..." for a
// text file that failed at `line` after `read` pushpins.
std::string csvFormatErrorText(int line, int read);

struct PushpinLoadResult;

// A pushpin file that did not load cleanly: what is wrong, how many pushpins
// were read, and where the file was kept (or why it could not be moved).
std::string damagedPushpinFileText(const std::string& path, const PushpinLoadResult& result);

// A GPX or .loc file not taken whole: how many waypoints it gave, how many were
// added (the others lay within 5 m of a pushpin already there) and what was
// wrong with it.
std::string partialImportText(const std::string& path, int read, int added,
                              const std::string& problem);

// An export whose file cannot be created or written.
std::string exportFailedText(const std::string& path, const std::string& reason = {});

}  // namespace wp2
