#include "core/track/track_point.h"

namespace wp2 {

TrackPoint pointFromPosition(double latitude, double longitude, double altitude) {
    TrackPoint p;
    p.latitude = latitude;
    p.longitude = longitude;
    p.altitude = altitude;
    p.state = TrackPointState::FromPosition;
    return p;
}

}  // namespace wp2
