// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/base/trace.h"

#include <mutex>
#include <utility>

namespace wp2 {

namespace {
std::mutex hookMutex;
TraceHook currentHook;
}  // namespace

TraceHook setTraceHook(TraceHook hook) {
    std::lock_guard<std::mutex> lock(hookMutex);
    TraceHook previous = std::move(currentHook);
    currentHook = std::move(hook);
    return previous;
}

void trace(const std::string& text) {
    TraceHook hook;
    {
        std::lock_guard<std::mutex> lock(hookMutex);
        hook = currentHook;
    }
    if (hook) {
        hook(text);
    }
}

void traceFailure(const Result<>& result) {
    if (!result) {
        trace(result.error().text());
    }
}

}  // namespace wp2
