// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `track info` tells about a track: points, pieces, length, time span,
// moving time, highest speed and bounding box.

#include <optional>
#include <string>
#include <vector>

#include "core/gpx/gpx_time.h"
#include "core/nav/unit_formatter.h"
#include "core/track/track_point.h"

namespace wp2 {

// Between two dated points of a piece, at least this speed counts as moving.
inline constexpr double kMovingSpeed = 0.5;  // m/s

struct TrackSummary {
    int points = 0;
    int pieces = 0;
    int datedPoints = 0;
    double length = 0.0;                // metres along each piece, over the ground
    std::optional<UtcTime> start, end;  // first and last dated point
    double movingSeconds = 0.0;
    double highestSpeed = 0.0;  // m/s: the recorded speeds and those between points
    double south = 0.0, north = 0.0, west = 0.0, east = 0.0;  // degrees, when points > 0

    // Seconds from the first dated point to the last; nothing without them.
    std::optional<double> span() const {
        if (!start || !end) {
            return std::nullopt;
        }
        return static_cast<double>(end->seconds - start->seconds) + end->fraction - start->fraction;
    }
};

TrackSummary summarizeTrack(const std::vector<TrackPoint>& points);

// The summary as lines of "label: value" in the formatter's units.
std::string describeTrack(const TrackSummary& summary, const UnitFormatter& units);

}  // namespace wp2
