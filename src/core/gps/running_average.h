// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mean of the last (at most) N values added, kept in a fixed ring.

#include <vector>

namespace wp2 {

class RunningAverage {
public:
    explicit RunningAverage(int capacity);

    void add(double value);

    double mean() const { return mean_; }
    int count() const { return count_; }
    int capacity() const { return static_cast<int>(values_.size()); }

private:
    std::vector<double> values_;
    int writeIndex_ = 0;
    int count_ = 0;
    double mean_ = 0.0;
};

}  // namespace wp2
