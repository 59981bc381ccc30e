// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up for the track tests: a private settings registry, the program's
// files under a temporary root and fixes placed by metres around a fixed spot.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/nav/geodesy.h"
#include "core/settings/settings_store.h"
#include "core/track/track_log.h"
#include "core/track/track_point.h"
#include "support/test_services.h"
#include "support/test_support.h"

namespace wp2::test {

// Every track test runs with its own settings and file root.
class TrackTest : public ::testing::Test {
protected:
    TestSettings<> settings_;
    TestRegistry& registry_ = settings_.registry;
    TempDir root_{true};
};

inline GpsDateTime dateTime(int year, int month, int day, int hour, int minute, double seconds) {
    GpsDateTime t;
    t.year = static_cast<std::uint8_t>(year);
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(day);
    t.hour = static_cast<std::uint8_t>(hour);
    t.minute = static_cast<std::uint8_t>(minute);
    t.seconds = seconds;
    return t;
}

inline constexpr double kBaseLat = 0.8;  // radians, about 45.8 degrees north
inline constexpr double kBaseLon = 0.2;

// A dated RMC-like fix the given metres north and east of the base spot, at
// 12:00 plus `second` seconds on 15 June 2024, moving at `speed` knots.
inline TrackPoint fixAt(double north, double east, double second = 0.0, double speed = 5.0) {
    const double r = approxEarthRadius(kBaseLat);
    TrackPoint p;
    p.latitude = kBaseLat + north / r;
    p.longitude = kBaseLon + east / (r * std::cos(kBaseLat));
    p.altitude = 100.0;
    p.time = dateTime(24, 6, 15, 12, static_cast<int>(second / 60.0), std::fmod(second, 60.0));
    p.speed = speed;
    p.course = 0.0;
    p.dop = 1.5;
    p.state = TrackPointState::ThreeD;
    return p;
}

// The same position as a GGA fix would give it: no velocity, satellites known.
inline TrackPoint ggaAt(double north, double east, double second = 0.0, std::uint8_t sats = 7) {
    TrackPoint p = fixAt(north, east, second, 0.0);
    p.state = TrackPointState::FromGga | TrackPointState::NoVelocity | TrackPointState::Sats5Plus;
    p.satellites = sats;
    return p;
}

}  // namespace wp2::test
