// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cuts a track's screen points into polylines for drawing: at most 1000
// points each, split where the track leaves the map (each piece continued to
// the first point outside), repeated points dropped.

#include <array>
#include <functional>

#include "ui/rect.h"

namespace wp2 {

class TrackRuns {
public:
    static constexpr int kMaxPoints = 1000;
    using Sink = std::function<void(const Point* points, int count)>;

    TrackRuns(const Rect& area, Sink sink) : area_(area), sink_(std::move(sink)) {}

    void add(Point p);
    // A point with no place on the map: the line so far ends here, without
    // being drawn on to it.
    void gap();
    // Draws what is left.
    void finish();

private:
    void flush();

    Rect area_;
    Sink sink_;
    std::array<Point, kMaxPoints> points_;
    int count_ = 0;
    bool startsOutside_ = false;  // the run begins with the point where it entered
};

inline void TrackRuns::add(Point p) {
    if (area_.contains(p)) {
        if (count_ > 0 && points_[static_cast<std::size_t>(count_ - 1)] == p) {
            return;
        }
        points_[static_cast<std::size_t>(count_++)] = p;
        if (count_ == kMaxPoints) {
            flush();
            points_[0] = p;
            count_ = 1;
            startsOutside_ = false;
        }
        return;
    }
    // Leaving the map: the run so far is drawn on to this point. A run of one
    // point inside counts too, so that a track entering the map for a single
    // point is not lost.
    if (count_ > 1 || (count_ == 1 && !startsOutside_)) {
        points_[static_cast<std::size_t>(count_++)] = p;
        flush();
    }
    points_[0] = p;
    count_ = 1;
    startsOutside_ = true;
}

}  // namespace wp2
