// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/coordinate_text.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

constexpr std::size_t kMaxDegMinText = 40;

// Converts a non-negative whole number of degrees to an int without undefined
// behaviour for values no position can have (NaN, infinities, huge numbers
// read from a damaged file).
std::int32_t wholeDegrees(double degrees) {
    if (!(degrees >= 0.0)) {
        return 0;
    }
    if (degrees >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(degrees);
}

std::string limited(std::string text) {
    if (text.size() > kMaxDegMinText) {
        text.resize(kMaxDegMinText);
    }
    return text;
}

struct DegreesMinutes {
    std::int32_t degrees;
    double minutes;
};

// Whole degrees and decimal minutes of |radians|. The minutes are printed as
// they are: 59.99996 shows as 60.0000 without carrying into the degrees.
DegreesMinutes degreesMinutes(double radians) {
    double d = std::fabs(radians * kRadToDeg);
    std::int32_t whole = wholeDegrees(std::floor(d));
    return {whole, (d - whole) * 60.0};
}

}  // namespace

bool isPosition(double latitude, double longitude) {
    // A hair of slack: 90 degrees converted with the program's factor lies a
    // rounding step above its half pi.
    constexpr double kSlack = 1e-9;
    return std::fabs(latitude) <= kHalfPi + kSlack && std::fabs(longitude) <= 2 * kPi + kSlack;
}

std::string formatLatitude(double latitude) {
    DegreesMinutes dm = degreesMinutes(latitude);
    return (latitude >= 0.0 ? "N " : "S ") +
           limited(cformat("%i %2.4lf'", static_cast<int>(dm.degrees), dm.minutes));
}

std::string formatLongitude(double longitude) {
    DegreesMinutes dm = degreesMinutes(longitude);
    return (longitude > 0.0 ? "E " : "W ") +
           limited(cformat("%i %3.4lf'", static_cast<int>(dm.degrees), dm.minutes));
}

DegMin DegMin::split(double radians) {
    double d = radians * kRadToDeg;
    double whole = std::trunc(d);
    DegMin result;
    result.degrees = wholeDegrees(std::fabs(whole));
    result.minutes = static_cast<float>(std::fabs((d - whole) * 60.0));
    result.positive = !(radians < 0.0);
    return result;
}

double DegMin::join() const {
    double value =
        degreesFromDegMin(static_cast<double>(degrees), static_cast<double>(minutes)) * kDegToRad;
    return positive ? value : -value;
}

std::string hemisphereLetter(int resourceId) {
    switch (resourceId) {
        case kIdsHemisphereNorth:
            return "N";
        case kIdsHemisphereSouth:
            return "S";
        case kIdsHemisphereWest:
            return "W";
        case kIdsHemisphereEast:
            return "E";
        default:
            return {};
    }
}

int hemisphereResource(bool isLatitude, bool positive) {
    if (isLatitude) {
        return positive ? kIdsHemisphereNorth : kIdsHemisphereSouth;
    }
    return positive ? kIdsHemisphereEast : kIdsHemisphereWest;
}

}  // namespace wp2
