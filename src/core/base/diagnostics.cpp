// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/diagnostics.h"

#include <utility>

namespace wp2 {

Diagnostics::TraceSink Diagnostics::setTraceSink(TraceSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    TraceSink previous = std::move(sink_);
    sink_ = std::move(sink);
    return previous;
}

void Diagnostics::trace(const std::string& text) {
    TraceSink sink;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sink = sink_;
    }
    if (sink) {
        sink(text);
    }
}

void Diagnostics::traceFailure(const Result<>& result) {
    if (!result) {
        trace(result.error().text());
    }
}

}  // namespace wp2
