// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 25 zoom steps of the track map: the length in metres that the scale bar
// (55 pixels) stands for, per unit system.

#include <array>

namespace wp2 {

inline constexpr int kMapScaleSteps = 25;
using MapScaleTable = std::array<double, kMapScaleSteps>;

// Unit codes as the unit formatter holds them.
namespace UnitCode {
inline constexpr int Metric = 1;
inline constexpr int Nautical = 2;
inline constexpr int US = 3;
}  // namespace UnitCode

const MapScaleTable& metricScaleTable();
// Feet for the first six steps, then statute (U.S.) or nautical miles.
MapScaleTable imperialScaleTable(double metresPerMile);

// The miles of the imperial tables.
inline constexpr double kUsMileMetres = 1609;
inline constexpr double kNauticalMileMetres = 1852;

// The table of a unit code: nautical and U.S. miles, anything else metric.
const MapScaleTable& scaleTableForUnit(int unitCode);

}  // namespace wp2
