// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system_clock.h"

#include <chrono>
#include <thread>

namespace wp2 {

std::uint32_t SystemClock::tickCount() const {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

std::time_t SystemClock::now() const {
    return std::time(nullptr);
}

void SystemClock::sleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace wp2
