// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/track_runs.h"

namespace wp2 {

void TrackRuns::flush() {
    sink_(points_.data(), count_);
}

void TrackRuns::gap() {
    finish();
}

void TrackRuns::finish() {
    if (count_ > 1) {
        flush();
    }
    count_ = 0;
    startsOutside_ = false;
}

}  // namespace wp2
