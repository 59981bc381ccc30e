// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers findNear for many positions against one unchanging collection in
// about constant time each. The pushpins are placed in a grid of cubes in
// earth-centred coordinates of the approximate earth model, at altitude 0,
// and the cubes are hashed into buckets. The cubes are four times the radius,
// so the pushpins within the radius of a position lie in its own cube or in
// the neighbours along the axes where it lies within the radius of a side (at
// most 8 cubes, about 3.4 on average). Every
// candidate is tested with approxDistance itself (so cubes sharing a bucket
// do no harm), and among those that pass the lowest index wins: the answer is
// exactly findNear's.

#include <cstdint>
#include <vector>

#include "core/waypoints/pushpins.h"

namespace wp2 {

class PushpinNearIndex {
public:
    // The collection must not change while the index is used.
    PushpinNearIndex(const Pushpins& pins, double radius);

    // Index of the first pushpin (counting from 0) within the radius of the
    // position, both at altitude 0; -1 when there is none.
    int findNear(double latitude, double longitude) const;

private:
    struct Entry {
        double latitude;
        double longitude;
        int index;
    };
    struct Cell {
        std::int64_t x, y, z;
    };

    // False for positions whose coordinates cannot be put in a cell (not
    // finite, or absurdly far from the earth). `nearer` gets, per axis, the
    // neighbouring cell within reach of the position (-1 or +1), or 0.
    bool cellOf(double latitude, double longitude, Cell& cell, Cell* nearer = nullptr) const;
    std::size_t bucketOf(const Cell& cell) const;
    bool within(const Entry& e, double latitude, double longitude) const;
    void consider(const Entry* from, const Entry* to, double latitude, double longitude,
                  int& best) const;
    // Every pushpin, for positions without a cell.
    int scanAll(double latitude, double longitude) const;

    double radius_;
    double cellSize_;
    double reach_;          // the radius with a small margin
    std::size_t mask_ = 0;  // buckets - 1, a power of two less one
    // The pushpins with a cell, grouped by bucket, in index order within one.
    std::vector<Entry> entries_;
    // Bucket b holds entries_[starts_[b]] up to entries_[starts_[b + 1]].
    std::vector<std::uint32_t> starts_;
    // Pushpins without a cell; every query looks at them.
    std::vector<Entry> outside_;
};

}  // namespace wp2
