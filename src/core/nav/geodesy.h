#pragma once
// The earth model: a fast approximate distance for the recorder and the
// pushpin search, and an ellipsoid for navigation and map projection.
// Positions are passed as GeoPoint-like triples: latitude, longitude (radians),
// altitude (metres).

namespace wp2 {

struct LatLonAlt {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
};

// Radius in metres of the approximate model at a latitude (radians).
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
    // Type codes 1..5 (1 = WGS-84).
    explicit Ellipsoid(int type);
    virtual ~Ellipsoid() = default;

    Cartesian toCartesian(const LatLonAlt& p) const;
    Cartesian toCartesianSurface(const LatLonAlt& p) const;
    double chordDistance(const LatLonAlt& p, const LatLonAlt& q) const;
    double surfaceDistance(const LatLonAlt& p, const LatLonAlt& q) const;
    LocalScale localScale(const LatLonAlt& p) const;
    // Radians clockwise from north, in [0, 2*pi).
    double bearing(const LatLonAlt& from, const LatLonAlt& to) const;

    double semiMajorAxis;
    double semiMinorAxis;
    double flattening;
    double eccentricitySquared;
    int type;
};

// The one process-wide WGS-84 ellipsoid.
const Ellipsoid& wgs84();

}  // namespace wp2
