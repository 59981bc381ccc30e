// SPDX-License-Identifier: GPL-3.0-or-later
// MBTiles: an SQLite file with a "tiles" table (or view) of zoom_level,
// tile_column, tile_row (TMS order, counted from the south) and tile_data,
// and a "metadata" table of name/value pairs (name, format, bounds, minzoom,
// maxzoom).

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "core/base/cformat.h"
#include "core/maps/tile_source.h"

namespace wp2 {

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinaliser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinaliser>;

Statement prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return nullptr;
    }
    return Statement(s);
}

std::string columnText(sqlite3_stmt* s, int column) {
    const unsigned char* text = sqlite3_column_text(s, column);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

// "west,south,east,north" in degrees; none when it is not four sane numbers.
std::optional<GeoBounds> parseBounds(const std::string& text) {
    double v[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos) {
            return std::nullopt;
        }
        std::string part = text.substr(start, comma - start);
        while (!part.empty() && part.front() == ' ') {
            part.erase(0, 1);
        }
        while (!part.empty() && part.back() == ' ') {
            part.pop_back();
        }
        const std::optional<double> n = parseNumber(part);
        if (!n) {
            return std::nullopt;
        }
        v[i] = *n;
        start = comma + 1;
    }
    const GeoBounds b{v[0], v[1], v[2], v[3]};
    if (b.west < -180 || b.east > 180 || b.west >= b.east || b.south < -90 || b.north > 90 ||
        b.south >= b.north) {
        return std::nullopt;
    }
    return b;
}

std::optional<int> parseZoom(const std::string& text) {
    const std::optional<double> n = parseNumber(text);
    if (!n || *n < 0 || *n > kMaxTileZoom || *n != static_cast<int>(*n)) {
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

class MBTilesSource final : public TileSource {
public:
    MBTilesSource(Db db, Statement read, MapInfo info)
        : db_(std::move(db)), read_(std::move(read)), info_(std::move(info)) {}

    const MapInfo& info() const override { return info_; }

    TileRead read(const TileKey& key) override {
        std::lock_guard lock(mutex_);
        sqlite3_stmt* s = read_.get();
        sqlite3_reset(s);
        sqlite3_bind_int(s, 1, key.z);
        sqlite3_bind_int(s, 2, key.x);
        sqlite3_bind_int(s, 3, key.tmsRow());
        TileRead result;
        const int step = sqlite3_step(s);
        if (step == SQLITE_ROW) {
            const void* blob = sqlite3_column_blob(s, 0);
            const int size = sqlite3_column_bytes(s, 0);
            result.status = TileRead::Status::Found;
            result.data.assign(static_cast<const char*>(blob), blob ? size : 0);
        } else if (step != SQLITE_DONE) {
            result.status = TileRead::Status::Failed;
            result.reason = sqlite3_errmsg(db_.get());
            result.retryAfter = 5;
        }
        sqlite3_reset(s);
        return result;
    }

private:
    std::mutex mutex_;
    Db db_;
    Statement read_;
    MapInfo info_;
};

}  // namespace

OpenedSource openMBTiles(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        const std::string why = f ? "not a file" : std::strerror(errno);
        if (f) {
            std::fclose(f);
        }
        return {nullptr, "cannot open " + path + ": " + why};
    }
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Db db(raw);
    if (opened != SQLITE_OK) {
        return {nullptr, "cannot open " + path + ": " + sqlite3_errstr(opened)};
    }
    // Opening reads nothing; the first query finds out what the file is.
    Statement read = prepare(db.get(),
                             "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND "
                             "tile_column = ?2 AND tile_row = ?3");
    if (!read) {
        const int code = sqlite3_extended_errcode(db.get());
        if ((code & 0xff) == SQLITE_NOTADB) {
            return {nullptr, path + " is not an MBTiles file (not an SQLite database)"};
        }
        if ((code & 0xff) == SQLITE_ERROR) {
            return {nullptr, path + " is not an MBTiles file (it has no tiles table)"};
        }
        return {nullptr, "cannot read " + path + ": " + sqlite3_errmsg(db.get())};
    }
    MapInfo info;
    std::optional<int> minZoom;
    std::optional<int> maxZoom;
    if (Statement meta = prepare(db.get(), "SELECT name, value FROM metadata")) {
        while (sqlite3_step(meta.get()) == SQLITE_ROW) {
            const std::string name = columnText(meta.get(), 0);
            const std::string value = columnText(meta.get(), 1);
            if (name == "name") {
                info.name = value;
            } else if (name == "format") {
                info.format = value;
            } else if (name == "bounds") {
                info.bounds = parseBounds(value).value_or(GeoBounds{});
            } else if (name == "minzoom") {
                minZoom = parseZoom(value);
            } else if (name == "maxzoom") {
                maxZoom = parseZoom(value);
            }
        }
    }
    if (info.format == "pbf" || info.format == "mvt") {
        return {nullptr, path + " holds vector tiles (" + info.format +
                             "), which cannot be drawn: choose a map of raster tiles"};
    }
    if (!minZoom || !maxZoom) {
        // The index of the tiles table answers this without a scan.
        if (Statement range =
                prepare(db.get(), "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles");
            range && sqlite3_step(range.get()) == SQLITE_ROW &&
            sqlite3_column_type(range.get(), 0) == SQLITE_INTEGER) {
            minZoom = minZoom.value_or(sqlite3_column_int(range.get(), 0));
            maxZoom = maxZoom.value_or(sqlite3_column_int(range.get(), 1));
        }
    }
    info.minZoom = std::clamp(minZoom.value_or(0), 0, kMaxTileZoom);
    info.maxZoom = std::clamp(maxZoom.value_or(kMaxTileZoom), info.minZoom, kMaxTileZoom);
    return {std::make_unique<MBTilesSource>(std::move(db), std::move(read), std::move(info)), {}};
}

}  // namespace wp2
