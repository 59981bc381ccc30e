// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stored "UnitSystem" setting and its application to a formatter.

#include "core/base/services.h"
#include "core/nav/unit_formatter.h"

namespace wp2 {

// Name of the registry value that holds the UnitSystem (default 0, U.S.).
inline constexpr const char* kUnitSystemValueName = "UnitSystem";

// Reads the stored unit system (writing the default when the value is absent)
// and applies it to the formatter. Called once at start-up after the settings
// are read; an out-of-range stored value leaves the formatter as it was.
void applyStoredUnitSystem(const SettingsServices& settings, UnitFormatter& formatter);

}  // namespace wp2
