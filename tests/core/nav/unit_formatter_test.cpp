// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of values on the screen: speeds, distances and altitudes in each
// unit system, what is typed back in, and positions in degrees and minutes.

#include "core/nav/unit_formatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"

namespace wp2 {

void PrintTo(const FormattedValue& v, std::ostream* os) {
    *os << '"' << v.text << "\" \"" << v.label << '"';
}

namespace {

UnitFormatter formatterFor(UnitSystem system) {
    UnitFormatter f;
    f.setSystem(system);
    return f;
}

FormattedValue fv(const char* text, const char* label) {
    return {text, label};
}

// Speeds with decimals only below 100, clamped at 1e6 m/s (the clamp shows
// the program's own factors, not the textbook ones); metric distances in
// kilometres from 1000 m; U.S. and nautical ones in feet below 1000 ft
// (304.8 m), then miles with two decimals below 2 and one above (nautical
// miles share the "mi" label); altitudes in feet six wide, in metres five.
TEST(UnitFormatter, SpeedsDistancesAndAltitudesInEachSystem) {
    using F = FormattedValue (UnitFormatter::*)(double) const;
    constexpr F speed = &UnitFormatter::formatSpeed, distance = &UnitFormatter::formatDistance,
                altitude = &UnitFormatter::formatAltitude;
    constexpr auto M = UnitSystem::Metric, US = UnitSystem::US, N = UnitSystem::Nautical;
    const struct {
        UnitSystem system;
        F format;
        double value;
        const char *text, *label;
    } cases[] = {
        {M, speed, 27.7, "99.7", "kmh"},      {M, speed, 27.8, "100", "kmh"},
        {M, speed, 1.0, "3.6", "kmh"},        {M, speed, 1e6, "3600000", "kmh"},
        {M, speed, 1e300, "3600000", "kmh"},  {US, speed, 2e6, "2237415", "mph"},
        {N, speed, 2e6, "1943800", "knot"},   {US, speed, 10.0, "22.4", "mph"},
        {N, speed, 10.0, "19.4", "knot"},     {N, speed, 60.0, "117", "knot"},
        {M, distance, 999.4, " 999", "m"},    {M, distance, 1000.0, " 1.0", "km"},
        {M, distance, 7.0, "   7", "m"},      {M, distance, 12345.0, "12.3", "km"},
        {US, distance, 300.0, " 984", "ft"},  {US, distance, 305.0, "0.19", "mi"},
        {US, distance, 3000.0, "1.86", "mi"}, {US, distance, 4000.0, " 2.5", "mi"},
        {N, distance, 300.0, " 984", "ft"},   {N, distance, 305.0, "0.16", "mi"},
        {N, distance, 3703.0, "2.00", "mi"},  {N, distance, 3704.0, " 2.0", "mi"},
        {N, altitude, 100.0, "   328", "ft"}, {M, altitude, 100.0, "  100", "m"},
        {M, altitude, -12.4, "  -12", "m"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ((formatterFor(c.system).*c.format)(c.value), fv(c.text, c.label)) << c.value;
    }
    EXPECT_EQ(formatterFor(M).formatDistanceWithUnit(999.4), " 999 m");
    EXPECT_EQ(formatterFor(US).formatAltitudeWithUnit(305.0), "  1000 ft");
    EXPECT_EQ(formatterFor(M).formatAltitudeWithUnit(8848.0), " 8848 m");
}

TEST(ParseValue, ConvertsFromTheCurrentUnit) {
    double v = 0.0;
    ASSERT_TRUE(formatterFor(UnitSystem::Nautical).parseSpeed("10", v));
    EXPECT_DOUBLE_EQ(v, 5.144562197756971);
    ASSERT_TRUE(formatterFor(UnitSystem::US).parseSpeed("10", v));
    EXPECT_DOUBLE_EQ(v, 4.469444444444446);
    ASSERT_TRUE(formatterFor(UnitSystem::Metric).parseSpeed("36", v));
    EXPECT_DOUBLE_EQ(v, 10.0);
    ASSERT_TRUE(formatterFor(UnitSystem::Metric).parseAltitude("431.5", v));
    EXPECT_DOUBLE_EQ(v, 431.5);
    ASSERT_TRUE(formatterFor(UnitSystem::Nautical).parseAltitude("1000", v));
    EXPECT_DOUBLE_EQ(v, 305.0);
    EXPECT_FALSE(formatterFor(UnitSystem::Nautical).parseSpeed("10 knot", v));
}

TEST(CoordinateText, MinutesKeepFourDecimalsWithoutPaddingAndDoNotCarryIntoDegrees) {
    EXPECT_EQ(formatLatitude((51.0 + 5.12345 / 60.0) * kDegToRad), "N 51 5.1235'");
    EXPECT_EQ(formatLongitude((-(7.0 + 0.5 / 60.0)) * kDegToRad), "W 7 0.5000'");
    EXPECT_EQ(formatLatitude((10.0 + 59.99996 / 60.0) * kDegToRad), "N 10 60.0000'");
    EXPECT_EQ(formatLongitude(-(100.0 + 59.99996 / 60.0) * kDegToRad), "W 100 60.0000'");
}

// A whole degree south and west is the point dialog's test; here the edges.
TEST(DegMinSplit, WholeDegreesMinutesAndHemisphere) {
    DegMin zero = DegMin::split(0.0);
    EXPECT_EQ(zero, (DegMin{0, 0.0f, true}));
    EXPECT_TRUE(DegMin::split(-0.0).positive);

    DegMin small = DegMin::split(-0.25 * kDegToRad);
    EXPECT_EQ(small.degrees, 0);
    EXPECT_NEAR(small.minutes, 15.0f, 1e-4f);
    EXPECT_FALSE(small.positive);

    EXPECT_EQ(DegMin::split(179.75 * kDegToRad).degrees, 179);
}

}  // namespace
}  // namespace wp2
