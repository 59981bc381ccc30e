// SPDX-License-Identifier: GPL-3.0-or-later
// The trip computer behind the recording filter: moving and stopped time,
// gaps and lost fixes, resetting a meter and a restart through the settings.

#include "core/track/trip_computer.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/nav/angles.h"
#include "core/track/track_log.h"
#include "track_test_env.h"

namespace wp2 {
namespace {

// A fix `north` metres from the base spot at `second` and `knots` (or its GGA
// half, without a velocity, or a bare position without a time, as the
// emulation makes); a negative second stands for an event instead.
struct Step {
    double north, second, knots = 10.0;
    bool gga = false, bare = false;
};
constexpr Step kLost{0, -1}, kResetA{0, -2}, kRestart{0, -3};
constexpr double k10Knots = 10.0 * kKnotsToMps;

TEST(TripComputer, CountsKeptDistanceAndSplitsMovingFromStoppedTime) {
    test::TestSettings<> settings;
    settings.registry.setNumber(kTrackStateValue, TrackState::ParkingFilter);
    const struct {
        const char* what;
        std::vector<Step> steps;
        TripMeter a;
        std::optional<TripMeter> b = {};  // none: as A; the odometer is always B's distance
    } cases[] = {
        {"parked fixes add stopped time, no distance",
         {{0, 0}, {20, 1}, {40, 2}, {40.5, 3, 0}, {41, 4, 0}, {40, 5, 0}},
         {40, 2, 3, k10Knots}},
        {"a gap of more than 5 s counts neither time nor distance",
         {{0, 0}, {20, 1}, {30, 6}, {200, 20}, {220, 21}},
         {40, 7, 0, k10Knots}},
        {"the GGA half of a fix, first in its second, runs at the last speed",
         {{0, 0}, {20, 1, 0, true}, {20, 1}, {40, 2, 0, true}, {40, 2}},
         {40, 2, 0, k10Knots}},
        {"bare positions without a time, as the emulation's, count nothing",
         {{0, 0, 0, false, true}, {100, 0, 0, false, true}, {200, 0, 0, false, true}},
         {}},
        {"a lost fix is a gap", {{0, 0}, {20, 1}, kLost, {40, 2}, {60, 3}}, {40, 2, 0, k10Knots}},
        {"reset A leaves B and the odometer",
         {{0, 0, 20}, {20, 1, 20}, kResetA, {40, 2}, {40, 3, 0}},
         {20, 1, 1, k10Knots},
         TripMeter{40, 2, 1, 2 * k10Knots}},
        {"a restart keeps the meters and counts as a gap",
         {{0, 0}, {20, 1}, kRestart, {40, 2}, {100, 3, 0}},
         {80, 1, 1, k10Knots}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TrackLog log;
        log.loadOptions(settings.registry);
        TripComputer trip;
        log.setTripComputer(&trip);
        for (const Step& s : c.steps) {
            TrackPoint p = s.gga ? test::ggaAt(s.north, 0.0, s.second)
                                 : test::fixAt(s.north, 0.0, s.second, s.knots);
            if (s.bare) {
                p = pointFromPosition(p.latitude, p.longitude, p.altitude);
            }
            if (s.second >= 0) {
                log.addFix(p);
            } else if (s.second == kLost.second) {
                log.signalLost();
            } else if (s.second == kResetA.second) {
                trip.reset(Trip::A);
            } else {
                trip.save(settings.services);
                trip = TripComputer();
                trip.load(settings.services);
            }
        }
        // Distances within 0.3 m: the fixes are placed on the recorder's
        // approximate sphere, the trip measures on the ellipsoid.
        const TripMeter b = c.b.value_or(c.a);
        for (auto [got, want] : {std::pair{trip.meter(Trip::A), c.a}, {trip.meter(Trip::B), b}}) {
            EXPECT_NEAR(got.distance, want.distance, 0.3);
            got.distance = want.distance;
            EXPECT_EQ(got, want);
        }
        EXPECT_NEAR(trip.odometer(), b.distance, 0.3);
    }
}

}  // namespace
}  // namespace wp2
