// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a recorded NMEA log through the live decoding path: the bytes reach
// the receive buffer in blocks of 4096, each appended as the serial reader
// appends it, and after each block one refresh takes and applies every
// complete line. No silence checks, warm start or timers take part.
// The log is streamed, so memory does not grow with its size.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace wp2 {

class GpsDecoder;

class NmeaReplay {
public:
    static constexpr std::size_t kBlockSize = 4096;

    // Called after each chunk read with the bytes done so far and the file size.
    using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

    explicit NmeaReplay(GpsDecoder& decoder) : decoder_(decoder) {}

    // One block into the buffer, then one refresh.
    void feedBlock(const unsigned char* bytes, std::size_t n);
    // Every block of a byte string.
    void feed(const std::string& bytes);

    // Replays a whole file. False when it cannot be opened or read; `error`
    // then holds the system's reason.
    bool replayFile(const std::string& path, std::string& error, const Progress& progress = {});
    // Replays an open stream to its end (a file, or a pipe: the blocks are the
    // same, each handed on as soon as it is full). `total` is the size
    // progress reports, 0 when unknown.
    bool replayStream(std::FILE* file, std::uint64_t total, std::string& error,
                      const Progress& progress = {});

private:
    GpsDecoder& decoder_;
};

}  // namespace wp2
