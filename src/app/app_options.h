// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of the wayplot2 program.

#include <optional>
#include <string>
#include <vector>

namespace wp2 {

struct AppOptions {
    int scale = 0;            // window enlargement; 0 = chosen from the screen
    bool fullscreen = false;  // the whole screen, as on a handheld
    bool emulate = false;     // start in emulation mode without the first-run questions
    std::string root;         // --root: every file of the program under this folder
    std::string screenshot;   // --screenshot: headless run that saves one frame
    int frames = 0;           // frames of simulated time before the screenshot
    bool map = false;         // the screenshot shows map mode
    bool night = false;       // --night: the night palette for this run
    // --map-source: the base map for this run (a file, folder or server).
    std::optional<std::string> mapSource;
    bool help = false;
    bool version = false;  // --version: print the release number

    static constexpr int kMaxScale = 8;
};

struct AppOptionsResult {
    AppOptions options;
    std::string error;  // empty when the command line was understood
};

AppOptionsResult parseAppOptions(const std::vector<std::string>& args);
std::string appUsage();

// The enlargement that makes the 240 x 320 frame comfortable on a screen
// whose usable height is availableHeight pixels: about four fifths of it.
int comfortableScale(int availableHeight);

}  // namespace wp2
