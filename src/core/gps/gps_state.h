// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver's decoded state: position, motion, fix quality, satellites
// and when data last arrived. Written and read on the user-interface thread only.

#include <cstdint>
#include <ctime>

#include "core/gps/running_average.h"
#include "core/gps/sky_satellites.h"
#include "core/track/gps_date_time.h"

namespace wp2 {

// 1990-01-01 00:00:00, the "long ago" that the time stamps start from.
inline constexpr std::time_t kGpsEpochStart = 631152000;

struct GpsState {
    std::uint32_t flags = 0;      // GpsStatusFlags
    double latitude = 0.0;        // radians, north positive
    double longitude = 0.0;       // radians, east positive
    double altitude = 0.0;        // metres above mean sea level (GGA)
    RunningAverage accuracy{10};  // PDOP x 2.9 + 2.4 metres over the last 10 GSA fixes
    double speed = 0.0;           // metres per second
    double course = 0.0;          // degrees true
    double hdop = 0.0;
    double vdop = 0.0;
    double pdop = 0.0;
    int satellitesUsed = 0;                     // non-zero satellite numbers in the last GSA
    int satellitesGga = 0;                      // satellites in use of the last GGA with a fix
    std::time_t lastFixTime = kGpsEpochStart;   // local clock when a fix was last confirmed
    std::time_t lastDataTime = kGpsEpochStart;  // local clock of the last valid sentence
    GpsDateTime lastUtc;                        // UTC of the last RMC or GGA position
    SkySatellites satellites;                   // satellites in view, as published

    bool has(std::uint32_t bits) const { return (flags & bits) != 0; }
    void set(std::uint32_t bits) { flags |= bits; }
    void clear(std::uint32_t bits) { flags &= ~bits; }
};

}  // namespace wp2
