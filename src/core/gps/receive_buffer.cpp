#include "core/gps/receive_buffer.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>

#include "core/base/trace.h"

namespace wp2 {

namespace {

char16_t widen(unsigned char byte) {
    // Bytes 0x80..0xFF become 0xFF80..0xFFFF, as a signed char widens.
    return static_cast<char16_t>(static_cast<std::int16_t>(static_cast<signed char>(byte)));
}

}  // namespace

ReceiveBuffer::ReceiveBuffer() {
    data_[0] = 0;
    data_[kCapacity - 1] = 0;
    data_[kCapacity] = 0;
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
    data_[0] = 0;
    data_[kCapacity - 1] = 0;
    count_.store(0, std::memory_order_relaxed);
    unlock();
}

void ReceiveBuffer::storeByte(unsigned char byte, int& n) {
    data_[n++] = widen(byte);
    if (n > kOverflowThreshold) {
        n = kKeptOnOverflow;
        trace("Buffer overflow!");
    }
}

void ReceiveBuffer::append(unsigned char byte) {
    lock(ReaderMark);
    int n = count_.load(std::memory_order_relaxed);
    storeByte(byte, n);
    data_[n] = 0;
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
        for (std::size_t k = 0; k < run; ++k) {
            data_[n + static_cast<int>(k)] = widen(bytes[i + k]);
        }
        n += static_cast<int>(run);
        i += run;
        if (i < size) {
            storeByte(bytes[i++], n);
        }
    }
    data_[n] = 0;
    count_.store(n, std::memory_order_relaxed);
    unlock();
}

void ReceiveBuffer::empty() {
    count_.store(0, std::memory_order_relaxed);
    data_[0] = 0;
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
    // L: the line's length up to the first CR or LF.
    int lineLength = 0;
    while (lineLength < n && data_[lineLength] != u'\r' && data_[lineLength] != u'\n') {
        ++lineLength;
    }
    // S: from the line end up to and including the next "$".
    int next = lineLength;
    while (next < n && data_[next] != u'$') {
        ++next;
    }
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
        line.assign(data_, static_cast<std::size_t>(lineLength));
    } else {
        line.clear();
    }
    // The rest starts at the "$" that opens the next sentence, even when that
    // "$" is the last character buffered: the sentence behind it is still on
    // its way.
    if (dollarFound) {
        const int rest = n - next;
        std::memmove(data_, data_ + next, (static_cast<std::size_t>(rest) + 1) * sizeof(char16_t));
        count_.store(rest, std::memory_order_relaxed);
    } else {
        empty();
    }
    unlock();
    return true;
}

std::u16string ReceiveBuffer::contents() {
    lock(DecoderMark);
    std::u16string copy(data_, static_cast<std::size_t>(count_.load(std::memory_order_relaxed)));
    unlock();
    return copy;
}

bool ReceiveBuffer::terminated() {
    lock(DecoderMark);
    bool ok = data_[count_.load(std::memory_order_relaxed)] == 0;
    unlock();
    return ok;
}

}  // namespace wp2
