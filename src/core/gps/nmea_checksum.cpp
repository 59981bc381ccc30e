// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_checksum.h"

#include <cstdint>
#include <cstring>

namespace wp2 {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

NmeaChecksum nmeaChecksum(std::string_view line) {
    const std::size_t n = line.size();
    if (n < 6 || line[0] != '$' || line[n - 3] != '*') {
        return NmeaChecksum::Unframed;
    }
    const int high = hexValue(line[n - 2]);
    const int low = hexValue(line[n - 1]);
    if (high < 0 || low < 0) {
        return NmeaChecksum::Unframed;
    }
    // Eight bytes at a time: the XOR of the words folds down to the XOR of their bytes.
    const char* p = line.data() + 1;
    const char* const end = line.data() + n - 3;
    std::uint64_t words = 0;
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        words ^= w;
    }
    words ^= words >> 32;
    words ^= words >> 16;
    words ^= words >> 8;
    auto sum = static_cast<unsigned char>(words);
    for (; p != end; ++p) {
        sum ^= static_cast<unsigned char>(*p);
    }
    // Bit 7 of the sum is set exactly when an odd number of bytes above 0x7F took part.
    return sum < 0x80 && sum == high * 16 + low ? NmeaChecksum::Valid : NmeaChecksum::Wrong;
}

}  // namespace wp2
