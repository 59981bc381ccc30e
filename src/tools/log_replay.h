// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the replay and decode commands share: a receiver decoder set up for a
// replay (fresh state, an empty track log with the default recording
// filter and no automatic load or save) and the run over the log file.

#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/gps/gps_decoder.h"
#include "core/settings/memory_registry.h"

namespace wp2::tool {

class LogReplay {
public:
    LogReplay();
    ~LogReplay();

    GpsDecoder& decoder() { return *decoder_; }

    // Replays the log ("-": standard input, as it arrives). On failure prints one line naming the
    // file on standard error and returns false. Logs over 10 MB report progress on standard error.
    bool run(const std::string& logPath);

private:
    // The replay's settings live in memory only: its track log reads its
    // options from there and writes them back there, never to the user's store.
    MemoryRegistry settings_;
    ManualClock clock_;
    std::unique_ptr<GpsDecoder> decoder_;
};

}  // namespace wp2::tool
