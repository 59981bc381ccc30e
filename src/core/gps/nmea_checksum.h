// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The NMEA checksum test: "$", the sentence, "*" and two hexadecimal digits
// (either case) equal to the XOR of every byte between "$" and "*".

#include <string_view>

namespace wp2 {

enum class NmeaChecksum {
    Valid,
    Unframed,  // no "$" at the start, or no "*" and two hexadecimal digits at the end
    Wrong,     // framed, but the digits do not match the sentence
};

// The verdict on one line (without its line end). A sum of 0x80 or more never
// matches: the sum is kept over the bytes widened with their sign bit, so a
// line whose bytes above 0x7F come in an odd number carries 0xFF in its high
// bits. NMEA text is 7-bit, and receivers that send such bytes send garbage.
NmeaChecksum nmeaChecksum(std::string_view line);

}  // namespace wp2
