// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program notes about its own run and never shows the user: trace
// texts (serial-port failures and similar), handed to a sink that discards
// them unless one is set, and the saves that failed, so that the program's
// exit status reports the failure instead of success. The application makes
// one and hands it to the parts that trace or save; any thread may use it
// (the serial reader traces from its own).

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "core/base/result.h"

namespace wp2 {

class Diagnostics {
public:
    using TraceSink = std::function<void(const std::string&)>;

    // Sends every trace text to sink (an empty one discards them) and returns
    // the previous sink.
    TraceSink setTraceSink(TraceSink sink);
    void trace(const std::string& text);
    // Traces the failure's text, if there is one.
    void traceFailure(const Result<>& result);

    void countFailedSave() { ++failedSaves_; }
    // Failed saves so far.
    int failedSaves() const { return failedSaves_.load(); }

private:
    std::mutex mutex_;
    TraceSink sink_;
    std::atomic<int> failedSaves_{0};
};

}  // namespace wp2
