#pragma once
// Turns geographic positions into track-map pixels: a flat local projection
// around the origin, scaled so that the scale bar's length in metres spans
// its pixels, optionally turned so that the heading points up.

#include "core/nav/geodesy.h"
#include "ui/rect.h"

namespace wp2 {

class MapProjection {
public:
    // metresPerDeg* come from the earth model's local scale at the origin.
    void setUp(double originLatitude, double originLongitude, const LocalScale& scale,
               double pixelsPerMetre, Point centre, bool rotate, float sinHeading,
               float cosHeading);
    // Screen position of a point given in radians (inline: the map projects
    // every track point on each redraw).
    Point project(double latitude, double longitude) const;

private:
    double originLat_ = 0;
    double originLon_ = 0;
    double eastFactor_ = 0;   // pixels per radian of longitude
    double northFactor_ = 0;  // pixels per radian of latitude
    Point centre_;
    bool rotate_ = false;
    float sin_ = 0;
    float cos_ = 1;
};

inline Point MapProjection::project(double latitude, double longitude) const {
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
