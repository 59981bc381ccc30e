// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/geodesy.h"

#include <cmath>
#include <cstring>

#include "core/nav/angles.h"

namespace wp2 {

namespace {

// Equator radius and a - b of the Krasovsky ellipsoid, used by the approximate model.
constexpr double kApproxEquatorRadius = 6378245.0;
constexpr double kApproxRadiusShrink = 21382.0;
constexpr double kOneOverTwoPi = 0.1591549431471049;  // 1 / (2 * kPi)

// Half-width of the step localScale measures over: 0.005 degrees.
constexpr double kScaleStep = 8.726646256944445e-5;

struct Axes {
    double a;
    double b;
};

Axes axesFor(std::int32_t type) {
    switch (type) {
        case 2:
        case 4:
            return {6378160.0, 6356774.719195306};
        case 3:
            return {6378245.0, 6356863.018773047};
        case 5:
            return {6378388.0, 6356911.9461279465};
        case 1:
        default:
            return {6378137.0, 6356752.314245179};
    }
}

Cartesian approxCartesian(double lat, double lon, double alt) {
    // The track filters measure each new fix against the same last points
    // fix after fix, and the RMC and GGA halves of one fix share their
    // position: the directions of the positions used last are kept (a
    // position that equals one of them bit for bit gets the very same
    // products), and a new one replaces the one unused longest.
    struct Direction {
        double lat, lon;
        double x, y, z;  // cos lon cos lat, sin lon cos lat, sin lat
        unsigned used;   // when it was last used; 0: empty
    };
    thread_local Direction recent[4] = {};
    thread_local unsigned uses = 0;
    Direction* d = nullptr;
    Direction* unused = &recent[0];
    for (Direction& k : recent) {
        if (k.used != 0 && std::memcmp(&k.lat, &lat, sizeof lat) == 0 &&
            std::memcmp(&k.lon, &lon, sizeof lon) == 0) {
            d = &k;
            break;
        }
        unused = k.used < unused->used ? &k : unused;
    }
    if (!d) {
        d = unused;
        const double cosLat = std::cos(lat);
        *d = {lat, lon, std::cos(lon) * cosLat, std::sin(lon) * cosLat, std::sin(lat), 0};
    }
    d->used = ++uses;
    const double r = alt + approxEarthRadius(lat);
    return {d->x * r, d->y * r, d->z * r};
}

double distance(const Cartesian& p, const Cartesian& q) {
    double dx = p.x - q.x;
    double dy = p.y - q.y;
    double dz = p.z - q.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

double approxEarthRadius(double latitude) {
    return kApproxEquatorRadius - std::fabs(latitude) * kOneOverTwoPi * kApproxRadiusShrink;
}

double approxDistance(double lat1, double lon1, double alt1, double lat2, double lon2,
                      double alt2) {
    return distance(approxCartesian(lat1, lon1, alt1), approxCartesian(lat2, lon2, alt2));
}

double approxDistance(const LatLonAlt& p, const LatLonAlt& q) {
    return approxDistance(p.latitude, p.longitude, p.altitude, q.latitude, q.longitude, q.altitude);
}

Ellipsoid::Ellipsoid(std::int32_t type) : type(type) {
    Axes axes = axesFor(type);
    semiMajorAxis = axes.a;
    semiMinorAxis = axes.b;
    flattening = (semiMajorAxis - semiMinorAxis) / semiMajorAxis;
    eccentricitySquared = 2.0 * flattening - flattening * flattening;
}

Cartesian Ellipsoid::toCartesian(const LatLonAlt& p) const {
    double sinLat = std::sin(p.latitude);
    double cosLat = std::cos(p.latitude);
    double n = semiMajorAxis / std::sqrt(1.0 - eccentricitySquared * sinLat * sinLat);
    double h = p.altitude;
    return {(n + h) * cosLat * std::cos(p.longitude), (n + h) * cosLat * std::sin(p.longitude),
            ((1.0 - eccentricitySquared) * n + h) * sinLat};
}

Cartesian Ellipsoid::toCartesianSurface(const LatLonAlt& p) const {
    return toCartesian({p.latitude, p.longitude, 0.0});
}

double Ellipsoid::chordDistance(const LatLonAlt& p, const LatLonAlt& q) const {
    return distance(toCartesian(p), toCartesian(q));
}

double Ellipsoid::groundChordDistance(const LatLonAlt& p, const LatLonAlt& q) const {
    return distance(toCartesianSurface(p), toCartesianSurface(q));
}

LocalScale Ellipsoid::localScale(const LatLonAlt& p) const {
    LatLonAlt south = p;
    LatLonAlt north = p;
    south.latitude -= kScaleStep;
    north.latitude += kScaleStep;
    LatLonAlt west = p;
    LatLonAlt east = p;
    west.longitude -= kScaleStep;
    east.longitude += kScaleStep;
    // The two copies lie 0.01 degrees apart.
    return {chordDistance(west, east) * 100.0, chordDistance(south, north) * 100.0, 0.0};
}

double Ellipsoid::bearing(const LatLonAlt& from, const LatLonAlt& to) const {
    if (from.latitude == to.latitude && from.longitude == to.longitude) {
        return 0.0;
    }
    LocalScale scale = localScale(from);
    // Take the short way round: a target just across the 180th meridian lies
    // east of a position just west of it, not two thirds of the way round west.
    double dLon = std::remainder(to.longitude - from.longitude, 2.0 * kPi);
    double dx = dLon * scale.metresPerDegLon;
    double dy = (to.latitude - from.latitude) * scale.metresPerDegLat;
    if (dx == 0.0) {
        return dy > 0.0 ? 0.0 : kPi;
    }
    // hypot cannot underflow to 0 while dx is not 0, so the ratio stays in [-1, 1].
    double sine = dy / std::hypot(dx, dy);
    if (dx > 0.0) {
        return kHalfPi - std::asin(sine);
    }
    return kThreeHalfPi + std::asin(sine);
}

const Ellipsoid& wgs84() {
    static const Ellipsoid instance(1);
    return instance;
}

}  // namespace wp2
