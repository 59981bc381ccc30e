// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arrival and off-course alarms: each fires once when its limit is
// crossed and only fires again after the position has gone clearly back, so
// that a position jittering at the edge gives one alarm, not a stream.

#include <optional>

#include "core/nav/geodesy.h"

namespace wp2 {

// Arrival at a target (the one pushpin navigated to, or a route's current
// point): fires when the position comes within the radius (ellipsoid
// distance); armed again only once the position has been more than twice
// the radius away. A new alarm, or one given a new target, is armed: a
// position already inside fires at its first fix.
class ArrivalAlarm {
public:
    ArrivalAlarm(const LatLonAlt& target, double radius);

    // Each fix: true when the alarm fires.
    bool update(const LatLonAlt& position);
    void setTarget(const LatLonAlt& target);
    bool armed() const { return armed_; }

private:
    LatLonAlt target_;
    double radius_;
    bool armed_ = true;
};

// Off the leg: fires when the cross-track distance goes beyond the limit on
// either side; armed again once it is back within 3/4 of the limit.
class OffCourseAlarm {
public:
    static constexpr double kRearmShare = 0.75;

    explicit OffCourseAlarm(double limit) : limit_(limit) {}

    // Each fix with the cross-track distance (nothing when there is no leg,
    // which leaves the alarm as it was): true when the alarm fires.
    bool update(std::optional<double> crossTrack);
    bool armed() const { return armed_; }

private:
    double limit_;
    bool armed_ = true;
};

}  // namespace wp2
