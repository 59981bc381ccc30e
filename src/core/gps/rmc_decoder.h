// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recommended-minimum sentence (RMC): UTC date and time, position, speed
// and course. The values of the last accepted sentence stay until the next.

#include <string_view>

#include "core/track/gps_date_time.h"

namespace wp2 {

class RmcDecoder {
public:
    // True when the line is an RMC sentence that passes every field test;
    // only then are the values replaced.
    bool decode(std::string_view line);

    // Strict reading refuses hemisphere letters other than N, S, E and W and
    // longitude degrees above 180, and keeps the fraction of the second.
    bool strict = false;

    GpsDateTime utc;         // whole seconds unless strict
    double latitude = 0.0;   // degrees, south negative
    double longitude = 0.0;  // degrees, west negative
    double speed = 0.0;      // knots
    double course = 0.0;     // degrees true
};

}  // namespace wp2
