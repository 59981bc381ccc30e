// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of tiles in the {z}/{x}/{y}.png layout (rows counted from the
// north), as tile downloaders write them; .jpg, .jpeg and .webp are found too.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/maps/tile_names.h"
#include "core/maps/tile_source.h"

namespace wp2 {

namespace {

namespace fs = std::filesystem;

class TileFolderSource final : public TileSource {
public:
    TileFolderSource(fs::path root, MapInfo info)
        : root_(std::move(root)), info_(std::move(info)) {}

    const MapInfo& info() const override { return info_; }

    TileRead read(const TileKey& key) override {
        const fs::path base =
            root_ / std::to_string(key.z) / std::to_string(key.x) / std::to_string(key.y);
        TileRead result;
        for (const char* ext : kTileExtensions) {
            fs::path file = base;
            file += std::string(".") + ext;
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                if (errno != ENOENT && errno != ENOTDIR) {
                    result = {TileRead::Status::Failed,
                              {},
                              file.string() + ": " + std::strerror(errno),
                              30};
                }
                continue;
            }
            result.data.assign(std::istreambuf_iterator<char>(in), {});
            if (in.bad()) {
                return {TileRead::Status::Failed, {}, file.string() + ": read error", 30};
            }
            result.status = TileRead::Status::Found;
            return result;
        }
        return result;
    }

private:
    fs::path root_;
    MapInfo info_;
};

}  // namespace

OpenedSource openTileFolder(const std::string& path) {
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec) {
        return {nullptr, "cannot open the tile folder " + path + ": " + ec.message()};
    }
    // The zoom range from the names of the top folder only: nothing deeper is
    // listed, so a folder of a million tiles opens at once.
    MapInfo info;
    info.name = fs::path(path).filename().string();
    int lowest = kMaxTileZoom + 1;
    int highest = -1;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            break;
        }
        if (const std::optional<int> z = tileNumber(it->path().filename().string());
            z && *z <= kMaxTileZoom && it->is_directory(ec)) {
            lowest = std::min(lowest, *z);
            highest = std::max(highest, *z);
        }
    }
    if (highest < 0) {
        return {nullptr, path + " holds no tiles (no zoom folders named 0 to 24)"};
    }
    info.minZoom = lowest;
    info.maxZoom = highest;
    return {std::make_unique<TileFolderSource>(path, std::move(info)), {}};
}

MapSourceKind mapSourceKind(const std::string& location) {
    if (location.empty()) {
        return MapSourceKind::None;
    }
    if (location.starts_with("http://") || location.starts_with("https://")) {
        return MapSourceKind::Server;
    }
    std::error_code ec;
    return fs::is_directory(location, ec) ? MapSourceKind::Folder : MapSourceKind::MBTiles;
}

OpenedSource openLocalMapSource(const std::string& location) {
    switch (mapSourceKind(location)) {
        case MapSourceKind::MBTiles:
            return openMBTiles(location);
        case MapSourceKind::Folder:
            return openTileFolder(location);
        case MapSourceKind::Server:
            return {nullptr, location + " is a tile server, not a file or folder"};
        case MapSourceKind::None:
            break;
    }
    return {nullptr, "no map source given"};
}

}  // namespace wp2
