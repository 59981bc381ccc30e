// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The headless run behind --screenshot: the dashboard in emulation mode,
// without waits or questions, driven through N frames of simulated time, and
// the last frame saved as a picture.

#include <optional>
#include <string>

namespace wp2 {

struct UiServices;

struct ScreenshotRequest {
    std::string file;      // where the PNG goes
    int frames = 0;        // timer ticks of 30 simulated milliseconds (one frame each)
    bool mapMode = false;  // switch to map mode before the first tick
    int scale = 1;         // the picture enlarged this many times, pixel for pixel
    std::optional<std::string> mapSource;  // the base map instead of the configured one
    bool night = false;                    // in the night palette
};

class ScreenshotRun {
public:
    // 0 when the picture was saved; otherwise a message on standard error.
    static int run(const UiServices& services, const ScreenshotRequest& request);
};

}  // namespace wp2
