// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Positions as people read and type them: whole degrees and decimal minutes
// with a hemisphere. Values are radians (north and east positive) and are
// converted with the program's own degree factors (core/nav/angles.h).

#include <cstdint>
#include <string>

namespace wp2 {

// The value "LastLat" and "LastLong" hold when no position is stored (radians).
inline constexpr double kNoPosition = 10.0;

// True when the pair names a place: both finite, the latitude within ±90°
// and the longitude within ±360°. The no-position value and damaged numbers
// are not positions; the dashboard shows dashes for them.
bool isPosition(double latitude, double longitude);
// What the dashboard shows in place of a value it does not have.
inline constexpr const char* kNoValueText = "--";

// Position panel lines: "N 47 12.3456'" and "E 8 30.1234'". A latitude of
// exactly 0 is north, a longitude of exactly 0 is west. The degrees-and-minutes
// part is at most 40 characters.
std::string formatLatitude(double latitude);
std::string formatLongitude(double longitude);

// A coordinate split for entry: whole degrees and minutes, both never
// negative, and the hemisphere (north for a latitude, east for a longitude).
struct DegMin {
    std::int32_t degrees = 0;
    float minutes = 0.0f;
    bool positive = true;

    // Splits radians; 0 counts as north or east.
    static DegMin split(double radians);
    // Back to radians. Single-precision minutes keep it to about a centimetre.
    double join() const;

    bool operator==(const DegMin&) const = default;
};

// String resources holding the hemisphere letters the entry controls show.
inline constexpr int kIdsHemisphereNorth = 65021;
inline constexpr int kIdsHemisphereSouth = 65022;
inline constexpr int kIdsHemisphereWest = 65023;
inline constexpr int kIdsHemisphereEast = 65024;

// The letter of a hemisphere resource ("N", "S", "W", "E"); empty for other ids.
std::string hemisphereLetter(int resourceId);
// The hemisphere resource for a split latitude or longitude.
int hemisphereResource(bool isLatitude, bool positive);

}  // namespace wp2
