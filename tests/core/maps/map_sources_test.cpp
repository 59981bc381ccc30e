// SPDX-License-Identifier: GPL-3.0-or-later
// Map sources: the tile arithmetic, MBTiles files and tile folders, and what
// each says about a file or folder it cannot use.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <numbers>
#include <tuple>
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
    EXPECT_EQ(std::pair(int(utrecht.x * (1 << 14)), int(utrecht.y * (1 << 14))),
              std::pair(8425, 5405));
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

// An MBTiles file with the given metadata and tiles (z, x, XYZ row, text data
// stored as a blob), written as one SQL script.
void makeMBTiles(const std::string& path,
                 const std::vector<std::pair<std::string, std::string>>& meta,
                 const std::vector<std::pair<TileKey, std::string>>& tiles) {
    std::string sql =
        "CREATE TABLE metadata (name TEXT, value TEXT); CREATE TABLE tiles "
        "(zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB);";
    for (const auto& [name, value] : meta) {
        sql += "INSERT INTO metadata VALUES ('" + name + "', '" + value + "');";
    }
    for (const auto& [key, data] : tiles) {
        sql += "INSERT INTO tiles VALUES (" + std::to_string(key.z) + ", " + std::to_string(key.x) +
               ", " + std::to_string(key.tmsRow()) + ", CAST('" + data + "' AS BLOB));";
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

// Reading tiles, bad sources and what info reports are checked through
// wayplot2-tool against GDAL's maps (tests/tools/map_tool.py); here what
// those maps do not have.
TEST(MapSources, MBTilesMetadataThatIsMissingOrDamagedFallsBackToTheTiles) {
    test::TempDir dir;
    const std::vector<std::pair<TileKey, std::string>> tiles = {{{1, 0, 0}, "north-west"},
                                                                {{3, 4, 2}, "deeper"}};
    makeMBTiles(dir.file("bare.mbtiles"),
                {{"name", "Bare"}, {"format", "jpg"}, {"bounds", "1,2,x,4"}}, tiles);
    makeMBTiles(dir.file("spaced.mbtiles"), {{"bounds", " -10.5, 40 ,20,60.25"}}, tiles);
    const OpenedSource bare = openMBTiles(dir.file("bare.mbtiles"));
    ASSERT_TRUE(bare.source) << bare.error;
    const MapInfo& info = bare.source->info();
    EXPECT_EQ(std::tuple(info.name, info.format, info.minZoom, info.maxZoom),
              std::tuple("Bare", "jpg", 1, 3));
    EXPECT_EQ(info.bounds, GeoBounds{});
    EXPECT_EQ(openMBTiles(dir.file("spaced.mbtiles")).source->info().bounds,
              (GeoBounds{-10.5, 40, 20, 60.25}));
    EXPECT_EQ(bare.source->read({3, 4, 2}).data, "deeper");
    EXPECT_EQ(bare.source->read({3, 4, 5}).status, TileRead::Status::Missing);
    const std::vector<std::pair<std::string, MapSourceKind>> kinds = {
        {"", MapSourceKind::None},
        {"https://tiles.example/{z}/{x}/{y}.png", MapSourceKind::Server},
        {"http://localhost:8080/{z}/{x}/{y}", MapSourceKind::Server},
        {dir.path(), MapSourceKind::Folder},
        {dir.file("anything.mbtiles"), MapSourceKind::MBTiles},
    };
    for (const auto& [location, kind] : kinds) {
        EXPECT_EQ(mapSourceKind(location), kind) << location;
    }
}

}  // namespace
}  // namespace wp2
