// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver's health as one of four lamp states, derived from the state.

#include <cstdint>

namespace wp2 {

struct GpsState;

enum class GpsCondition : int { BlinkingRed = 0, Red = 1, Yellow = 2, Green = 3 };

GpsCondition condition(const GpsState& state);
// "BLINKING RED", "RED", "YELLOW", "GREEN".
const char* conditionText(GpsCondition c);

}  // namespace wp2
