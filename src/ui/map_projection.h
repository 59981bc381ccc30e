// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns geographic positions into track-map pixels: a flat local projection
// around the origin, scaled so that the scale bar's length in metres spans
// its pixels, optionally turned so that the heading points up. Under a base
// map the positions are placed in Web Mercator instead, exactly as the tiles
// are, so that they sit on the map's pixels.
//
// Any double is safe: a point too far away for the screen's integers is
// pulled in along its direction to kFarPixels from the centre (lines towards
// it still leave the map the right way), and a point without a number (NaN)
// has no screen position at all.

#include <cmath>
#include <optional>

#include "core/nav/geodesy.h"
#include "ui/base_map.h"
#include "ui/rect.h"

namespace wp2 {

class MapProjection {
public:
    // Farthest offset from the centre, in pixels, that a projected point gets.
    static constexpr double kFarPixels = 1 << 20;

    // metresPerDeg* come from the earth model's local scale at the origin. A
    // heading without a number counts as north.
    void setUp(double originLatitude, double originLongitude, const LocalScale& scale,
               double pixelsPerMetre, Point centre, bool rotate, float sinHeading,
               float cosHeading);
    // Web Mercator placement as the base map draws its tiles.
    void setUpMercator(const BaseMapView& view);
    bool mercator() const { return mercator_; }
    // Screen position of a point given in radians; none when the point or the
    // projection has no number (inline: the map projects every track point on
    // each redraw).
    std::optional<Point> project(double latitude, double longitude) const;

private:
    double originLat_ = 0;
    double originLon_ = 0;
    double eastFactor_ = 0;   // pixels per radian of longitude
    double northFactor_ = 0;  // pixels per radian of latitude
    Point centre_;
    bool mercator_ = false;
    BaseMapView view_;
    bool rotate_ = false;
    float sin_ = 0;
    float cos_ = 1;
};

namespace detail {
// Brings an offset from the centre within kFarPixels along its direction.
// False when it has no direction (a NaN part).
bool pullInFarOffset(double& east, double& north);
}  // namespace detail

inline std::optional<Point> MapProjection::project(double latitude, double longitude) const {
    if (mercator_) {
        const QPointF offset = view_.offset(latitude, longitude);
        double east = offset.x();
        double south = offset.y();
        if (!(std::abs(east) <= kFarPixels && std::abs(south) <= kFarPixels) &&
            !detail::pullInFarOffset(east, south)) {
            return std::nullopt;
        }
        // The pixel whose area holds the point.
        const QPointF at = view_.place(east, south);
        return Point{static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))};
    }
    double eastPixels = (longitude - originLon_) * eastFactor_;
    double northPixels = (latitude - originLat_) * northFactor_;
    if (!(std::abs(eastPixels) <= kFarPixels && std::abs(northPixels) <= kFarPixels) &&
        !detail::pullInFarOffset(eastPixels, northPixels)) {
        return std::nullopt;
    }
    const int east = static_cast<int>(eastPixels + 0.5);
    const int north = static_cast<int>(northPixels + 0.5);
    if (!rotate_) {
        return Point{centre_.x + east, centre_.y - north};
    }
    const double dx = east;
    const double dy = -north;
    return Point{static_cast<int>(centre_.x + dy * sin_ + dx * cos_ + 0.5),
                 static_cast<int>(centre_.y + dy * cos_ - dx * sin_ + 0.5)};
}

}  // namespace wp2
