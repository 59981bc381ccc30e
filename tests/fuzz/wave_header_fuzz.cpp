// SPDX-License-Identifier: GPL-3.0-or-later
// Wave file headers: any bytes, any claimed file size, must parse without
// reading outside the buffer, and what is accepted must be self-consistent.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    // The first four bytes say how much longer than the buffer the file is.
    std::uint32_t extra;
    std::memcpy(&extra, data, 4);
    data += 4;
    size -= 4;
    const std::uint64_t fileSize = size + extra;
    auto format = wp2::parseWaveHeader(data, size, fileSize);
    if (format) {
        if (format->blockAlign <= 0 || format->dataOffset > fileSize ||
            format->dataBytes > fileSize - format->dataOffset ||
            format->dataBytes % static_cast<std::uint64_t>(format->blockAlign) != 0 ||
            !(format->durationMs() >= 0.0)) {
            std::abort();
        }
    }
    return 0;
}
