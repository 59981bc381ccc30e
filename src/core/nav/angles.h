// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's angle constants. They all derive from its value of pi,
// 3.1415926525, which differs from the mathematical pi in the tenth decimal;
// stored files and displayed numbers depend on these exact literals.

namespace wp2 {

inline constexpr double kPi = 3.1415926525;
inline constexpr double kHalfPi = 1.57079632625;
inline constexpr double kThreeHalfPi = 4.71238897875;
inline constexpr double kDegToRad = 0.01745329251388889;
inline constexpr double kRadToDeg = 57.295779532957766;
// The SiRF warm-start sentence alone converts radians to degrees with this factor.
inline constexpr double kWarmStartRadToDeg = 57.29577951471995;
// Minutes of arc to degrees: an angle written as degrees and decimal minutes
// ("ddmm.mmmm" in NMEA, the entry fields of a point) is degrees + minutes x this.
inline constexpr double kMinutesToDegrees = 0.016666666666666666;
constexpr double degreesFromDegMin(double degrees, double minutes) {
    return degrees + minutes * kMinutesToDegrees;
}
// Knots to metres per second, as the receiver link converts RMC speeds.
inline constexpr double kKnotsToMps = 0.5144444444444445;

}  // namespace wp2
