// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real clock: a monotonic millisecond tick count and the system calendar time.

#include "core/base/clock.h"

namespace wp2 {

class SystemClock final : public Clock {
public:
    std::uint32_t tickCount() const override;
    std::time_t now() const override;
    void sleepMs(std::uint32_t ms) override;
};

}  // namespace wp2
