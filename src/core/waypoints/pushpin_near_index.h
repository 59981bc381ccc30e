#pragma once
// Answers FindNear for many positions against one unchanging collection in
// about constant time each: the pushpins are hashed into a grid of cubes in
// earth-centred coordinates of the approximate earth model, at altitude 0,
// with cubes no smaller than the radius, so every pushpin within the radius
// of a position lies in the position's cube or one of its 26 neighbours.
// The final test is approxDistance itself, and among the pushpins that pass
// the lowest index wins, so the answer is exactly FindNear's.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/waypoints/cpushpins.h"

namespace wp2 {

class PushpinNearIndex {
public:
    // The collection must not change while the index is used.
    PushpinNearIndex(const CPushpins& pins, double radius);

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
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& c) const;
    };

    // False for positions whose coordinates cannot be put in a cell (not
    // finite, or absurdly far from the earth).
    bool cellOf(double latitude, double longitude, Cell& cell) const;
    bool within(const Entry& e, double latitude, double longitude) const;
    int scanAll(double latitude, double longitude) const;

    double radius_;
    double cellSize_;
    std::unordered_map<Cell, std::vector<Entry>, CellHash> cells_;
    // Pushpins without a cell; every query looks at them.
    std::vector<Entry> outside_;
    std::vector<Entry> all_;
};

}  // namespace wp2
