// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sunrise and sunset for a place and a date, and whether the sun is down at an
// instant: the NOAA solar position formulas (declination and equation of time
// from the Julian century), with the sun's upper limb on the horizon after
// refraction, a zenith distance of 90.833 degrees. Good to about a minute
// outside the polar circles; the night palette's "Auto" switch uses them.

#include <cstdint>

namespace wp2 {

struct SunDay {
    enum class Kind {
        RisesAndSets,
        PolarDay,    // the sun stays up all day
        PolarNight,  // the sun stays down all day
    };
    Kind kind = Kind::RisesAndSets;
    // Minutes after 00:00 UTC of the date, for RisesAndSets only. They belong
    // to the day whose solar noon falls on the date, so far from Greenwich a
    // sunrise may come before 0 or a sunset after 1440.
    double sunriseMinutes = 0.0;
    double sunsetMinutes = 0.0;
};

// Latitude and longitude in degrees (north and east positive); the date is the
// UTC calendar date.
SunDay sunDay(double latitudeDeg, double longitudeDeg, int year, int month, int day);

// True when the sun's upper limb is below the horizon at that place at
// unixSeconds (seconds since 1970-01-01 00:00 UTC).
bool isNight(double latitudeDeg, double longitudeDeg, std::int64_t unixSeconds);

}  // namespace wp2
