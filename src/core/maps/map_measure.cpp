// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's report on a map: how many tiles and how many bytes, and for a
// tile folder the area its lowest zoom level covers.

#include <sqlite3.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "core/maps/tile_names.h"
#include "core/maps/tile_source.h"

namespace wp2 {

namespace {

namespace fs = std::filesystem;

void measureFolder(const std::string& path, MapInfo& info) {
    std::int64_t count = 0;
    std::uintmax_t bytes = 0;
    int minX = INT_MAX, maxX = -1, minY = INT_MAX, maxY = -1;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || !isTileExtension(it->path().extension().string())) {
            continue;
        }
        ++count;
        bytes += it->file_size(ec);
        const fs::path& p = it->path();
        const auto z = tileNumber(p.parent_path().parent_path().filename().string());
        const auto x = tileNumber(p.parent_path().filename().string());
        const auto y = tileNumber(p.stem().string());
        if (z && x && y && *z == info.minZoom) {
            minX = std::min(minX, *x);
            maxX = std::max(maxX, *x);
            minY = std::min(minY, *y);
            maxY = std::max(maxY, *y);
        }
    }
    info.tileCount = count;
    info.sizeBytes = bytes;
    if (maxX >= 0) {
        const double n = std::ldexp(1.0, info.minZoom);
        double lat = 0;
        double lon = 0;
        GeoBounds b;
        fromWorld({minX / n, minY / n}, lat, lon);
        b.west = lon * 180 / std::numbers::pi;
        b.north = lat * 180 / std::numbers::pi;
        fromWorld({(maxX + 1) / n, (maxY + 1) / n}, lat, lon);
        b.east = lon * 180 / std::numbers::pi;
        b.south = lat * 180 / std::numbers::pi;
        info.bounds = b;
    }
}

void measureMBTiles(const std::string& path, MapInfo& info) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec) {
        info.sizeBytes = size;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM tiles", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW) {
            info.tileCount = sqlite3_column_int64(s, 0);
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
}

}  // namespace

void measureMapSource(const std::string& location, MapInfo& info) {
    switch (mapSourceKind(location)) {
        case MapSourceKind::MBTiles:
            measureMBTiles(location, info);
            break;
        case MapSourceKind::Folder:
            measureFolder(location, info);
            break;
        default:
            break;
    }
}

}  // namespace wp2
