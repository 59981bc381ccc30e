// The base map: tiles through the cache onto the screen at the right pixel,
// stand-ins from lower zooms, the cache's memory bound and damaged tiles.

#include "ui/base_map.h"

#include <QBuffer>
#include <QPainter>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <tuple>

#include "core/nav/angles.h"
#include "ui/map_projection.h"
#include "ui_test_support.h"

namespace wp2 {
namespace {

// Tile pixel (u, v) of tile (z, x, y) is coloured (u, v, code of the tile).
int tileCode(const TileKey& k) {
    return (k.x * 7 + k.y * 13 + k.z * 31) & 0xff;
}

QImage codedTile(const TileKey& k, int side = kTilePixels) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int v = 0; v < side; ++v) {
        for (int u = 0; u < side; ++u) {
            image.setPixel(u, v, qRgb(u * 256 / side, v * 256 / side, tileCode(k)));
        }
    }
    return image;
}

std::string encoded(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Coded tiles for every key up to maxZoom, less the ones marked missing or
// damaged; counts its reads.
class CodedSource final : public TileSource {
public:
    explicit CodedSource(int maxZoom) { info_.maxZoom = maxZoom; }
    const MapInfo& info() const override { return info_; }
    TileRead read(const TileKey& key) override {
        ++reads;
        std::lock_guard lock(mutex);
        if (missing.contains({key.z, key.x, key.y})) {
            return {};
        }
        if (auto it = special.find({key.z, key.x, key.y}); it != special.end()) {
            return {TileRead::Status::Found, it->second, {}, 0};
        }
        return {TileRead::Status::Found, encoded(codedTile(key)), {}, 0};
    }

    MapInfo info_;
    std::mutex mutex;
    std::set<std::tuple<int, int, int>> missing;
    std::map<std::tuple<int, int, int>, std::string> special;
    std::atomic<int> reads{0};
};

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

constexpr double kDeg = kDegToRad;

TEST(BaseMap, EveryPositionFallsOnItsOwnTilePixelAtAnyScaleAndHeading) {
    auto owned = std::make_unique<CodedSource>(16);
    TileCache tiles(std::move(owned));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    int compared = 0;
    for (const double metresPerPixel : {0.6, 1.7, 3.1}) {
        for (const double heading : {0.0, 30.0, 200.0}) {
            const double lat0 = 52.1 * kDeg;
            const double lon0 = 5.2 * kDeg;
            const LocalScale scale = wgs84().localScale({lat0, lon0, 0});
            const float s = static_cast<float>(std::sin(heading * kDeg));
            const float c = static_cast<float>(std::cos(heading * kDeg));
            const BaseMapView view = makeBaseMapView(lat0, lon0, scale.metresPerDegLon,
                                                     1 / metresPerPixel, {120, 132}, s, c);
            MapProjection projection;
            projection.setUpMercator(view);
            const QImage picture = drawSettled(tiles, view);
            const int zoom = tileZoomFor(view.pixelsPerWorld, 0, 16);
            for (int i = 0; i < 60; ++i) {
                const double lat = lat0 + (unit(random) - 0.5) * 200 * metresPerPixel /
                                              scale.metresPerDegLat * kDeg;
                const double lon = lon0 + (unit(random) - 0.5) * 200 * metresPerPixel /
                                              scale.metresPerDegLon * kDeg;
                const std::optional<Point> at = projection.project(lat, lon);
                ASSERT_TRUE(at);
                const WorldPoint w = toWorld(lat, lon);
                const double px = w.x * std::ldexp(256.0, zoom);
                const double py = w.y * std::ldexp(256.0, zoom);
                const int u = static_cast<int>(px) % 256;
                const int v = static_cast<int>(py) % 256;
                if (u < 2 || u > 253 || v < 2 || v > 253 || !picture.rect().contains(at->x, at->y)) {
                    continue;  // blended with the next tile, or off the map
                }
                const QRgb got = picture.pixel(at->x, at->y);
                const TileKey key{zoom, static_cast<int>(px) / 256, static_cast<int>(py) / 256};
                SCOPED_TRACE(testing::Message()
                             << metresPerPixel << " m/px, heading " << heading << ", point " << i);
                // One screen pixel is at most one tile pixel: a point within a
                // pixel of its place reads a tile pixel within 2 of its own.
                EXPECT_NEAR(qRed(got), u, 2);
                EXPECT_NEAR(qGreen(got), v, 2);
                EXPECT_EQ(qBlue(got), tileCode(key));
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 400);
}

}  // namespace
}  // namespace wp2
