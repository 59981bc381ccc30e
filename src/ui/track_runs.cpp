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
        }
        return;
    }
    if (count_ > 1) {
        points_[static_cast<std::size_t>(count_++)] = p;
        flush();
    }
    points_[0] = p;
    count_ = 1;
}

void TrackRuns::finish() {
    if (count_ > 1) {
        flush();
    }
    count_ = 0;
}

}  // namespace wp2
