// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_options.h"

#include <algorithm>
#include <cstdlib>

namespace wp2 {

namespace {

bool parseCount(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    const int value = std::atoi(text.c_str());
    if (value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

// The value after an option; false when the command line ends there.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value) {
    if (i + 1 >= args.size()) {
        return false;
    }
    value = args[++i];
    return true;
}

}  // namespace

AppOptionsResult parseAppOptions(const std::vector<std::string>& args) {
    AppOptionsResult r;
    AppOptions& o = r.options;
    bool framesGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--fullscreen") {
            o.fullscreen = true;
        } else if (a == "--emulate") {
            o.emulate = true;
        } else if (a == "--map") {
            o.map = true;
        } else if (a == "--night") {
            o.night = true;
        } else if (a == "--scale") {
            if (!takeValue(args, i, value) ||
                !parseCount(value, 1, AppOptions::kMaxScale, o.scale)) {
                r.error = "--scale needs a whole number from 1 to 8";
                return r;
            }
        } else if (a == "--frames") {
            if (!takeValue(args, i, value) || !parseCount(value, 0, 100000000, o.frames)) {
                r.error = "--frames needs a whole number of frames";
                return r;
            }
            framesGiven = true;
        } else if (a == "--root") {
            if (!takeValue(args, i, o.root) || o.root.empty()) {
                r.error = "--root needs a folder";
                return r;
            }
        } else if (a == "--map-source") {
            if (!takeValue(args, i, value)) {
                r.error = "--map-source needs a map file, a tile folder or a server address";
                return r;
            }
            o.mapSource = value;
        } else if (a == "--screenshot") {
            if (!takeValue(args, i, o.screenshot) || o.screenshot.empty()) {
                r.error = "--screenshot needs a file name";
                return r;
            }
        } else {
            r.error = "unknown argument: " + a;
            return r;
        }
    }
    if ((framesGiven || o.map) && o.screenshot.empty()) {
        r.error = "--frames and --map go with --screenshot";
    }
    return r;
}

std::string appUsage() {
    return "Usage: wayplot2 [options]\n"
           "  --emulate            replay the bundled drive instead of a receiver\n"
           "  --scale N            show the 240x320 screen enlarged N times (1-8)\n"
           "  --fullscreen         use the whole screen, as on a handheld\n"
           "  --root DIR           keep settings and documents under DIR\n"
           "  --map-source SOURCE  draw this base map under the track map for this run:\n"
           "                       an MBTiles file, a tile folder or a tile server's\n"
           "                       https://.../{z}/{x}/{y}.png address (\"\" for none)\n"
           "  --night              show the night palette for this run\n"
           "  --screenshot FILE.png --frames N [--map] [--night] [--scale N]\n"
           "                       run headless in emulation for N frames of simulated\n"
           "                       time (33 a second), in map mode with --map, and save\n"
           "                       the screen as FILE.png (enlarged with --scale)\n"
           "  --version            print the version and exit\n"
           "  --help               this text\n";
}

int comfortableScale(int availableHeight) {
    const int scale = availableHeight * 4 / 5 / 320;
    return std::clamp(scale, 1, AppOptions::kMaxScale);
}

}  // namespace wp2
