// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The unit system the user picked, as stored in the "UnitSystem" setting and
// as the index of the option dialog's radio buttons "U.S.", "Metric", "Nautical".

#include <cstdint>

namespace wp2 {

enum class UnitSystem : std::int32_t {
    US = 0,
    Metric = 1,
    Nautical = 2,
};

}  // namespace wp2
