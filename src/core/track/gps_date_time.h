// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UTC date and time of a fix as the receiver sends it: a two-digit year
// (0 = date not known yet; + 2000 for a calendar year), month, day, hour,
// minute and fractional seconds.

#include <cstdint>

namespace wp2 {

class GpsDateTime {
public:
    bool operator==(const GpsDateTime&) const = default;

    std::uint8_t year = 0;
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    double seconds = 0.0;
};

}  // namespace wp2
