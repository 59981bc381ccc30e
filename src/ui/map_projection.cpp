// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/map_projection.h"

#include <algorithm>
#include <cmath>

#include "core/nav/angles.h"

namespace wp2 {

namespace detail {

bool pullInFarOffset(double& east, double& north) {
    if (std::isnan(east) || std::isnan(north)) {
        return false;
    }
    // Infinitely far: straight along the infinite part(s).
    if (std::isinf(east) || std::isinf(north)) {
        east = std::isinf(east) ? std::copysign(1.0, east) : 0.0;
        north = std::isinf(north) ? std::copysign(1.0, north) : 0.0;
    }
    const double longest = std::max(std::abs(east), std::abs(north));
    east = east / longest * MapProjection::kFarPixels;
    north = north / longest * MapProjection::kFarPixels;
    return true;
}

}  // namespace detail

void MapProjection::setUp(double originLatitude, double originLongitude, const LocalScale& scale,
                          double pixelsPerMetre, Point centre, bool rotate, float sinHeading,
                          float cosHeading) {
    originLat_ = originLatitude;
    originLon_ = originLongitude;
    eastFactor_ = scale.metresPerDegLon * pixelsPerMetre * kRadToDeg;
    northFactor_ = scale.metresPerDegLat * pixelsPerMetre * kRadToDeg;
    centre_ = centre;
    mercator_ = false;
    rotate_ = rotate;
    const bool headingKnown = std::isfinite(sinHeading) && std::isfinite(cosHeading);
    sin_ = headingKnown ? std::clamp(sinHeading, -1.0f, 1.0f) : 0.0f;
    cos_ = headingKnown ? std::clamp(cosHeading, -1.0f, 1.0f) : 1.0f;
}

void MapProjection::setUpMercator(const BaseMapView& view) {
    mercator_ = true;
    view_ = view;
}

}  // namespace wp2
