// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/comm_error.h"

#include <cerrno>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"

namespace wp2 {

namespace {
// The text is formatted into a buffer of this many characters (terminator included).
constexpr std::size_t kTraceBufferSize = 200;
}  // namespace

void reportCommError(Diagnostics& diagnostics, const std::string& text) {
    reportCommError(diagnostics, text, errno);
}

void reportCommError(Diagnostics& diagnostics, const std::string& text, int code) {
    std::string message = cformat("Communications Error %d \n%s", code, text.c_str());
    if (message.size() > kTraceBufferSize - 1) {
        message.resize(kTraceBufferSize - 1);
    }
    diagnostics.trace(message);
}

}  // namespace wp2
