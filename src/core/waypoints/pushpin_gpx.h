// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pushpins in GPX: each <wpt> of a GPX 1.0 or 1.1 file becomes a pushpin,
// and the collection is written as GPX 1.1 waypoints.

#include <string>

#include "core/gpx/gpx_reader.h"
#include "core/waypoints/pushpins.h"

namespace wp2 {

// Names and notes read from GPX are cut to this many characters, as a text
// line's fields are.
inline constexpr std::size_t kGpxPushpinTextLimit = 999;

// Adds each waypoint of the file at index 0 of `pushpins` (so the file's last
// waypoint ends at index 0, as with the other readers): name (a waypoint
// without one is named as GPSBabel names it: by its cmt, else its desc, else
// "WPT" and its number in the file, "WPT002"), desc or else cmt as the note,
// ele as the altitude (with ThreeD), time, and sym as the icon. Routes and
// tracks are not waypoints.
GpxReadResult readGpx(Pushpins& pushpins, const std::string& path);

// One <wpt> per pushpin, oldest first (the order the pushpin file keeps, so
// that reading the file back restores the order): ele when the pushpin has
// an altitude, time when it has a date, name, desc (the note) and sym (the
// icon's name). Written atomically; *error gets the reason of a failure.
Result<> exportGpx(const Pushpins& pushpins, const std::string& path);

}  // namespace wp2
