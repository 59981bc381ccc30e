#include "core/waypoints/pushpin_near_index.h"

#include <algorithm>
#include <cmath>

#include "core/nav/geodesy.h"

namespace wp2 {

namespace {

// Coordinates beyond this many metres are not placed in cells (no real
// position comes near it; it keeps the cell numbers far from overflowing).
constexpr double kMaxCoordinate = 1e12;

}  // namespace

std::size_t PushpinNearIndex::CellHash::operator()(const Cell& c) const {
    std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(c.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
}

PushpinNearIndex::PushpinNearIndex(const CPushpins& pins, double radius)
    : radius_(radius),
      // Slightly larger than the radius so that rounding in the coordinates
      // cannot push a pushpin within the radius two cells away.
      cellSize_(std::max(std::isfinite(radius) ? radius : 0.0, 1.0) * 1.001) {
    all_.reserve(static_cast<std::size_t>(pins.GetCount()));
    int index = 0;
    for (const CPushpin& p : pins) {
        Entry e{p.latitude, p.longitude, index++};
        all_.push_back(e);
        Cell cell;
        if (cellOf(e.latitude, e.longitude, cell)) {
            cells_[cell].push_back(e);
        } else {
            outside_.push_back(e);
        }
    }
}

bool PushpinNearIndex::cellOf(double latitude, double longitude, Cell& cell) const {
    // The same surface point approxDistance uses at altitude 0.
    const double r = approxEarthRadius(latitude);
    const double x = std::cos(longitude) * std::cos(latitude) * r;
    const double y = std::sin(longitude) * std::cos(latitude) * r;
    const double z = std::sin(latitude) * r;
    for (double v : {x, y, z}) {
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) {
            return false;
        }
    }
    cell = {static_cast<std::int64_t>(std::floor(x / cellSize_)),
            static_cast<std::int64_t>(std::floor(y / cellSize_)),
            static_cast<std::int64_t>(std::floor(z / cellSize_))};
    return true;
}

bool PushpinNearIndex::within(const Entry& e, double latitude, double longitude) const {
    return approxDistance(e.latitude, e.longitude, 0.0, latitude, longitude, 0.0) <= radius_;
}

int PushpinNearIndex::scanAll(double latitude, double longitude) const {
    for (const Entry& e : all_) {
        if (within(e, latitude, longitude)) {
            return e.index;
        }
    }
    return -1;
}

int PushpinNearIndex::findNear(double latitude, double longitude) const {
    if (!(radius_ >= 0.0)) {
        return -1;
    }
    Cell centre;
    if (!std::isfinite(radius_) || !cellOf(latitude, longitude, centre)) {
        // An endless radius, or a position that has no cell.
        return scanAll(latitude, longitude);
    }
    int best = -1;
    auto consider = [&](const Entry& e) {
        if ((best < 0 || e.index < best) && within(e, latitude, longitude)) {
            best = e.index;
        }
    };
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            for (std::int64_t dz = -1; dz <= 1; ++dz) {
                auto it = cells_.find({centre.x + dx, centre.y + dy, centre.z + dz});
                if (it != cells_.end()) {
                    std::for_each(it->second.begin(), it->second.end(), consider);
                }
            }
        }
    }
    std::for_each(outside_.begin(), outside_.end(), consider);
    return best;
}

}  // namespace wp2
