// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/maps/web_mercator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wp2 {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kMaxLatitudeRad = kMercatorMaxLatitude * kPi / 180.0;
}  // namespace

WorldPoint toWorld(double latitude, double longitude) {
    const double lat = std::clamp(latitude, -kMaxLatitudeRad, kMaxLatitudeRad);
    return {(longitude + kPi) / (2 * kPi), (kPi - std::atanh(std::sin(lat))) / (2 * kPi)};
}

void fromWorld(const WorldPoint& p, double& latitude, double& longitude) {
    longitude = p.x * 2 * kPi - kPi;
    latitude = std::atan(std::sinh(kPi - p.y * 2 * kPi));
}

int tileZoomFor(double screenPixelsPerWorld, int minZoom, int maxZoom) {
    int zoom = maxZoom;
    if (std::isfinite(screenPixelsPerWorld) && screenPixelsPerWorld > 0) {
        // A hair of tolerance so that a screen exactly at a tile zoom's
        // resolution takes that zoom, not the next finer one.
        const double exact = std::log2(screenPixelsPerWorld / kTilePixels);
        zoom = static_cast<int>(std::ceil(exact - 1e-9));
    }
    return std::clamp(zoom, minZoom, std::max(minZoom, maxZoom));
}

bool tileTouches(const TileKey& key, const GeoBounds& bounds) {
    const double n = std::ldexp(1.0, key.z);
    const double west = key.x / n * 360.0 - 180.0;
    const double east = (key.x + 1) / n * 360.0 - 180.0;
    double north = 0;
    double south = 0;
    double lon = 0;
    fromWorld({0, key.y / n}, north, lon);
    fromWorld({0, (key.y + 1) / n}, south, lon);
    north *= 180.0 / kPi;
    south *= 180.0 / kPi;
    return west < bounds.east && east > bounds.west && south < bounds.north && north > bounds.south;
}

}  // namespace wp2
