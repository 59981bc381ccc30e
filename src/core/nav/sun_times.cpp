// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/sun_times.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/nav/angles.h"

namespace wp2 {
namespace {

// Zenith distance of the sun's centre at sunrise and sunset: 90 degrees, plus
// 34' of refraction at the horizon, plus 16' of the sun's half diameter.
constexpr double kRiseSetZenithDeg = 90.833;
constexpr double kJulianDayAtUnixEpoch = 2440587.5;
constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr double kMinutesPerDay = 1440.0;

double sinDeg(double d) {
    return std::sin(d * kDegToRad);
}
double cosDeg(double d) {
    return std::cos(d * kDegToRad);
}

struct SolarPosition {
    double declinationDeg;
    double equationOfTimeMinutes;
};

// The sun at a Julian day (UT), from the NOAA solar calculator's series.
SolarPosition solarPosition(double julianDay) {
    double t = (julianDay - kJ2000) / kDaysPerJulianCentury;
    double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    double centre = sinDeg(meanAnomaly) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                    sinDeg(2.0 * meanAnomaly) * (0.019993 - 0.000101 * t) +
                    sinDeg(3.0 * meanAnomaly) * 0.000289;
    double omega = 125.04 - 1934.136 * t;
    double apparentLongitude = meanLongitude + centre - 0.00569 - 0.00478 * sinDeg(omega);
    double meanObliquity =
        23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    double obliquity = meanObliquity + 0.00256 * cosDeg(omega);

    double declination = std::asin(sinDeg(obliquity) * sinDeg(apparentLongitude)) * kRadToDeg;
    double y = std::pow(std::tan(obliquity / 2.0 * kDegToRad), 2);
    double e = eccentricity;
    double m = meanAnomaly;
    double l = meanLongitude;
    double eot = y * sinDeg(2.0 * l) - 2.0 * e * sinDeg(m) +
                 4.0 * e * y * sinDeg(m) * cosDeg(2.0 * l) - 0.5 * y * y * sinDeg(4.0 * l) -
                 1.25 * e * e * sinDeg(2.0 * m);
    return {declination, 4.0 * eot * kRadToDeg};
}

// cos of the hour angle at which the sun's centre reaches the rise/set zenith;
// above 1 it never rises, below -1 it never sets.
double riseSetHourAngleCos(double latitudeDeg, double declinationDeg) {
    return cosDeg(kRiseSetZenithDeg) / (cosDeg(latitudeDeg) * cosDeg(declinationDeg)) -
           std::tan(latitudeDeg * kDegToRad) * std::tan(declinationDeg * kDegToRad);
}

// Minutes after 00:00 UTC of solar noon at a longitude, given the equation of time.
double solarNoonMinutes(double longitudeDeg, double equationOfTimeMinutes) {
    return 720.0 - 4.0 * longitudeDeg - equationOfTimeMinutes;
}

}  // namespace

SunDay sunDay(double latitudeDeg, double longitudeDeg, int year, int month, int day) {
    using namespace std::chrono;
    auto date =
        year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    double midnight = kJulianDayAtUnixEpoch + sys_days{date}.time_since_epoch().count();

    SolarPosition atNoon = solarPosition(midnight + 0.5 - longitudeDeg / 360.0);
    double noon = solarNoonMinutes(longitudeDeg, atNoon.equationOfTimeMinutes);
    atNoon = solarPosition(midnight + noon / kMinutesPerDay);
    noon = solarNoonMinutes(longitudeDeg, atNoon.equationOfTimeMinutes);

    double c = riseSetHourAngleCos(latitudeDeg, atNoon.declinationDeg);
    if (c > 1.0)
        return {SunDay::Kind::PolarNight};
    if (c < -1.0)
        return {SunDay::Kind::PolarDay};

    // Each event again with the sun where it stands at that moment: near the
    // polar circles the declination moves enough in half a day to matter.
    auto event = [&](double sign) {
        double minutes = noon + sign * 4.0 * std::acos(c) * kRadToDeg;
        for (int i = 0; i < 2; ++i) {
            SolarPosition p = solarPosition(midnight + minutes / kMinutesPerDay);
            double ci = std::clamp(riseSetHourAngleCos(latitudeDeg, p.declinationDeg), -1.0, 1.0);
            minutes = solarNoonMinutes(longitudeDeg, p.equationOfTimeMinutes) +
                      sign * 4.0 * std::acos(ci) * kRadToDeg;
        }
        return minutes;
    };
    return {SunDay::Kind::RisesAndSets, event(-1.0), event(1.0)};
}

bool isNight(double latitudeDeg, double longitudeDeg, std::int64_t unixSeconds) {
    double julianDay = kJulianDayAtUnixEpoch + static_cast<double>(unixSeconds) / 86400.0;
    SolarPosition p = solarPosition(julianDay);
    double minutesUtc = std::fmod(static_cast<double>(unixSeconds) / 60.0, kMinutesPerDay);
    if (minutesUtc < 0.0)
        minutesUtc += kMinutesPerDay;
    double trueSolarMinutes = minutesUtc + p.equationOfTimeMinutes + 4.0 * longitudeDeg;
    double hourAngle = trueSolarMinutes / 4.0 - 180.0;
    double cosZenith = sinDeg(latitudeDeg) * sinDeg(p.declinationDeg) +
                       cosDeg(latitudeDeg) * cosDeg(p.declinationDeg) * cosDeg(hourAngle);
    return cosZenith < cosDeg(kRiseSetZenithDeg);
}

}  // namespace wp2
