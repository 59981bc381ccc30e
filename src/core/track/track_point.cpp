// SPDX-License-Identifier: GPL-3.0-or-later
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

std::string impossibleValue(const TrackPoint& p, ValueRange range) {
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
    if (range == ValueRange::Stored) {
        return "";
    }
    const struct {
        const char* name;
        double value, low, high;
    } measured[] = {{"altitude", p.altitude, -kImportedAltitudeLimit, kImportedAltitudeLimit},
                    {"speed", p.speed, 0.0, kImportedSpeedLimit},
                    {"course", p.course, 0.0, 360.0},
                    {"dop", p.dop, 0.0, kImportedDopLimit}};
    for (const auto& m : measured) {
        if (m.value < m.low || m.value > m.high) {
            return cformat("%s %g outside %g..%g", m.name, m.value, m.low, m.high);
        }
    }
    return "";
}

}  // namespace wp2
