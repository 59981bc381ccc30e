// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/route_alarms.h"

#include <cmath>

namespace wp2 {

ArrivalAlarm::ArrivalAlarm(const LatLonAlt& target, double radius)
    : target_(target), radius_(radius) {}

void ArrivalAlarm::setTarget(const LatLonAlt& target) {
    target_ = target;
    armed_ = true;
}

bool ArrivalAlarm::update(const LatLonAlt& position) {
    const double d = wgs84().groundChordDistance(position, target_);
    if (armed_ && d <= radius_) {
        armed_ = false;
        return true;
    }
    if (d > 2.0 * radius_) {
        armed_ = true;
    }
    return false;
}

bool OffCourseAlarm::update(std::optional<double> crossTrack) {
    if (!crossTrack) {
        return false;
    }
    const double off = std::fabs(*crossTrack);
    if (armed_ && off > limit_) {
        armed_ = false;
        return true;
    }
    if (off <= kRearmShare * limit_) {
        armed_ = true;
    }
    return false;
}

}  // namespace wp2
