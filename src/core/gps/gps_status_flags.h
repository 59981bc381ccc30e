// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bits of GpsState::flags. The statistics print the whole word in decimal.

#include <cstdint>

namespace wp2::GpsStatusFlags {

inline constexpr std::uint32_t DataValid = 0x01;      // a sentence passed the checksum test
inline constexpr std::uint32_t PositionValid = 0x02;  // an RMC position was accepted
inline constexpr std::uint32_t Moving = 0x04;         // RMC speed of 0.5 km/h or more
inline constexpr std::uint32_t LinkOpen = 0x08;       // port open, refresh timer running
inline constexpr std::uint32_t Fix2D = 0x10;          // GSA reports a 2D fix
inline constexpr std::uint32_t Fix3D = 0x20;          // GSA reports a 3D fix
inline constexpr std::uint32_t TrackPointValid =
    0x40;  // the last fix became the newest track point

// The bits that describe a position fix; dropped together when the fix is lost.
inline constexpr std::uint32_t FixBits = PositionValid | Fix2D | Fix3D;

}  // namespace wp2::GpsStatusFlags
