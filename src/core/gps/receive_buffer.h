// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The buffer between the serial reader thread and the decoder: the received
// bytes, always followed by a 0, and their count. A mutex guards both, so
// append() may run on the reader thread while takeLine() cuts a line on the
// user-interface thread. Neither side waits for data: the decoder looks at
// the buffer on its refresh timer, and a side that finds the mutex taken
// waits only for the other's short copy.
//
// Cutting a line drops its bytes from the front. Instead of moving the
// remaining tail to the front of the storage at every take, the start of the
// buffered text moves on; the text moves back to the front only when it
// reaches the end of the (twice as large) storage. What the buffer holds,
// its count and every statistic are the same as with a move per take.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "core/gps/gps_statistics.h"

namespace wp2 {

class Diagnostics;

class ReceiveBuffer {
public:
    static constexpr int kCapacity = 10000;
    static constexpr int kOverflowThreshold = 9990;  // more bytes than this overflow
    static constexpr int kKeptOnOverflow = 1000;     // what an overflow keeps
    static constexpr int kMaxLineLength = 300;       // longer lines are not copied out
    static constexpr int kMinimumToTake = 6;         // nothing is taken below this count

    ReceiveBuffer();
    ReceiveBuffer(const ReceiveBuffer&) = delete;
    ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

    // Where an overflow is traced (nowhere until given); set before the
    // reader starts.
    void traceTo(Diagnostics* diagnostics) { diagnostics_ = diagnostics; }

    // Empties the buffer, as a new reader thread does before its first read.
    void reset();

    // Reader side: stores one byte, raises the count and writes the
    // terminator; past 9990 bytes the buffer is cut back to its first 1000
    // ("Buffer overflow!" is traced).
    void append(unsigned char byte);
    // The same for each byte of a block, taking the mutex once for the block.
    void append(const unsigned char* bytes, std::size_t n);

    // Decoder side: cuts the next line (without its line end) into `line` and
    // returns true, or returns false when no complete line is buffered. The
    // line is empty when it was longer than 300 bytes or had no bytes before
    // its line end. Keeps the buffer statistics in `stats` (its refresh count
    // is read).
    bool takeLine(GpsStatistics& stats, std::string& line);

    // Unlocked look at the count (the decoder's first test).
    int count() const { return count_.load(std::memory_order_relaxed); }
    // Copy of the buffered bytes; for tests and diagnostics.
    std::string contents();
    // Whether the byte after the last one is the terminating 0.
    bool terminated();

private:
    void storeByte(unsigned char byte, int& n);
    void makeRoom(int n, std::size_t more);
    void empty();
    char* text() { return store_ + head_; }

    static constexpr int kStorage = 2 * kCapacity;

    std::mutex mutex_;
    std::atomic<int> count_{0};
    Diagnostics* diagnostics_ = nullptr;
    int head_ = 0;  // where the buffered text starts in the storage
    char store_[kStorage];
};

}  // namespace wp2
