// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The on-screen keyboard of a touch screen. Where the platform has none (a
// desktop) the request does nothing.

namespace wp2 {

// Lowers the on-screen keyboard if it is up.
void lowerInputPanel();

}  // namespace wp2
