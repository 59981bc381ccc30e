// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gps_condition.h"

#include "core/gps/gps_state.h"
#include "core/gps/gps_status_flags.h"

namespace wp2 {

GpsCondition condition(const GpsState& s) {
    using namespace GpsStatusFlags;
    if (!s.has(DataValid) || !s.has(LinkOpen)) {
        return GpsCondition::BlinkingRed;
    }
    if (!s.has(Fix2D | Fix3D) || !s.has(TrackPointValid)) {
        return GpsCondition::Red;
    }
    if (s.has(Fix2D) || s.satellitesGga < 4 || !(s.pdop <= 6.0)) {
        return GpsCondition::Yellow;
    }
    return GpsCondition::Green;
}

const char* conditionText(GpsCondition c) {
    switch (c) {
        case GpsCondition::BlinkingRed:
            return "BLINKING RED";
        case GpsCondition::Red:
            return "RED";
        case GpsCondition::Yellow:
            return "YELLOW";
        case GpsCondition::Green:
            return "GREEN";
    }
    return "BLINKING RED";
}

}  // namespace wp2
