// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/track/track_filter.h"

#include <cmath>

#include "core/nav/geodesy.h"

namespace wp2 {

double fixTimeDifference(const GpsDateTime& t0, const GpsDateTime& t1) {
    const int dYear = int(t1.year) - int(t0.year);
    const int dMonth = int(t1.month) - int(t0.month);
    const int dDay = int(t1.day) - int(t0.day);
    const int dHour = int(t1.hour) - int(t0.hour);
    const int dMinute = int(t1.minute) - int(t0.minute);
    const int hours = dYear * 8760 + dMonth * 720 + dDay * 24 + dHour;
    const int minutes = hours * 60 + dMinute;
    return double(minutes) * 60.0 + (t1.seconds - t0.seconds);
}

double straightDeviation(const GeoPoint& n, const GeoPoint& l, const GeoPoint& s, double cNL) {
    const double a = approxDistance(n.position(), s.position());
    if (a == 0.0) {
        return 0.0;
    }
    const double b = approxDistance(l.position(), s.position());
    const double c = cNL;
    const double half = (a + b + c) / 2.0;
    const double product = half * (half - a) * (half - b) * (half - c);
    if (!(product > 0.0)) {
        return 0.0;
    }
    return 2.0 * std::sqrt(product) / a;
}

bool mergeApplies(std::uint32_t lastState, std::uint32_t newState) {
    const bool lastHasNone = (lastState & TrackPointState::NoVelocity) != 0;
    const bool newHasNone = (newState & TrackPointState::NoVelocity) != 0;
    return lastHasNone != newHasNone;
}

bool mergeInto(TrackPoint& last, const TrackPoint& fresh) {
    if (!mergeApplies(last.state, fresh.state)) {
        return false;
    }
    if (last.state & TrackPointState::NoVelocity) {
        last.speed = fresh.speed;
        last.course = fresh.course;
    } else {
        last.satellites = fresh.satellites;
    }
    return true;
}

}  // namespace wp2
