// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/battery_status.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace wp2 {
namespace {

TEST(BatteryStatus, AveragesSystemBatteriesAndHasNoneWithoutOne) {
    test::TempDir dir;
    // Adds a supply: its type, capacity and scope ("" for none).
    const auto supply = [&](const std::string& name, const std::string& type,
                            const std::string& capacity, const std::string& scope = "") {
        std::filesystem::create_directories(dir.file(name));
        for (auto [attribute, value] :
             {std::pair{"/type", type}, {"/capacity", capacity}, {"/scope", scope}}) {
            if (!value.empty()) {
                test::writeFile(dir.file(name + attribute), value + "\n");
            }
        }
    };
    EXPECT_EQ(batteryPercent("/nonexistent/power_supply"), std::nullopt);
    EXPECT_EQ(batteryPercent(dir.path()), std::nullopt);  // a desktop: nothing at all
    supply("AC", "Mains", "");
    supply("hid-mouse", "Battery", "5", "Device");  // a peripheral's
    supply("BAT9", "Battery", "n/a");
    EXPECT_EQ(batteryPercent(dir.path()), std::nullopt);  // no system battery
    supply("BAT0", "Battery", "80");
    supply("BAT1", "Battery", "41");
    EXPECT_EQ(batteryPercent(dir.path()), 61);  // (80 + 41) / 2 rounded
    supply("BAT3", "Battery", "250");           // out of range: clamped
    EXPECT_EQ(batteryPercent(dir.path()), 74);
}

}  // namespace
}  // namespace wp2
