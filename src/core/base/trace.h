// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One trace hook for diagnostics that are never shown to the user
// (serial-port failures and similar). The default hook discards them.

#include <functional>
#include <string>

#include "core/base/result.h"

namespace wp2 {

using TraceHook = std::function<void(const std::string&)>;

// Installs the hook (an empty function restores the default) and returns the previous one.
TraceHook setTraceHook(TraceHook hook);
void trace(const std::string& text);
// Traces the failure's text, if there is one.
void traceFailure(const Result<>& result);

}  // namespace wp2
