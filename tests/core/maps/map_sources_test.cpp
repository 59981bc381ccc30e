// Map sources: the tile arithmetic, MBTiles files and tile folders, and what
// each says about a file or folder it cannot use.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <utility>
#include <vector>

#include "core/maps/tile_source.h"
#include "support/test_support.h"

namespace wp2 {
namespace {

constexpr double kDeg = std::numbers::pi / 180;

TEST(WebMercator, WorldCoordinatesAndTheZoomForAScale) {
    const WorldPoint origin = toWorld(0, 0);
    EXPECT_DOUBLE_EQ(origin.x, 0.5);
    EXPECT_DOUBLE_EQ(origin.y, 0.5);
    EXPECT_NEAR(toWorld(kMercatorMaxLatitude * kDeg, -180 * kDeg).y, 0, 1e-12);
    EXPECT_EQ(toWorld(89.9 * kDeg, 0).y, toWorld(kMercatorMaxLatitude * kDeg, 0).y);
    // Utrecht's tile at zoom 14 as every slippy map numbers it.
    const WorldPoint utrecht = toWorld(52.0907 * kDeg, 5.1214 * kDeg);
    EXPECT_EQ(static_cast<int>(utrecht.x * (1 << 14)), 8425);
    EXPECT_EQ(static_cast<int>(utrecht.y * (1 << 14)), 5405);
    double lat = 0, lon = 0;
    fromWorld(utrecht, lat, lon);
    EXPECT_NEAR(lat / kDeg, 52.0907, 1e-9);
    EXPECT_NEAR(lon / kDeg, 5.1214, 1e-9);

    // {screen pixels across the world, min, max, zoom}: the first zoom whose
    // tiles are at least as fine as the screen.
    const std::vector<std::tuple<double, int, int, int>> zooms = {
        {256, 0, 24, 0},           {257, 0, 24, 1},
        {512, 0, 24, 1},           {256 * 1000.0, 0, 24, 10},
        {256 * 1024.0, 0, 24, 10}, {256 * 1025.0, 0, 24, 11},
        {1e12, 3, 14, 14},         {10, 3, 14, 3},
        {NAN, 3, 14, 14},          {0, 2, 9, 9}};
    for (const auto& [pixels, low, high, zoom] : zooms) {
        EXPECT_EQ(tileZoomFor(pixels, low, high), zoom) << pixels;
    }
    EXPECT_EQ((TileKey{3, 5, 2}.parent()), (TileKey{2, 2, 1}));
    EXPECT_EQ((TileKey{3, 5, 2}.tmsRow()), 5);
    const GeoBounds nl{3.3, 50.7, 7.2, 53.6};
    EXPECT_TRUE(tileTouches({14, 8425, 5405}, nl));
    EXPECT_FALSE(tileTouches({14, 8525, 5405}, nl));
    EXPECT_TRUE(tileTouches({0, 0, 0}, nl));
}

// An MBTiles file with the given metadata and tiles (z, x, XYZ row, data).
void makeMBTiles(const std::string& path,
                 const std::vector<std::pair<std::string, std::string>>& meta,
                 const std::vector<std::pair<TileKey, std::string>>& tiles, bool withTiles = true) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE metadata (name TEXT, value TEXT)", nullptr, nullptr, nullptr);
    if (withTiles) {
        sqlite3_exec(db,
                     "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row "
                     "INTEGER, tile_data BLOB); CREATE UNIQUE INDEX t ON tiles (zoom_level, "
                     "tile_column, tile_row)",
                     nullptr, nullptr, nullptr);
    }
    for (const auto& [name, value] : meta) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO metadata VALUES (?, ?)", -1, &s, nullptr);
        sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, value.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_finalize(s);
    }
    for (const auto& [key, data] : tiles) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &s, nullptr);
        sqlite3_bind_int(s, 1, key.z);
        sqlite3_bind_int(s, 2, key.x);
        sqlite3_bind_int(s, 3, key.tmsRow());
        sqlite3_bind_blob(s, 4, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(s), SQLITE_DONE);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
}

TEST(MapSources, MBTilesAndTileFoldersGiveTheSameTilesInXyzOrder) {
    test::TempDir dir;
    const std::vector<std::pair<TileKey, std::string>> tiles = {
        {{1, 0, 0}, "north-west"}, {{1, 1, 1}, "south-east"}, {{3, 4, 2}, "deeper"}};
    const std::string file = dir.file("map.mbtiles");
    makeMBTiles(file,
                {{"name", "Test map"},
                 {"format", "png"},
                 {"bounds", "-10.5, 40,20,60.25"},
                 {"minzoom", "1"},
                 {"maxzoom", "3"}},
                tiles);
    const std::string folder = dir.file("tiles");
    for (const auto& [key, data] : tiles) {
        const std::string d = folder + "/" + std::to_string(key.z) + "/" + std::to_string(key.x);
        std::filesystem::create_directories(d);
        test::writeFile(d + "/" + std::to_string(key.y) + (key.z == 3 ? ".jpg" : ".png"), data);
    }
    for (const std::string& spec : {file, folder}) {
        SCOPED_TRACE(spec);
        OpenedSource opened = openLocalMapSource(spec);
        ASSERT_TRUE(opened.source) << opened.error;
        for (const auto& [key, data] : tiles) {
            const TileRead read = opened.source->read(key);
            EXPECT_EQ(read.status, TileRead::Status::Found);
            EXPECT_EQ(read.data, data);
        }
        EXPECT_EQ(opened.source->read({1, 0, 1}).status, TileRead::Status::Missing);
        EXPECT_EQ(opened.source->info().minZoom, 1);
        EXPECT_EQ(opened.source->info().maxZoom, 3);
        MapInfo measured = opened.source->info();
        measureMapSource(spec, measured);
        EXPECT_EQ(measured.tileCount, 3);
    }
    const MapInfo info = openMBTiles(file).source->info();
    EXPECT_EQ(info.name, "Test map");
    EXPECT_EQ(info.format, "png");
    EXPECT_EQ(info.bounds, (GeoBounds{-10.5, 40, 20, 60.25}));

    // Without zoom metadata the tiles' own range counts; damaged bounds mean
    // the whole world.
    makeMBTiles(dir.file("bare.mbtiles"), {{"bounds", "1,2,x,4"}}, tiles);
    const MapInfo bare = openMBTiles(dir.file("bare.mbtiles")).source->info();
    EXPECT_EQ(std::pair(bare.minZoom, bare.maxZoom), std::pair(1, 3));
    EXPECT_EQ(bare.bounds, GeoBounds{});
}

TEST(MapSources, WhatCannotBeUsedIsRefusedWithItsReason) {
    test::TempDir dir;
    test::writeFile(dir.file("text.mbtiles"), std::string(4096, 'x'));
    makeMBTiles(dir.file("no-tiles.mbtiles"), {{"format", "png"}}, {}, false);
    makeMBTiles(dir.file("vector.mbtiles"), {{"format", "pbf"}}, {{{0, 0, 0}, "pbf"}});
    std::filesystem::create_directories(dir.file("empty-folder/not-a-zoom"));
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"text.mbtiles", "not an SQLite database"},
        {"no-tiles.mbtiles", "no tiles table"},
        {"vector.mbtiles", "vector tiles (pbf)"},
        {"missing.mbtiles", "No such file or directory"},
        {"empty-folder", "holds no tiles"},
    };
    for (const auto& [name, reason] : refused) {
        const OpenedSource opened = openLocalMapSource(dir.file(name));
        EXPECT_FALSE(opened.source) << name;
        EXPECT_NE(opened.error.find(reason), std::string::npos) << opened.error;
    }
    EXPECT_NE(openTileFolder(dir.file("missing")).error.find("No such file"), std::string::npos);
    const std::vector<std::pair<std::string, MapSourceKind>> kinds = {
        {"", MapSourceKind::None},
        {"https://tiles.example/{z}/{x}/{y}.png", MapSourceKind::Server},
        {"http://localhost:8080/{z}/{x}/{y}", MapSourceKind::Server},
        {dir.path(), MapSourceKind::Folder},
        {dir.file("anything.mbtiles"), MapSourceKind::MBTiles},
    };
    for (const auto& [spec, kind] : kinds) {
        EXPECT_EQ(mapSourceKind(spec), kind) << spec;
    }
}

}  // namespace
}  // namespace wp2
