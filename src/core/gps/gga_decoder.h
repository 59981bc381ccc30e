// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fix-data sentence (GGA): time of day, position, fix quality,
// satellites in use, HDOP and altitude. The values of the last accepted
// sentence stay until the next.

#include <cstdint>
#include <string_view>

namespace wp2 {

class GgaDecoder {
public:
    // True when the line is a GGA sentence that passes every field test;
    // only then are the values replaced.
    bool decode(std::string_view line);

    // Strict reading refuses minutes above 60 and hemisphere letters other
    // than N, S, E and W.
    bool strict = false;

    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    double seconds = 0.0;          // fractions kept
    double latitude = 0.0;         // degrees, south negative
    double longitude = 0.0;        // degrees, west negative
    double altitude = 0.0;         // metres
    double geoidSeparation = 0.0;  // metres
    double hdop = 0.0;
    int satellites = 0;
    // Bit set: 0 no fix, 1 GPS, 2 differential, 4 for quality "3".
    std::uint8_t quality = 0;
};

}  // namespace wp2
