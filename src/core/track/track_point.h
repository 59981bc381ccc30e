// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The position records the whole program shares.

#include <cstdint>
#include <string>
#include <type_traits>

#include "core/nav/geodesy.h"
#include "core/track/gps_date_time.h"

namespace wp2 {

// A position with the time and speed of its fix.
class GeoPoint {
public:
    LatLonAlt position() const { return {latitude, longitude, altitude}; }

    double latitude = 0.0;   // radians, north positive
    double longitude = 0.0;  // radians, east positive
    double altitude = 0.0;   // metres
    GpsDateTime time;        // UTC of the fix
    double speed = 0.0;      // knots
};

// Bits of TrackPoint::state.
namespace TrackPointState {
inline constexpr std::uint32_t SegmentStart = 0x0001;
inline constexpr std::uint32_t SegmentEnd = 0x0002;
inline constexpr std::uint32_t ThreeD = 0x0004;
inline constexpr std::uint32_t Sats3 = 0x0008;
inline constexpr std::uint32_t Sats4 = 0x0010;
inline constexpr std::uint32_t Sats5Plus = 0x0020;
inline constexpr std::uint32_t FromGga = 0x0100;
inline constexpr std::uint32_t NoVelocity = 0x0200;
inline constexpr std::uint32_t Quality1 = 0x0400;
inline constexpr std::uint32_t Quality2 = 0x0800;
inline constexpr std::uint32_t Quality4 = 0x1000;
inline constexpr std::uint32_t NoDate = 0x4000;
inline constexpr std::uint32_t Marked = 0x8000;
inline constexpr std::uint32_t FromPosition = 0x10000;
}  // namespace TrackPointState

// One recorded fix.
class TrackPoint : public GeoPoint {
public:
    double course = 0.0;  // degrees true
    double dop = 0.0;     // PDOP (from RMC) or HDOP (from GGA)
    std::uint32_t state = 0;
    std::uint8_t satellites = 0;
};
// Plain values, copied as bytes: a track holds many thousands of points.
static_assert(std::is_trivially_copyable_v<TrackPoint>);

// A track point made from a bare position: latitude, longitude and altitude,
// state FromPosition, everything else zero.
TrackPoint pointFromPosition(double latitude, double longitude, double altitude);

// True for a latitude within +-pi/2 and a longitude within +-2 pi (radians);
// false for NaN and infinities.
bool possiblePosition(double latitude, double longitude);

// Which values a point may hold. Stored: every point of a track or pushpin
// file; reading refuses a file with anything else, so nothing else is ever
// written. Imported: a point read from another program's file must also hold
// what a receiver can measure, within these limits.
enum class ValueRange { Stored, Imported };
inline constexpr double kImportedAltitudeLimit = 1e6;  // metres, either way
inline constexpr double kImportedSpeedLimit = 1e5;     // knots
inline constexpr double kImportedDopLimit = 1e4;

// What the point holds outside the range (a position off the earth, a number
// that is not finite, an imported altitude of 1e+308), e.g. "latitude
// -3.8e+66"; "" when nothing.
std::string impossibleValue(const TrackPoint& point, ValueRange range = ValueRange::Stored);

}  // namespace wp2
