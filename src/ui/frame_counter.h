// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's frame counter: about 33 counts a second of real time,
// advanced by the main window and read by elements for animation timing.

#include <cstdint>

namespace wp2 {

std::uint32_t currentFrame();
void publishFrame(std::uint32_t frame);

}  // namespace wp2
