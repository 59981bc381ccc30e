// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/receive_buffer.h"

#include <cstring>

#include "core/base/diagnostics.h"

namespace wp2 {

namespace {

// Index of the first CR or LF in p[0..n), or n.
std::size_t findLineEnd(const char* p, std::size_t n) {
    const void* cr = std::memchr(p, '\r', n);
    const std::size_t end = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - p) : n;
    const void* lf = std::memchr(p, '\n', end);
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : end;
}

}  // namespace

ReceiveBuffer::ReceiveBuffer() {
    store_[0] = 0;
}

void ReceiveBuffer::reset() {
    std::lock_guard lock(mutex_);
    empty();
}

void ReceiveBuffer::makeRoom(int n, std::size_t more) {
    if (static_cast<std::size_t>(head_ + n) + more + 1 > static_cast<std::size_t>(kStorage)) {
        std::memmove(store_, text(), static_cast<std::size_t>(n));
        head_ = 0;
    }
}

void ReceiveBuffer::storeByte(unsigned char byte, int& n) {
    makeRoom(n, 1);
    text()[n++] = static_cast<char>(byte);
    if (n > kOverflowThreshold) {
        n = kKeptOnOverflow;
        if (diagnostics_) {
            diagnostics_->trace("Buffer overflow!");
        }
    }
}

void ReceiveBuffer::append(unsigned char byte) {
    std::lock_guard lock(mutex_);
    int n = count_.load(std::memory_order_relaxed);
    storeByte(byte, n);
    text()[n] = 0;
    count_.store(n, std::memory_order_relaxed);
}

void ReceiveBuffer::append(const unsigned char* bytes, std::size_t size) {
    std::lock_guard lock(mutex_);
    int n = count_.load(std::memory_order_relaxed);
    std::size_t i = 0;
    while (i < size) {
        // Copy straight up to the byte that would overflow, then take that one alone.
        std::size_t room = static_cast<std::size_t>(kOverflowThreshold - n);
        std::size_t run = size - i < room ? size - i : room;
        makeRoom(n, run);
        std::memcpy(text() + n, bytes + i, run);
        n += static_cast<int>(run);
        i += run;
        if (i < size) {
            storeByte(bytes[i++], n);
        }
    }
    text()[n] = 0;
    count_.store(n, std::memory_order_relaxed);
}

void ReceiveBuffer::empty() {
    count_.store(0, std::memory_order_relaxed);
    head_ = 0;
    store_[0] = 0;
}

bool ReceiveBuffer::takeLine(GpsStatistics& stats, std::string& line) {
    if (count() < kMinimumToTake) {
        return false;
    }
    std::lock_guard lock(mutex_);
    const int n = count_.load(std::memory_order_relaxed);
    if (n == 0) {
        ++stats.emptyBufferAccesses;
        return false;
    }
    if (n > stats.maxSymbols) {
        stats.maxSymbols = n;
    }
    const char* data = text();
    const auto size = static_cast<std::size_t>(n);
    // L: the line's length up to the first CR or LF.
    const std::size_t lineEnd = findLineEnd(data, size);
    const int lineLength = static_cast<int>(lineEnd);
    // S: from the line end up to and including the next "$".
    const void* dollar = std::memchr(data + lineEnd, '$', size - lineEnd);
    const int next = dollar ? static_cast<int>(static_cast<const char*>(dollar) - data) : n;
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
        return false;
    }
    if (lineLength > 0 && lineLength <= kMaxLineLength) {
        line.assign(data, lineEnd);
    } else {
        line.clear();
    }
    // The rest starts at the "$" that opens the next sentence, even when that
    // "$" is the last byte buffered: the sentence behind it is still on its way.
    if (dollarFound) {
        head_ += next;
        count_.store(n - next, std::memory_order_relaxed);
    } else {
        empty();
    }
    return true;
}

std::string ReceiveBuffer::contents() {
    std::lock_guard lock(mutex_);
    return std::string(text(), static_cast<std::size_t>(count_.load(std::memory_order_relaxed)));
}

bool ReceiveBuffer::terminated() {
    std::lock_guard lock(mutex_);
    return text()[count_.load(std::memory_order_relaxed)] == 0;
}

}  // namespace wp2
