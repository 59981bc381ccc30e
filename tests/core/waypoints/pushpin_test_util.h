// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small builders shared by the pushpin tests.

#include <string>
#include <vector>

#include "core/nav/angles.h"
#include "core/waypoints/pushpins.h"

namespace wp2::test {

// Adds a pushpin at index 0 with the name and position in degrees.
inline Pushpin* addPin(Pushpins& pins, const std::string& name, double latDeg, double lonDeg,
                       double altitude = 0.0) {
    Pushpin* p = pins.addNew();
    p->name = name;
    p->latitude = latDeg * kDegToRad;
    p->longitude = lonDeg * kDegToRad;
    p->altitude = altitude;
    return p;
}

// Adds the names so that the first given ends at index 0.
inline void addInIndexOrder(Pushpins& pins, const std::vector<std::string>& names) {
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        addPin(pins, *it, 1, 1);
    }
}

// Names from index 0 upward, as UTF-8.
inline std::vector<std::string> namesOf(const Pushpins& pins) {
    std::vector<std::string> names;
    for (const Pushpin& p : pins) {
        names.push_back(p.name);
    }
    return names;
}

// Byte offset of the length byte of record k's name (1-based) in a file this
// program wrote: every record holds two 16-bit texts, each after FF FE FF.
inline std::size_t nameLengthOffset(const std::string& file, int k) {
    std::size_t at = 0;
    for (int marker = 0; marker <= 2 * (k - 1); ++marker) {
        at = file.find("\xFF\xFE\xFF", at) + 3;
    }
    return at;
}

inline double latDeg(const Pushpin& p) {
    return p.latitude * kRadToDeg;
}

inline double lonDeg(const Pushpin& p) {
    return p.longitude * kRadToDeg;
}

}  // namespace wp2::test
