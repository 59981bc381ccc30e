// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the recording filter: the gap between two fixes and how
// far a point lies off the straight line through its neighbours.

#include <cstdint>

#include "core/track/gps_date_time.h"
#include "core/track/track_point.h"

namespace wp2 {

// Seconds between two fixes beyond which they no longer belong to one run:
// the track ends its segment there (with SplitOnGap) and the trip computer
// counts neither time nor distance across it.
inline constexpr double kFixGap = 5.0;
// Metres per second below which a receiver counts as standing: its course is
// noise (the dashboard holds course and bearing) and the trip computer counts
// stopped time.
inline constexpr double kMovingSpeed = 0.3;

// Seconds from fix t0 to fix t1, counting a year as 8760 hours and a month as
// 720 hours (approximate across a month end). Two-digit years are subtracted
// as they are.
double fixTimeDifference(const GpsDateTime& t0, const GpsDateTime& t1);

// Height in metres of the triangle (n, l, s) over the side n-s, by Heron's
// formula on approxDistance; 0 when n and s coincide. cNL is the distance from
// n to l, which the filter has already computed.
double straightDeviation(const GeoPoint& n, const GeoPoint& l, const GeoPoint& s, double cNL);

// The RMC and GGA halves of one fix merge when exactly one of them lacks a
// velocity (NoVelocity).
bool mergeApplies(std::uint32_t lastState, std::uint32_t newState);

// Folds the new half of a fix into the last point: speed and course from an
// RMC point, satellites from a GGA point. False when the merge does not apply.
bool mergeInto(TrackPoint& last, const TrackPoint& fresh);

}  // namespace wp2
