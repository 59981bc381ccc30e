// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/waypoints/pushpin_near_index.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "core/nav/geodesy.h"

namespace wp2 {

namespace {

// Coordinates beyond this many metres are not placed in cells (no real
// position comes near it; it keeps the cell numbers far from overflowing).
constexpr double kMaxCoordinate = 1e12;

std::uint64_t mix(std::uint64_t v) {
    v += 0x9E3779B97F4A7C15ull;
    v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
    v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
    return v ^ (v >> 31);
}

}  // namespace

PushpinNearIndex::PushpinNearIndex(const Pushpins& pins, double radius)
    : radius_(radius),
      // Four times the radius: a position needs a neighbouring cell along an
      // axis only when it lies within the radius of that side, about half the
      // time, so a query looks at about 3.4 cells instead of 8.
      cellSize_(std::max(std::isfinite(radius) ? radius : 0.0, 0.5) * 4.0),
      reach_(std::max(std::isfinite(radius) ? radius : 0.0, 0.0) * 1.001 + 1e-6) {
    const auto n = static_cast<std::size_t>(pins.count());
    const std::size_t buckets = std::bit_ceil(std::max<std::size_t>(n, 16));
    mask_ = buckets - 1;
    std::vector<std::uint32_t> bucket;  // per pushpin, UINT32_MAX without a cell
    bucket.reserve(n);
    std::vector<std::uint32_t> counts(buckets, 0);
    int index = 0;
    for (const Pushpin& p : pins) {
        Cell cell;
        if (cellOf(p.latitude, p.longitude, cell)) {
            bucket.push_back(static_cast<std::uint32_t>(bucketOf(cell)));
            ++counts[bucket.back()];
        } else {
            bucket.push_back(UINT32_MAX);
            outside_.push_back({p.latitude, p.longitude, index});
        }
        ++index;
    }
    // Counting sort by bucket; taking the entries in index order keeps that
    // order within each bucket.
    starts_.assign(buckets + 1, 0);
    for (std::size_t b = 0; b < buckets; ++b) {
        starts_[b + 1] = starts_[b] + counts[b];
    }
    entries_.resize(starts_[buckets]);
    std::vector<std::uint32_t>& next = counts;
    std::copy(starts_.begin(), starts_.end() - 1, next.begin());
    index = 0;
    for (const Pushpin& p : pins) {
        const std::uint32_t b = bucket[static_cast<std::size_t>(index)];
        if (b != UINT32_MAX) {
            entries_[next[b]++] = {p.latitude, p.longitude, index};
        }
        ++index;
    }
}

std::size_t PushpinNearIndex::bucketOf(const Cell& c) const {
    std::uint64_t h = mix(static_cast<std::uint64_t>(c.x));
    h = mix(h ^ static_cast<std::uint64_t>(c.y));
    h = mix(h ^ static_cast<std::uint64_t>(c.z));
    return static_cast<std::size_t>(h) & mask_;
}

bool PushpinNearIndex::cellOf(double latitude, double longitude, Cell& cell, Cell* nearer) const {
    // The same surface point approxDistance uses at altitude 0.
    const double r = approxEarthRadius(latitude);
    const double v[3] = {std::cos(longitude) * std::cos(latitude) * r,
                         std::sin(longitude) * std::cos(latitude) * r, std::sin(latitude) * r};
    std::int64_t c[3], side[3];
    for (int k = 0; k < 3; ++k) {
        if (!std::isfinite(v[k]) || std::fabs(v[k]) > kMaxCoordinate) {
            return false;
        }
        const double scaled = v[k] / cellSize_;
        const double whole = std::floor(scaled);
        const double offset = (scaled - whole) * cellSize_;  // from the lower side
        c[k] = static_cast<std::int64_t>(whole);
        // The margin in reach_ covers rounding in the coordinates.
        side[k] = offset <= reach_ ? -1 : (cellSize_ - offset <= reach_ ? 1 : 0);
    }
    cell = {c[0], c[1], c[2]};
    if (nearer) {
        *nearer = {side[0], side[1], side[2]};
    }
    return true;
}

bool PushpinNearIndex::within(const Entry& e, double latitude, double longitude) const {
    return approxDistance(e.latitude, e.longitude, 0.0, latitude, longitude, 0.0) <= radius_;
}

// The entries of a run are in index order: the first that passes is its best.
void PushpinNearIndex::consider(const Entry* from, const Entry* to, double latitude,
                                double longitude, int& best) const {
    for (const Entry* e = from; e != to && (best < 0 || e->index < best); ++e) {
        if (within(*e, latitude, longitude)) {
            best = e->index;
            return;
        }
    }
}

int PushpinNearIndex::scanAll(double latitude, double longitude) const {
    int best = -1;
    for (const std::vector<Entry>* list : {&entries_, &outside_}) {
        for (const Entry& e : *list) {
            if ((best < 0 || e.index < best) && within(e, latitude, longitude)) {
                best = e.index;
            }
        }
    }
    return best;
}

int PushpinNearIndex::findNear(double latitude, double longitude) const {
    if (!(radius_ >= 0.0) || (entries_.empty() && outside_.empty())) {
        return -1;  // nothing to be near
    }
    int best = -1;
    Cell centre, side;
    if (!std::isfinite(radius_) || !cellOf(latitude, longitude, centre, &side)) {
        // An endless radius, or a position that has no cell.
        return scanAll(latitude, longitude);
    }
    for (int corner = 0; corner < 8; ++corner) {
        // Each combination of the needed neighbours once.
        if (((corner & 1) && !side.x) || ((corner & 2) && !side.y) || ((corner & 4) && !side.z)) {
            continue;
        }
        const Cell cell{centre.x + ((corner & 1) ? side.x : 0),
                        centre.y + ((corner & 2) ? side.y : 0),
                        centre.z + ((corner & 4) ? side.z : 0)};
        const std::size_t b = bucketOf(cell);
        consider(entries_.data() + starts_[b], entries_.data() + starts_[b + 1], latitude,
                 longitude, best);
    }
    consider(outside_.data(), outside_.data() + outside_.size(), latitude, longitude, best);
    return best;
}

}  // namespace wp2
