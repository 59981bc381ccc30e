#include "platform/battery_status.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace wp2 {
namespace {

// Adds a supply to a fake power-supply folder.
void supply(const test::TempDir& dir, const std::string& name, const std::string& type,
            const std::string& capacity, const std::string& scope = "") {
    std::filesystem::create_directories(dir.file(name));
    test::writeFile(dir.file(name + "/type"), type + "\n");
    if (!capacity.empty()) {
        test::writeFile(dir.file(name + "/capacity"), capacity + "\n");
    }
    if (!scope.empty()) {
        test::writeFile(dir.file(name + "/scope"), scope + "\n");
    }
}

TEST(BatteryStatus, AveragesSystemBatteriesIgnoringMainsPeripheralsAndJunk) {
    EXPECT_EQ(batteryPercent("/nonexistent/power_supply"), 0);
    test::TempDir dir;
    supply(dir, "AC", "Mains", "");
    EXPECT_EQ(batteryPercent(dir.path()), 0);
    supply(dir, "BAT0", "Battery", "80");
    EXPECT_EQ(batteryPercent(dir.path()), 80);
    supply(dir, "BAT1", "Battery", "41");
    supply(dir, "hid-mouse", "Battery", "5", "Device");
    supply(dir, "BAT2", "Battery", "n/a");
    EXPECT_EQ(batteryPercent(dir.path()), 61);  // (80 + 41) / 2 rounded
    supply(dir, "BAT3", "Battery", "250");      // out of range: clamped
    EXPECT_EQ(batteryPercent(dir.path()), 74);
}

}  // namespace
}  // namespace wp2
