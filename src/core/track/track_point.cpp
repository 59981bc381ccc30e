#include "core/track/track_point.h"

#include <cmath>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

TrackPoint pointFromPosition(double latitude, double longitude, double altitude) {
    TrackPoint p;
    p.latitude = latitude;
    p.longitude = longitude;
    p.altitude = altitude;
    p.state = TrackPointState::FromPosition;
    return p;
}

bool possiblePosition(double latitude, double longitude) {
    // A little room for the rounding of degrees turned into radians.
    constexpr double kSlack = 1e-9;
    return std::fabs(latitude) <= kHalfPi + kSlack && std::fabs(longitude) <= 2 * kPi + kSlack;
}

std::string impossibleValue(const TrackPoint& p) {
    if (!(std::fabs(p.latitude) <= kHalfPi + 1e-9)) {
        return cformat("latitude %g", p.latitude);
    }
    if (!possiblePosition(p.latitude, p.longitude)) {
        return cformat("longitude %g", p.longitude);
    }
    const struct {
        const char* name;
        double value;
    } numbers[] = {{"altitude", p.altitude},
                   {"speed", p.speed},
                   {"course", p.course},
                   {"dop", p.dop},
                   {"seconds", p.time.seconds}};
    for (const auto& n : numbers) {
        if (!std::isfinite(n.value)) {
            return cformat("%s %g", n.name, n.value);
        }
    }
    return "";
}

}  // namespace wp2
