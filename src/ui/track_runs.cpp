#include "ui/track_runs.h"

namespace wp2 {

void TrackRuns::flush() {
    sink_(points_.data(), count_);
}

void TrackRuns::add(Point p) {
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

void TrackRuns::finish() {
    if (count_ > 1) {
        flush();
    }
    count_ = 0;
    startsOutside_ = false;
}

}  // namespace wp2
