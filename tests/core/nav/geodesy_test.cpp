// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/geodesy.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/nav/angles.h"

namespace wp2 {
namespace {

LatLonAlt deg(double latDeg, double lonDeg, double alt = 0.0) {
    return {latDeg * kDegToRad, lonDeg * kDegToRad, alt};
}

TEST(ApproxModel, DistanceIsTheChordAndCountsAltitude) {
    LatLonAlt low = deg(47.3, 8.5, 400.0);
    LatLonAlt high = deg(47.3, 8.5, 500.0);
    EXPECT_NEAR(approxDistance(low, high), 100.0, 1e-6);
    EXPECT_DOUBLE_EQ(approxDistance(low, low), 0.0);

    // One degree along the equator: the chord of a 6378245 m circle.
    double chord = 2.0 * 6378245.0 * std::sin(0.5 * kDegToRad);
    EXPECT_NEAR(approxDistance(deg(0, 10), deg(0, 11)), chord, 1e-6);
    // One degree along a meridian at 60 degrees uses the radius there, north
    // and south alike, and the six-double form agrees with the triple form.
    LatLonAlt a = deg(60, 20);
    LatLonAlt b = deg(61, 20);
    double r = approxEarthRadius(60.5 * kDegToRad);
    EXPECT_NEAR(approxDistance(a, b), 2.0 * r * std::sin(0.5 * kDegToRad), 20.0);
    EXPECT_DOUBLE_EQ(approxDistance(a, b), approxDistance(deg(-60, 20), deg(-61, 20)));
    EXPECT_DOUBLE_EQ(approxDistance(a.latitude, a.longitude, 0.0, b.latitude, b.longitude, 0.0),
                     approxDistance(a, b));
}

TEST(Ellipsoid, SurfaceDistanceIgnoresAltitudeChordDoesNot) {
    const Ellipsoid& e = wgs84();
    LatLonAlt ground = deg(48.1, 11.6, 0.0);
    LatLonAlt above = deg(48.1, 11.6, 100.0);
    EXPECT_NEAR(e.chordDistance(ground, above), 100.0, 1e-6);
    EXPECT_DOUBLE_EQ(e.groundChordDistance(ground, above), 0.0);

    LatLonAlt p = deg(48.1, 11.6, 520.0);
    LatLonAlt q = deg(48.2, 11.7, 1800.0);
    EXPECT_DOUBLE_EQ(e.groundChordDistance(p, q),
                     e.chordDistance(deg(48.1, 11.6), deg(48.2, 11.7)));
    EXPECT_GT(e.chordDistance(p, q), e.groundChordDistance(p, q));
}

}  // namespace
}  // namespace wp2
