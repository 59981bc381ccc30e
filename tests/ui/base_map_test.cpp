// SPDX-License-Identifier: GPL-3.0-or-later
// The base map: tiles through the cache onto the screen at the right pixel,
// stand-ins from lower zooms, the cache's memory bound and damaged tiles.

#include "ui/base_map.h"

#include <QPainter>
#include <cmath>
#include <numbers>
#include <random>

#include "ui/map_projection.h"
#include "ui_test_support.h"

namespace wp2::test {
namespace {

using Status = TileRead::Status;

// A 240 x 264 map drawn until every tile is in (or the loaders are idle).
QImage drawSettled(TileCache& tiles, const BaseMapView& view) {
    QImage picture(240, 264, QImage::Format_RGB32);
    for (int round = 0; round < 20; ++round) {
        picture.fill(qRgb(230, 230, 230));
        QPainter painter(&picture);
        const bool complete = drawBaseMap(painter, picture.rect(), view, tiles);
        painter.end();
        if (complete) {
            break;
        }
        tiles.waitIdle(std::chrono::seconds(5));
    }
    return picture;
}

constexpr double kDeg = std::numbers::pi / 180;

// The view of the coded map around a place, turned by `heading` degrees.
BaseMapView viewAt(double latDeg, double lonDeg, double metresPerPixel = 2.0, double heading = 0) {
    const LocalScale scale = wgs84().localScale({latDeg * kDeg, lonDeg * kDeg, 0});
    return makeBaseMapView(latDeg * kDeg, lonDeg * kDeg, scale.metresPerDegLon, 1 / metresPerPixel,
                           {120, 132}, static_cast<float>(std::sin(heading * kDeg)),
                           static_cast<float>(std::cos(heading * kDeg)));
}

TEST(BaseMap, EveryPositionFallsOnItsOwnTilePixelAtAnyScaleAndHeading) {
    TileCache tiles(std::make_unique<CodedSource>(16));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> offset(-100, 100);  // pixels from the centre
    const LocalScale scale = wgs84().localScale({52.1 * kDeg, 5.2 * kDeg, 0});
    int compared = 0;
    for (const double metresPerPixel : {0.6, 1.7, 3.1}) {
        for (const double heading : {0.0, 30.0, 200.0}) {
            const BaseMapView view = viewAt(52.1, 5.2, metresPerPixel, heading);
            MapProjection projection;
            projection.setUpMercator(view);
            const QImage picture = drawSettled(tiles, view);
            const int zoom = tileZoomFor(view.pixelsPerWorld, 0, 16);
            for (int i = 0; i < 60; ++i) {
                const double lat =
                    52.1 * kDeg + offset(random) * metresPerPixel / scale.metresPerDegLat * kDeg;
                const double lon =
                    5.2 * kDeg + offset(random) * metresPerPixel / scale.metresPerDegLon * kDeg;
                const std::optional<Point> at = projection.project(lat, lon);
                ASSERT_TRUE(at);
                const WorldPoint w = toWorld(lat, lon);
                const int px = static_cast<int>(w.x * std::ldexp(256.0, zoom));
                const int py = static_cast<int>(w.y * std::ldexp(256.0, zoom));
                const int u = px % 256;
                const int v = py % 256;
                if (u < 2 || u > 253 || v < 2 || v > 253 ||
                    !picture.rect().contains(at->x, at->y)) {
                    continue;  // blended with the next tile, or off the map
                }
                const QRgb got = picture.pixel(at->x, at->y);
                SCOPED_TRACE(testing::Message()
                             << metresPerPixel << " m/px, heading " << heading << ", point " << i);
                // One screen pixel is at most one tile pixel: a point within a
                // pixel of its place reads a tile pixel within 2 of its own.
                EXPECT_NEAR(qRed(got), u, 2);
                EXPECT_NEAR(qGreen(got), v, 2);
                EXPECT_EQ(qBlue(got), tileCode({zoom, px / 256, py / 256}));
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 400);
}

TEST(BaseMap, MissingDamagedAndOddTilesAreDrawnFromTheirParentAndOutsideTheMapNothing) {
    // The centre in the middle of a zoom-16 tile (about 130 px wide at 2.9 m
    // per pixel), with the map's bounds ending at that tile's east edge.
    const TileKey under{16, 33701, 21600};  // odd x, even y: halves not swapped
    const TileKey left{16, under.x - 1, under.y};
    const TileKey above{16, under.x, under.y - 1};
    const double n = 1 << 16;
    double lat = 0, lon = 0, eastLat = 0, eastLon = 0;
    fromWorld({(under.x + 0.5) / n, (under.y + 0.5) / n}, lat, lon);
    fromWorld({(under.x + 1) / n, 0.5}, eastLat, eastLon);
    const BaseMapView view = viewAt(lat / kDeg, lon / kDeg, 2.9);
    ASSERT_EQ(tileZoomFor(view.pixelsPerWorld, 0, 16), 16);
    auto source = std::make_unique<CodedSource>(16);
    source->info_.bounds.east = eastLon / kDeg - 1e-9;
    source->answers[{under.z, under.x, under.y}] = {};
    source->answers[{left.z, left.x, left.y}] = {Status::Found, "not a picture", {}, 0};
    source->answers[{above.z, above.x, above.y}] = {
        Status::Found, encoded(QImage(100, 37, QImage::Format_RGB32)), {}, 0};
    TileCache tiles(std::move(source));
    const QImage picture = drawSettled(tiles, view);
    // Each of the three shows its parent; at the centre, the parent's pixel
    // for the centre's place.
    const int half = static_cast<int>(view.pixelsPerWorld / n / 2);
    const auto codeAt = [&](int x, int y) { return qBlue(picture.pixel(x, y)); };
    EXPECT_EQ(codeAt(120, 132), tileCode(under.parent()));
    EXPECT_NEAR(qRed(picture.pixel(120, 132)), (under.x % 2) * 128 + 64, 2);
    EXPECT_NEAR(qGreen(picture.pixel(120, 132)), (under.y % 2) * 128 + 64, 2);
    EXPECT_EQ(codeAt(120 - half - 3, 132), tileCode(left.parent()));
    EXPECT_EQ(codeAt(120, 132 - half - 3), tileCode(above.parent()));
    EXPECT_EQ(tiles.damagedTiles(), 2);
    EXPECT_NE(tiles.firstProblem().find("tile 16/"), std::string::npos);
    // East of the map's bounds the panel shows.
    EXPECT_EQ(picture.pixel(120 + half + 3, 132), qRgb(230, 230, 230));
}

TEST(BaseMap, TheCacheStaysWithinItsMemoryAndASourceThatFailsIsAskedAgainOnlyLater) {
    constexpr std::size_t kLimit = 2u << 20;  // 8 decoded tiles
    auto owned = std::make_unique<CodedSource>(16);
    CodedSource& source = *owned;
    TileCache tiles(std::move(owned), kLimit);
    int reads = 0;
    for (int step = 0; step < 12; ++step) {
        drawSettled(tiles, viewAt(52.1 + step * 0.01, 5.2));
        EXPECT_LE(tiles.memoryBytes(), kLimit);
        EXPECT_GT(source.reads.load(), reads);
        reads = source.reads;
    }
    // The first places were evicted: going back reads them again.
    EXPECT_GT(tiles.memoryBytes(), kLimit / 2);
    drawSettled(tiles, viewAt(52.1, 5.2));
    EXPECT_GT(source.reads.load(), reads);

    // Every tile asked for is stored before the loaders count as idle.
    for (int x = 0; x < 8; ++x) {
        tiles.lookup({10, x, 9}, nullptr);
    }
    ASSERT_TRUE(tiles.waitIdle(std::chrono::seconds(5)));
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(tiles.lookup({10, x, 9}, nullptr, false), TileCache::State::Ready) << x;
    }

    auto failing = std::make_unique<CodedSource>(16);
    CodedSource& f = *failing;
    f.answers[{5, 1, 1}] = {Status::Failed, {}, "server says no", 60};
    TileCache paused(std::move(failing));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(paused.lookup({5, 1, 1}, nullptr), TileCache::State::Ready);
        paused.waitIdle(std::chrono::seconds(5));
    }
    EXPECT_EQ(f.reads.load(), 1);
    EXPECT_EQ(paused.firstProblem(), "server says no");

    // A map whose coarsest tiles would be specks at this scale (more than 64
    // across the screen) is not drawn at all, and nothing is read.
    f.info_.minZoom = 12;
    const QImage far = drawSettled(paused, viewAt(52.1, 5.2, 1800));  // 72 tiles across
    EXPECT_EQ(far.pixel(120, 132), qRgb(230, 230, 230));
    EXPECT_EQ(f.reads.load(), 1);
}

}  // namespace
}  // namespace wp2::test
