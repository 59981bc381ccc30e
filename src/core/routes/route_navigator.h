// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Following one route: which point is the current one, and when to go on to
// the next.
//
// The advance rule, for each fix given to update(): the route goes on to the
// next point when the position is within the arrival radius of the current
// point, or when it has passed the point: the fix before was on the near
// side of the line through the point square to the next leg, this fix is on
// the far side, and it is within 5 times the arrival radius of the point. For
// the last point only the radius counts; reaching it finishes the route. At
// most one point is passed per fix.
//
// Distances to the points and along the legs are the ellipsoid's
// (core/nav/geodesy.h). The "passed" test and the cross-track distance work
// in a plane laid on the earth at the current point (east and north metres
// from its local scale): over the few hundred metres the test looks at, and
// the legs of a route, the plane errs by far less than a receiver does.

#include <optional>
#include <string>

#include "core/nav/geodesy.h"
#include "core/routes/route.h"

namespace wp2 {

inline constexpr double kDefaultArrivalRadius = 30.0;  // metres
// A point counts as passed only within this many arrival radii of it.
inline constexpr double kPassedRadii = 5.0;

struct RouteStep {
    enum Kind { None, Advanced, Finished };
    Kind kind = None;
    // Advanced: the point reached or passed (0-based); the current point is
    // the one after it. Finished: the last point.
    int point = -1;
    bool operator==(const RouteStep&) const = default;
};

class RouteNavigator {
public:
    // Follows the route from point `start` (0-based; the first when out of range).
    explicit RouteNavigator(Route route, double arrivalRadius = kDefaultArrivalRadius,
                            int start = 0);

    const Route& route() const { return route_; }
    int pointCount() const { return static_cast<int>(route_.points.size()); }
    // The current point's index, 0-based; pointCount() once finished.
    int current() const { return current_; }
    bool finished() const { return current_ >= pointCount(); }
    // Nothing once finished.
    const RoutePoint* currentPoint() const;
    // "k/n" with k counted from 1; "n/n" once finished.
    std::string progressText() const;
    double arrivalRadius() const { return radius_; }

    // Each fix: whether it reached or passed the current point.
    RouteStep update(const LatLonAlt& position);
    // By hand: on to the next point (past the last finishes the route), or
    // back to the previous one (a finished route goes back to its last
    // point). Nothing happens at the ends.
    RouteStep next();
    bool previous();

    // From a position: to the current point; to the route's end (the current
    // point, then along the remaining legs); the cross-track distance from
    // the leg previous point -> current point, positive when the position is
    // right of the leg, negative left (nothing for the first point, a leg of
    // no length or a finished route).
    std::optional<double> distanceToPoint(const LatLonAlt& position) const;
    std::optional<double> distanceToEnd(const LatLonAlt& position) const;
    std::optional<double> crossTrack(const LatLonAlt& position) const;

private:
    // How far past the line square to the next leg at the current point the
    // position is (metres along the leg); nothing for the last point.
    std::optional<double> beyond(const LatLonAlt& position) const;

    Route route_;
    double radius_;
    int current_ = 0;
    std::optional<double> lastBeyond_;  // of the fix before, for the current point
};

}  // namespace wp2
