// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nmea_checksum.h"

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
    unsigned char sum = 0;
    for (const char c : line.substr(1, n - 4)) {
        sum ^= static_cast<unsigned char>(c);
    }
    // Bit 7 of the sum is set exactly when an odd number of bytes above 0x7F took part.
    return sum < 0x80 && sum == high * 16 + low ? NmeaChecksum::Valid : NmeaChecksum::Wrong;
}

}  // namespace wp2
