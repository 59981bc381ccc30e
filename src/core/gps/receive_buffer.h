// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The buffer between the serial reader thread and the decoder: 16-bit
// characters, always followed by a 0, with a character count and a lock word
// (0 free, 1 held by the reader, 2 held by the decoder) that each side takes
// by an atomic change from 0. The reader yields while it waits; the decoder
// sleeps 2 ms between looks. Every change of the characters or the count is
// made under the lock, so append() may run on another thread while takeLine()
// cuts a line.
//
// Cutting a line drops its characters from the front. Instead of moving the
// remaining tail to the front of the storage at every take, the start of the
// buffered text moves on; the text moves back to the front only when it
// reaches the end of the (twice as large) storage. What the buffer holds,
// its count and every statistic are the same as with a move per take.

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/gps/gps_statistics.h"

namespace wp2 {

class ReceiveBuffer {
public:
    static constexpr int kCapacity = 10000;
    static constexpr int kOverflowThreshold = 9990;  // more characters than this overflow
    static constexpr int kKeptOnOverflow = 1000;     // what an overflow keeps
    static constexpr int kMaxLineLength = 300;       // longer lines are not copied out
    static constexpr int kMinimumToTake = 6;         // nothing is taken below this count

    enum LockMark : int { Free = 0, ReaderMark = 1, DecoderMark = 2 };

    ReceiveBuffer();
    virtual ~ReceiveBuffer() = default;
    ReceiveBuffer(const ReceiveBuffer&) = delete;
    ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

    // Empties the buffer, as a new reader thread does before its first read.
    void reset();

    // Reader side: stores one byte as the next character (sign-extended to 16
    // bits), raises the count and writes the terminator; past 9990 characters
    // the buffer is cut back to its first 1000 ("Buffer overflow!" is traced).
    void append(unsigned char byte);
    // The same for each byte of a block, holding the lock once for the block.
    void append(const unsigned char* bytes, std::size_t n);

    // Decoder side: cuts the next line into `line` and returns true, or returns
    // false when no complete line is buffered. The line is empty when it was
    // longer than 300 characters or had no characters before its line end.
    // Keeps the buffer statistics in `stats` (its refresh count is read).
    bool takeLine(GpsStatistics& stats, std::u16string& line);

    // Unlocked look at the count (the decoder's first test).
    int count() const { return count_.load(std::memory_order_relaxed); }
    // Copy of the buffered characters; for tests and diagnostics.
    std::u16string contents();
    // Whether the character after the last one is the terminating 0.
    bool terminated();

private:
    void lock(LockMark mark);
    void unlock() { lock_.store(Free, std::memory_order_release); }
    void storeByte(unsigned char byte, int& n);
    void makeRoom(int n, std::size_t more);
    void empty();
    char16_t* text() { return store_ + head_; }

    static constexpr int kStorage = 2 * kCapacity;

    std::atomic<int> lock_{Free};
    std::atomic<int> count_{0};
    int head_ = 0;  // where the buffered text starts in the storage
    char16_t store_[kStorage];
};

}  // namespace wp2
