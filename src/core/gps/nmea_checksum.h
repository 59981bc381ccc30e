// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The NMEA checksum test: "$", the sentence, "*" and two hexadecimal digits
// (either case) equal to the XOR of every character between "$" and "*".

#include <string_view>

namespace wp2 {

bool nmeaChecksumValid(std::u16string_view line);

}  // namespace wp2
