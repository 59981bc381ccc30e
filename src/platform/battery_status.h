#pragma once
// The system's battery charge, as the power-supply class of the kernel
// reports it.

#include <string>

namespace wp2 {

inline constexpr const char* kPowerSupplyDir = "/sys/class/power_supply";

// Charge in percent (0..100): the mean capacity of the system's batteries
// (peripheral batteries such as a mouse's are left out); 0 when there is none.
int batteryPercent(const std::string& powerSupplyDir = kPowerSupplyDir);

}  // namespace wp2
