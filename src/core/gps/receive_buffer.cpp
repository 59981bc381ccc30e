// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/receive_buffer.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "core/base/trace.h"
#include "core/gps/char16_scan.h"

namespace wp2 {

namespace {

char16_t widen(unsigned char byte) {
    // Bytes 0x80..0xFF become 0xFF80..0xFFFF, as a signed char widens.
    return static_cast<char16_t>(static_cast<std::int16_t>(static_cast<signed char>(byte)));
}

}  // namespace

ReceiveBuffer::ReceiveBuffer() {
    store_[0] = 0;
}

void ReceiveBuffer::lock(LockMark mark) {
    int expected = Free;
    while (!lock_.compare_exchange_weak(expected, mark, std::memory_order_acquire,
                                        std::memory_order_relaxed)) {
        expected = Free;
        if (mark == ReaderMark) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

void ReceiveBuffer::reset() {
    lock(ReaderMark);
    empty();
    unlock();
}

void ReceiveBuffer::makeRoom(int n, std::size_t more) {
    if (static_cast<std::size_t>(head_ + n) + more + 1 > static_cast<std::size_t>(kStorage)) {
        std::memmove(store_, text(), static_cast<std::size_t>(n) * sizeof(char16_t));
        head_ = 0;
    }
}

void ReceiveBuffer::storeByte(unsigned char byte, int& n) {
    makeRoom(n, 1);
    text()[n++] = widen(byte);
    if (n > kOverflowThreshold) {
        n = kKeptOnOverflow;
        trace("Buffer overflow!");
    }
}

void ReceiveBuffer::append(unsigned char byte) {
    lock(ReaderMark);
    int n = count_.load(std::memory_order_relaxed);
    storeByte(byte, n);
    text()[n] = 0;
    count_.store(n, std::memory_order_relaxed);
    unlock();
}

void ReceiveBuffer::append(const unsigned char* bytes, std::size_t size) {
    lock(ReaderMark);
    int n = count_.load(std::memory_order_relaxed);
    std::size_t i = 0;
    while (i < size) {
        // Copy straight up to the byte that would overflow, then take that one alone.
        std::size_t room = static_cast<std::size_t>(kOverflowThreshold - n);
        std::size_t run = size - i < room ? size - i : room;
        makeRoom(n, run);
        widenBytes(bytes + i, run, text() + n);
        n += static_cast<int>(run);
        i += run;
        if (i < size) {
            storeByte(bytes[i++], n);
        }
    }
    text()[n] = 0;
    count_.store(n, std::memory_order_relaxed);
    unlock();
}

void ReceiveBuffer::empty() {
    count_.store(0, std::memory_order_relaxed);
    head_ = 0;
    store_[0] = 0;
}

bool ReceiveBuffer::takeLine(GpsStatistics& stats, std::u16string& line) {
    if (count() < kMinimumToTake) {
        return false;
    }
    lock(DecoderMark);
    const int n = count_.load(std::memory_order_relaxed);
    if (n == 0) {
        unlock();
        ++stats.emptyBufferAccesses;
        return false;
    }
    if (n > stats.maxSymbols) {
        stats.maxSymbols = n;
    }
    const char16_t* data = text();
    const auto size = static_cast<std::size_t>(n);
    // L: the line's length up to the first CR or LF.
    const int lineLength = static_cast<int>(findLineEnd(data, size));
    // S: from the line end up to and including the next "$".
    const int next =
        lineLength + static_cast<int>(findChar(data + lineLength,
                                               size - static_cast<std::size_t>(lineLength), u'$'));
    const bool dollarFound = next < n;
    const int skipped = dollarFound ? next - lineLength + 1 : n - lineLength;

    stats.acceptedSymbols += lineLength;
    stats.ignoredSymbols += skipped;
    stats.averageSymbols =
        (stats.acceptedSymbols + stats.ignoredSymbols) / (stats.totalRefreshes + 1);

    if (lineLength == n) {
        // No line end yet; a run this long can never become a line.
        if (n > kMaxLineLength) {
            empty();
        }
        unlock();
        return false;
    }
    if (lineLength > 0 && lineLength <= kMaxLineLength) {
        line.assign(data, static_cast<std::size_t>(lineLength));
    } else {
        line.clear();
    }
    // The rest starts at the "$" that opens the next sentence, even when that
    // "$" is the last character buffered: the sentence behind it is still on
    // its way.
    if (dollarFound) {
        head_ += next;
        count_.store(n - next, std::memory_order_relaxed);
    } else {
        empty();
    }
    unlock();
    return true;
}

std::u16string ReceiveBuffer::contents() {
    lock(DecoderMark);
    std::u16string copy(text(), static_cast<std::size_t>(count_.load(std::memory_order_relaxed)));
    unlock();
    return copy;
}

bool ReceiveBuffer::terminated() {
    lock(DecoderMark);
    bool ok = text()[count_.load(std::memory_order_relaxed)] == 0;
    unlock();
    return ok;
}

}  // namespace wp2
