#include "ui/map_projection.h"

namespace wp2 {

namespace {
constexpr double kRadToDeg = 57.295779532957766;
}

void MapProjection::setUp(double originLatitude, double originLongitude, const LocalScale& scale,
                          double pixelsPerMetre, Point centre, bool rotate, float sinHeading,
                          float cosHeading) {
    originLat_ = originLatitude;
    originLon_ = originLongitude;
    eastFactor_ = scale.metresPerDegLon * pixelsPerMetre * kRadToDeg;
    northFactor_ = scale.metresPerDegLat * pixelsPerMetre * kRadToDeg;
    centre_ = centre;
    rotate_ = rotate;
    sin_ = sinHeading;
    cos_ = cosHeading;
}

Point MapProjection::project(double latitude, double longitude) const {
    const int east = static_cast<int>((longitude - originLon_) * eastFactor_ + 0.5);
    const int north = static_cast<int>((latitude - originLat_) * northFactor_ + 0.5);
    if (!rotate_) {
        return {centre_.x + east, centre_.y - north};
    }
    const double dx = east;
    const double dy = -north;
    return {static_cast<int>(centre_.x + dy * sin_ + dx * cos_ + 0.5),
            static_cast<int>(centre_.y + dy * cos_ - dx * sin_ + 0.5)};
}

}  // namespace wp2
