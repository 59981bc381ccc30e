// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's battery charge, as the power-supply class of the kernel
// reports it.

#include <optional>
#include <string>

namespace wp2 {

inline constexpr const char* kPowerSupplyDir = "/sys/class/power_supply";

// Charge in percent (0..100): the mean capacity of the system's batteries
// (peripheral batteries such as a mouse's are left out); none when the
// machine has no battery that reports its capacity (a desktop on mains).
std::optional<int> batteryPercent(const std::string& powerSupplyDir = kPowerSupplyDir);

}  // namespace wp2
