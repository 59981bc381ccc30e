// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The earth model: a fast approximate distance for the recorder and the
// pushpin search, and an ellipsoid for navigation and map projection.
// Positions are passed as GeoPoint-like triples: latitude, longitude (radians),
// altitude (metres). Every formula uses the program's own pi (core/nav/angles.h).

#include <cstdint>

namespace wp2 {

struct LatLonAlt {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
};

// Radius in metres of the approximate model at a latitude (radians): a sphere
// whose radius shrinks linearly from the Krasovsky equator radius towards the poles.
double approxEarthRadius(double latitude);
// Chord distance through the approximate model, altitude included.
double approxDistance(double lat1, double lon1, double alt1, double lat2, double lon2, double alt2);
double approxDistance(const LatLonAlt& p, const LatLonAlt& q);

struct Cartesian {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct LocalScale {
    double metresPerDegLon = 0.0;
    double metresPerDegLat = 0.0;
    double zero = 0.0;
};

class Ellipsoid {
public:
    // Type codes: 1 WGS-84, 2 and 4 (a = 6378160, 1/f = 298.25), 3 Krasovsky 1940,
    // 5 International 1924. An unknown code keeps the code but takes the WGS-84
    // axes, so the object never holds undefined values.
    explicit Ellipsoid(std::int32_t type);

    // Earth-centred X, Y, Z in metres, altitude included.
    Cartesian toCartesian(const LatLonAlt& p) const;
    // The point on the ellipsoid surface below p (altitude ignored).
    Cartesian toCartesianSurface(const LatLonAlt& p) const;
    // Straight-line distance through the earth between the two points.
    double chordDistance(const LatLonAlt& p, const LatLonAlt& q) const;
    // The same between the points on the surface below them (altitudes ignored):
    // still a chord, not the distance along the surface.
    double groundChordDistance(const LatLonAlt& p, const LatLonAlt& q) const;
    // Metres per degree of longitude and of latitude around p.
    LocalScale localScale(const LatLonAlt& p) const;
    // Radians clockwise from north: due north 0, east pi/2, south pi, west 3pi/2.
    double bearing(const LatLonAlt& from, const LatLonAlt& to) const;

    double semiMajorAxis;
    double semiMinorAxis;
    double flattening;
    double eccentricitySquared;
    std::int32_t type;
};

// The one process-wide WGS-84 ellipsoid, built on first use, read-only.
const Ellipsoid& wgs84();

}  // namespace wp2
