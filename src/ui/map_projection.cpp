#include "ui/map_projection.h"

#include "core/nav/angles.h"

namespace wp2 {

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

}  // namespace wp2
