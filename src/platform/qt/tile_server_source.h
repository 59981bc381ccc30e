// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Base-map tiles from a tile server, named by a URL template such as
// "https://tile.example.org/{z}/{x}/{y}.png".
//
// Tiles are fetched over HTTP(S) on one network thread of the source's own and
// kept in a disk cache that follows the server's caching headers (a fresh tile
// is served without asking, a stale one is revalidated). When the server
// cannot be reached, a cached copy is served however old it is. After a
// failure the whole server is paused for a while (2 s, doubling up to 5 min,
// or what Retry-After asks): reads during the pause do not touch the network.
// Nothing is started or contacted before the first read.

#include <cstdint>
#include <string>

#include "core/maps/tile_source.h"

namespace wp2 {

struct TileServerOptions {
    // Folder of the disk cache; empty: Paths::cacheDir()/tiles/<hash of the template>.
    std::string cacheDir;
    std::int64_t diskCacheBytes = 256LL << 20;
    // Longest wait for the server to send anything, milliseconds.
    int timeoutMs = 15000;
    // Larger tiles are refused (counted while they arrive, never held whole).
    std::int64_t maxTileBytes = 4LL << 20;
    int maxZoom = 19;
    // Seconds the server is paused after a first failure; each further one doubles it.
    double firstPause = 2;
};

// Opens a tile server; error says what is wrong with the template. Needs a
// Qt application object while tiles are read.
OpenedSource openTileServer(const std::string& urlTemplate, const TileServerOptions& options = {});

// The default cache folder of a template (under Paths::cacheDir()).
std::string tileServerCacheDir(const std::string& urlTemplate);

}  // namespace wp2
