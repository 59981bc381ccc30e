// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings key and value names shared across the program.

namespace wp2 {

inline constexpr const char* kSettingsKeyPath = "Software\\KELM\\Wayplot2";
inline constexpr const char* kBluetoothKeyPath = "SOFTWARE\\Widcomm\\BtConfig\\AutoConnect\\0008";

}  // namespace wp2
