// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/unit_formatter.h"

#include <cmath>

#include "core/base/cformat.h"

namespace wp2 {

namespace {

constexpr double kMaxSpeed = 1000000.0;

constexpr double kMpsToKmh = 3.6;
constexpr double kMpsToMph = 2.23741454319453;
constexpr double kMpsToKnots = 1.9438;
constexpr double kMetresToFeet = 3.278688524590164;
constexpr double kMetresToMiles = 0.0006215040397762585;
constexpr double kMetresToNauticalMiles = 0.0005399568034557236;
constexpr double kMetresToKm = 0.001;
constexpr double kKmhToMps = 0.2777777777777778;
constexpr double kMphToMps = 0.4469444444444446;
constexpr double kKnotsToMps = 0.5144562197756971;
constexpr double kFeetToMetres = 0.305;

std::string joinWithUnit(const FormattedValue& v) {
    return v.text + " " + v.label;
}

// Miles (statute or nautical, both labelled "mi") with two decimals below 2.
FormattedValue miles(double value) {
    return {value < 2.0 ? cformat("%1.2lf", value) : cformat("%4.1lf", value), "mi"};
}

// Reads a whole text as a decimal number: optional leading white space, sign,
// digits with a decimal point, exponent. Hexadecimal numbers, "inf", "nan" and
// values too large for a double are not numbers a user types for a speed or
// an altitude, and are refused.
bool parseNumber(const std::string& text, double& out) {
    double value = 0.0;
    std::size_t used = cparseDouble(text.c_str(), value);
    if (used != text.size()) {
        return false;
    }
    if (text.find_first_not_of(" \t\n\v\f\r+-.0123456789eE") != std::string::npos) {
        return false;
    }
    if (!std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

}  // namespace

void UnitFormatter::setSystem(std::int32_t storedValue) {
    switch (storedValue) {
        case static_cast<std::int32_t>(UnitSystem::US):
            code_ = kUs;
            break;
        case static_cast<std::int32_t>(UnitSystem::Metric):
            code_ = kMetric;
            break;
        case static_cast<std::int32_t>(UnitSystem::Nautical):
            code_ = kNautical;
            break;
        default:
            break;
    }
}

FormattedValue UnitFormatter::formatSpeed(double metresPerSecond) const {
    double v = metresPerSecond > kMaxSpeed ? kMaxSpeed : metresPerSecond;
    double x;
    const char* label;
    if (code_ == kMetric) {
        x = v * kMpsToKmh;
        label = "kmh";
    } else if (code_ == kUs) {
        x = v * kMpsToMph;
        label = "mph";
    } else {
        x = v * kMpsToKnots;
        label = "knot";
    }
    return {x >= 100.0 ? cformat("%3.0lf", x) : cformat("%3.1lf", x), label};
}

FormattedValue UnitFormatter::formatDistance(double metres) const {
    if (code_ == kMetric) {
        if (metres < 1000.0) {
            return {cformat("%4.0lf", metres), "m"};
        }
        return {cformat("%4.1lf", metres * kMetresToKm), "km"};
    }
    double feet = metres * kMetresToFeet;
    if (feet < 1000.0) {
        return {cformat("%4.0lf", feet), "ft"};
    }
    return miles(metres * (code_ == kUs ? kMetresToMiles : kMetresToNauticalMiles));
}

FormattedValue UnitFormatter::formatAltitude(double metres) const {
    if (code_ == kMetric) {
        return {cformat("%5.0lf", metres), "m"};
    }
    return {cformat("%6.0lf", metres * kMetresToFeet), "ft"};
}

std::string UnitFormatter::formatDistanceWithUnit(double metres) const {
    return joinWithUnit(formatDistance(metres));
}

std::string UnitFormatter::formatAltitudeWithUnit(double metres) const {
    return joinWithUnit(formatAltitude(metres));
}

bool UnitFormatter::parseSpeed(const std::string& text, double& metresPerSecond) const {
    double value;
    if (!parseNumber(text, value)) {
        return false;
    }
    if (code_ == kMetric) {
        metresPerSecond = value * kKmhToMps;
    } else if (code_ == kUs) {
        metresPerSecond = value * kMphToMps;
    } else {
        metresPerSecond = value * kKnotsToMps;
    }
    return true;
}

bool UnitFormatter::parseAltitude(const std::string& text, double& metres) const {
    double value;
    if (!parseNumber(text, value)) {
        return false;
    }
    metres = code_ == kMetric ? value : value * kFeetToMetres;
    return true;
}

}  // namespace wp2
