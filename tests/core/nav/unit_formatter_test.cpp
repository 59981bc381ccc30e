#include "core/nav/unit_formatter.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

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

TEST(FormatSpeed, DecimalsOnlyBelowOneHundredAndClampedAtOneMillionMetresPerSecond) {
    UnitFormatter metric = formatterFor(UnitSystem::Metric);
    EXPECT_EQ(metric.formatSpeed(27.7), fv("99.7", "kmh"));
    EXPECT_EQ(metric.formatSpeed(27.8), fv("100", "kmh"));
    EXPECT_EQ(metric.formatSpeed(1.0), fv("3.6", "kmh"));
    EXPECT_EQ(metric.formatSpeed(1e6), fv("3600000", "kmh"));
    EXPECT_EQ(metric.formatSpeed(1e300), metric.formatSpeed(1e6));
    // The clamp also shows the program's own factors, not the textbook ones.
    EXPECT_EQ(formatterFor(UnitSystem::US).formatSpeed(2e6), fv("2237415", "mph"));
    EXPECT_EQ(formatterFor(UnitSystem::Nautical).formatSpeed(2e6), fv("1943800", "knot"));
    EXPECT_EQ(formatterFor(UnitSystem::US).formatSpeed(10.0), fv("22.4", "mph"));
    EXPECT_EQ(formatterFor(UnitSystem::Nautical).formatSpeed(10.0), fv("19.4", "knot"));
    EXPECT_EQ(formatterFor(UnitSystem::Nautical).formatSpeed(60.0), fv("117", "knot"));
}

TEST(FormatDistance, MetricSwitchesToKilometresAtOneThousandMetres) {
    UnitFormatter metric = formatterFor(UnitSystem::Metric);
    EXPECT_EQ(metric.formatDistance(999.4), fv(" 999", "m"));
    EXPECT_EQ(metric.formatDistance(1000.0), fv(" 1.0", "km"));
    EXPECT_EQ(metric.formatDistance(7.0), fv("   7", "m"));
    EXPECT_EQ(metric.formatDistance(12345.0), fv("12.3", "km"));
    EXPECT_EQ(metric.formatDistanceWithUnit(999.4), " 999 m");
}

// U.S. and nautical units: feet below 1000 ft (304.8 m), then miles with two
// decimals below 2 and one above; nautical miles share the "mi" label.
TEST(FormatDistance, FeetThenMilesInUsAndNauticalUnits) {
    const struct {
        UnitSystem system;
        double metres;
        const char *text, *label;
    } cases[] = {
        {UnitSystem::US, 300.0, " 984", "ft"},        {UnitSystem::US, 305.0, "0.19", "mi"},
        {UnitSystem::US, 3000.0, "1.86", "mi"},       {UnitSystem::US, 4000.0, " 2.5", "mi"},
        {UnitSystem::Nautical, 300.0, " 984", "ft"},  {UnitSystem::Nautical, 305.0, "0.16", "mi"},
        {UnitSystem::Nautical, 3703.0, "2.00", "mi"}, {UnitSystem::Nautical, 3704.0, " 2.0", "mi"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatterFor(c.system).formatDistance(c.metres), fv(c.text, c.label)) << c.metres;
    }
}

TEST(FormatAltitude, FeetSixWideMetresFiveWide) {
    EXPECT_EQ(formatterFor(UnitSystem::Nautical).formatAltitude(100.0), fv("   328", "ft"));
    EXPECT_EQ(formatterFor(UnitSystem::Metric).formatAltitude(100.0), fv("  100", "m"));
    EXPECT_EQ(formatterFor(UnitSystem::Metric).formatAltitude(-12.4), fv("  -12", "m"));
    EXPECT_EQ(formatterFor(UnitSystem::US).formatAltitudeWithUnit(305.0), "  1000 ft");
    EXPECT_EQ(formatterFor(UnitSystem::Metric).formatAltitudeWithUnit(8848.0), " 8848 m");
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

}  // namespace
}  // namespace wp2
