// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/running_average.h"

namespace wp2 {

RunningAverage::RunningAverage(int capacity)
    : values_(static_cast<std::size_t>(capacity > 0 ? capacity : 1), 0.0) {}

void RunningAverage::add(double value) {
    values_[static_cast<std::size_t>(writeIndex_)] = value;
    writeIndex_ = (writeIndex_ + 1) % capacity();
    if (count_ < capacity()) {
        ++count_;
    }
    double sum = 0.0;
    for (int i = 0; i < count_; ++i) {
        sum += values_[static_cast<std::size_t>(i)];
    }
    mean_ = sum / count_;
}

}  // namespace wp2
