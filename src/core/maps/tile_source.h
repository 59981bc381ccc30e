// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where base-map tiles come from: an MBTiles file, a folder of tiles or a
// tile server. A source hands out the encoded image of one tile; decoding and
// drawing belong to the map view. read() may block (a disk or a network), so
// the view calls it from its loader threads only; sources allow two callers
// at once.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/maps/web_mercator.h"

namespace wp2 {

// What a source says about itself; unknown parts keep their defaults.
struct MapInfo {
    std::string name;
    std::string format;  // "png", "jpg", "webp" (or what the source declares)
    GeoBounds bounds;
    int minZoom = 0;
    int maxZoom = kMaxTileZoom;
    std::optional<std::int64_t> tileCount;
    std::optional<std::uintmax_t> sizeBytes;
};

struct TileRead {
    enum class Status {
        Found,    // data holds the encoded image
        Missing,  // the source has no such tile
        Failed,   // the source could not be read now; reason says why
    };
    Status status = Status::Missing;
    std::string data;
    std::string reason;
    // For a failure: seconds before asking the source again is worth it.
    double retryAfter = 0;
};

class TileSource {
public:
    virtual ~TileSource() = default;
    virtual const MapInfo& info() const = 0;
    virtual TileRead read(const TileKey& key) = 0;
    // Makes reads under way, and any later one, return at once (Failed):
    // the source is about to go. For sources whose reads may wait long.
    virtual void cancel() {}
};

// The outcome of opening a source: the source, or why there is none.
struct OpenedSource {
    std::unique_ptr<TileSource> source;
    std::string error;
};

// Kinds of map source the "BaseMap" setting can name.
enum class MapSourceKind { None, MBTiles, Folder, Server };

// A URL (http or https) names a tile server, an existing folder a tile
// folder, anything else non-empty an MBTiles file.
MapSourceKind mapSourceKind(const std::string& location);

// Opens an MBTiles file or a tile folder. Nothing is scanned: a large map
// opens as fast as a small one.
OpenedSource openMBTiles(const std::string& path);
OpenedSource openTileFolder(const std::string& path);
// Either of the two, by mapSourceKind(); a server URL is refused here.
OpenedSource openLocalMapSource(const std::string& location);

// Counts the tiles of a source and measures its size on disk (the tool's
// report; this reads the whole index of an MBTiles file or walks a folder).
void measureMapSource(const std::string& location, MapInfo& info);

}  // namespace wp2
