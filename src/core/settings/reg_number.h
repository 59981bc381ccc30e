// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers in registry values: REG_DWORD is 4 bytes, REG_BINARY doubles are the
// 8 bytes of the IEEE 754 value; both least significant byte first.

#include <cstdint>
#include <vector>

namespace wp2 {

std::vector<std::uint8_t> dwordBytes(std::uint32_t value);
// data must hold at least 4 bytes.
std::uint32_t dwordFromBytes(const std::vector<std::uint8_t>& data);

std::vector<std::uint8_t> doubleBytes(double value);
// data must hold at least 8 bytes.
double doubleFromBytes(const std::vector<std::uint8_t>& data);

}  // namespace wp2
