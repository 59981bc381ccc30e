// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver link's nine counters, zeroed together when the link is made.
// They are 64-bit so that long recordings neither wrap nor turn the
// percentages of the reports negative.

#include <cstdint>

namespace wp2 {

struct GpsStatistics {
    std::int64_t totalSentences = 0;       // every line cut from the receive buffer
    std::int64_t validSentences = 0;       // lines that passed the checksum
    std::int64_t rmcSentences = 0;         // "$GPRMC" lines, decoded or not
    std::int64_t totalRefreshes = 0;       // refresh cycles run
    std::int64_t averageSymbols = 0;       // (accepted + ignored) / (refreshes + 1)
    std::int64_t maxSymbols = 0;           // largest character count seen by a take
    std::int64_t emptyBufferAccesses = 0;  // takes that found the buffer empty under the lock
    std::int64_t acceptedSymbols = 0;      // characters in front of a line end
    std::int64_t ignoredSymbols = 0;       // line ends and garbage up to the next "$"
};

}  // namespace wp2
