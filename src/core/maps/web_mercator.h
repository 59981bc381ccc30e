// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Web Mercator (the projection of slippy-map tiles): positions on a square
// world of side 1, x growing east from the antimeridian, y growing south from
// the northern limit (about 85.05 degrees), and the tiles that cover it.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace wp2 {

// One tile: zoom level z (2^z tiles across the world), column x from the
// west, row y from the north (XYZ order).
struct TileKey {
    int z = 0;
    int x = 0;
    int y = 0;
    bool operator==(const TileKey&) const = default;
    // The tile one zoom level out that covers this one.
    TileKey parent() const { return {z - 1, x >> 1, y >> 1}; }
    // The row in TMS order (counted from the south), as MBTiles stores it.
    int tmsRow() const { return (1 << z) - 1 - y; }
};

struct TileKeyHash {
    std::size_t operator()(const TileKey& k) const {
        return std::hash<std::uint64_t>()((static_cast<std::uint64_t>(k.z) << 58) ^
                                          (static_cast<std::uint64_t>(k.x) << 29) ^
                                          static_cast<std::uint64_t>(k.y));
    }
};

// Pixels per tile side in the world's pixel grid.
inline constexpr int kTilePixels = 256;
// Highest tile zoom the program asks for.
inline constexpr int kMaxTileZoom = 24;
// Latitude limit of the projection, degrees.
inline constexpr double kMercatorMaxLatitude = 85.0511287798066;

struct WorldPoint {
    double x = 0;
    double y = 0;
};

// Position in radians to world coordinates. Latitudes beyond the limit are
// held at it; longitudes are taken as they come (east of 180 gives x > 1).
WorldPoint toWorld(double latitude, double longitude);
// World coordinates to a position in radians.
void fromWorld(const WorldPoint& p, double& latitude, double& longitude);

// The tile zoom whose pixels are at least as fine as the screen's, for a map
// drawn at screenPixelsPerWorld (the world's side in screen pixels), within
// [minZoom, maxZoom].
int tileZoomFor(double screenPixelsPerWorld, int minZoom, int maxZoom);

// A rectangle in degrees (west, south, east, north).
struct GeoBounds {
    double west = -180;
    double south = -kMercatorMaxLatitude;
    double east = 180;
    double north = kMercatorMaxLatitude;
    bool operator==(const GeoBounds&) const = default;
};

// True when some of the tile lies within the bounds.
bool tileTouches(const TileKey& key, const GeoBounds& bounds);

}  // namespace wp2
