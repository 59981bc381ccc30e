// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/nav/sun_times.h"

#include <gtest/gtest.h>

#include <chrono>

namespace wp2 {
namespace {

// Published times, rounded to the minute, all in UTC. Sources:
// - U.S. Naval Observatory, "Rise and Set for the Sun", one-year tables for the
//   given latitude and longitude (aa.usno.navy.mil/calculated/rstt/year).
//   USNO lists the events that fall on each UTC date; here a sunset after
//   midnight UTC is the next date's entry, written as hours past 24.
// - USNO one-day table for Atlanta (33.8 N, 84.4 W) on 6 September 2009, as
//   quoted in the PyEphem documentation: rise 7:15, set 19:56 EDT (UTC-4).
struct SunRow {
    const char* place;
    double lat, lon;
    int y, m, d;
    SunDay::Kind kind;
    int riseH, riseM, setH, setM;
};

constexpr auto kBoth = SunDay::Kind::RisesAndSets;
constexpr auto kUp = SunDay::Kind::PolarDay;
constexpr auto kDown = SunDay::Kind::PolarNight;

const SunRow kRows[] = {
    {"60N 0E winter", 60, 0, 2019, 1, 15, kBoth, 8, 48, 15, 31},
    {"60N 0E midsummer", 60, 0, 2019, 6, 21, kBoth, 2, 36, 21, 28},
    {"29N 81W January", 29, -81, 2019, 1, 15, kBoth, 12, 19, 22, 48},
    {"29N 81W June, sets after 0 UTC", 29, -81, 2019, 6, 15, kBoth, 10, 25, 24, 24},
    {"60S 150W January", -60, -150, 2019, 1, 15, kBoth, 13, 12, 31, 6},
    {"60S 150W midwinter", -60, -150, 2019, 6, 21, kBoth, 19, 6, 24, 58},
    {"80N 0E March, days lengthen fast", 80, 0, 2019, 3, 15, kBoth, 6, 41, 17, 42},
    {"80S 150W April, days shorten fast", -80, -150, 2019, 4, 10, kBoth, 19, 5, 24, 55},
    {"Atlanta", 33.8, -84.4, 2009, 9, 6, kBoth, 11, 15, 23, 56},
    {"80N 0E January", 80, 0, 2019, 1, 15, kDown, 0, 0, 0, 0},
    {"80N 0E June", 80, 0, 2019, 6, 15, kUp, 0, 0, 0, 0},
    {"80S 150W June", -80, -150, 2019, 6, 21, kDown, 0, 0, 0, 0},
    {"80S 150W December", -80, -150, 2019, 12, 21, kUp, 0, 0, 0, 0},
};

TEST(SunTimes, MatchPublishedTablesAndNightFollowsThem) {
    using namespace std::chrono;
    for (const SunRow& r : kRows) {
        SCOPED_TRACE(r.place);
        SunDay got = sunDay(r.lat, r.lon, r.y, r.m, r.d);
        ASSERT_EQ(got.kind, r.kind);
        auto midnight = sys_seconds{sys_days{year{r.y} / r.m / r.d}}.time_since_epoch().count();
        auto at = [&](double minutes) {
            return midnight + static_cast<std::int64_t>(minutes * 60.0);
        };
        if (r.kind != kBoth) {
            for (double minutes : {0.0, 360.0, 720.0, 1080.0})
                EXPECT_EQ(isNight(r.lat, r.lon, at(minutes)), r.kind == kDown) << minutes;
            continue;
        }
        double rise = r.riseH * 60 + r.riseM;
        double set = r.setH * 60 + r.setM;
        EXPECT_NEAR(got.sunriseMinutes, rise, 1.5);
        EXPECT_NEAR(got.sunsetMinutes, set, 1.5);
        // Night ends at sunrise and begins at sunset, by the same formulas.
        EXPECT_TRUE(isNight(r.lat, r.lon, at(got.sunriseMinutes - 2)));
        EXPECT_FALSE(isNight(r.lat, r.lon, at(got.sunriseMinutes + 2)));
        EXPECT_FALSE(isNight(r.lat, r.lon, at(got.sunsetMinutes - 2)));
        EXPECT_TRUE(isNight(r.lat, r.lon, at(got.sunsetMinutes + 2)));
    }
}

}  // namespace
}  // namespace wp2
