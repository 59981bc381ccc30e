// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A route: a name and an ordered list of points. Each point keeps its own
// copy of the name and position it was made from (as GPX <rte> does), so a
// route does not depend on the pushpins it was built from: deleting a
// pushpin leaves the routes that pass through it as they were.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/nav/geodesy.h"

namespace wp2 {

class Pushpin;

struct RoutePoint {
    std::string name;        // UTF-8
    double latitude = 0.0;   // radians, as a pushpin holds it
    double longitude = 0.0;  // radians
    // The pushpin icon it shows (GPX <sym>); nothing when it has none.
    std::optional<std::int32_t> icon;

    LatLonAlt position() const { return {latitude, longitude, 0.0}; }
    bool operator==(const RoutePoint&) const = default;
};

struct Route {
    std::string name;  // UTF-8, unique in a Routes collection
    std::vector<RoutePoint> points;

    bool operator==(const Route&) const = default;
};

// The point a route keeps of a pushpin: its name, position and icon.
RoutePoint routePointFrom(const Pushpin& pushpin);

// The ellipsoid distance along the route from point `from` to its last point.
double routeLength(const Route& route, int from = 0);

// "k/n": the current point counted from 1 (index + 1) of the route's points.
std::string routeProgressText(int index, int count);

}  // namespace wp2
