// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared set-up for the dashboard tests: a GUI application for fonts, plain
// placeholder bitmaps of the sizes the dashboard expects (each id its own
// colour), and published surfaces.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <tuple>

#include "core/maps/tile_source.h"
#include "support/test_support.h"
#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/surface.h"

namespace wp2::test {

// What the night palette promises for every pixel it shows: dim (no channel
// above 205 of 255), warm (red >= green >= blue) and next to no blue (<= 48).
inline bool nightPixel(QRgb p) {
    return qRed(p) <= 205 && qGreen(p) <= qRed(p) && qBlue(p) <= qGreen(p) && qBlue(p) <= 48;
}
// The pixels of an image that break that promise, except those of colour `skip`.
inline int dayPixels(const QImage& image, std::optional<QRgb> skip = std::nullopt) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xff000000u;
            count += p != skip && !nightPixel(p) ? 1 : 0;
        }
    }
    return count;
}

// A colour unique to each placeholder bitmap id.
inline QRgb placeholderColour(int id) {
    return rgb(id & 0xff, (id * 37) & 0xff, 90 + (id % 7) * 20);
}

// Solid blocks; a glyph (425 to 436, 9 x 14) has the key colour (120, 0, 120)
// in its last column, a satellite dot a key-coloured corner.
class PlaceholderBitmaps final : public BitmapSource {
public:
    QImage bitmap(int id) const override {
        static const int sizes[][4] = {
            {401, 408, 60, 56},   {461, 464, 60, 56},   {465, 465, 16, 14},   {453, 456, 19, 17},
            {424, 424, 240, 150}, {409, 409, 240, 150}, {467, 471, 120, 114}, {477, 478, 120, 114},
            {425, 436, 9, 14},    {437, 438, 11, 12},   {472, 472, 2, 46},    {422, 423, 8, 8},
            {151, 151, 15, 15},   {1001, 1059, 16, 16}};
        QImage image;
        for (const auto& [first, last, w, h] : sizes) {
            if (id >= first && id <= last) {
                image = QImage(w, h, QImage::Format_RGB32);
                image.fill(placeholderColour(id));
            }
        }
        const bool glyph = id >= 425 && id <= 436;
        for (int y = 0; y < (glyph ? image.height() : 0); ++y) {
            image.setPixel(image.width() - 1, y, rgb(120, 0, 120));
        }
        if (id == 422 || id == 423) {
            image.setPixel(0, 0, id == 422 ? rgb(81, 103, 245) : rgb(0, 0, 0));
        }
        return image;
    }
    std::vector<int> pushpinIconIds() const override {
        std::vector<int> ids(59);
        std::iota(ids.begin(), ids.end(), 1001);
        return ids;
    }
};

// Pixels of a rectangle of the surface that pass a test.
inline int countPixels(const Surface& s, const Rect& r, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int i = 0; i < r.width() * r.height(); ++i) {
        n += test(s.pixel(r.left + i % r.width(), r.top + i / r.width())) ? 1 : 0;
    }
    return n;
}
inline int countColour(const Surface& s, const Rect& r, QRgb c) {
    return countPixels(s, r, [c](QRgb p) { return p == c; });
}

// A base map whose tiles tell where they are: pixel (u, v) of tile
// (z, x, y) is coloured (u, v, code of the tile).
inline int tileCode(const TileKey& k) {
    return (k.x * 7 + k.y * 13 + k.z * 31) & 0xff;
}

inline QImage codedTile(const TileKey& k, int side = kTilePixels) {
    QImage image(side, side, QImage::Format_RGB32);
    for (int v = 0; v < side; ++v) {
        for (int u = 0; u < side; ++u) {
            image.setPixel(u, v, qRgb(u * 256 / side, v * 256 / side, tileCode(k)));
        }
    }
    return image;
}

inline std::string encoded(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Coded tiles for every key up to maxZoom, less the ones given their own
// answer (missing, damaged or failed); counts its reads.
class CodedSource final : public TileSource {
public:
    explicit CodedSource(int maxZoom) { info_.maxZoom = maxZoom; }
    const MapInfo& info() const override { return info_; }
    TileRead read(const TileKey& key) override {
        ++reads;
        std::lock_guard lock(mutex);
        const auto it = answers.find({key.z, key.x, key.y});
        return it != answers.end()
                   ? it->second
                   : TileRead{TileRead::Status::Found, encoded(codedTile(key)), {}, 0};
    }

    MapInfo info_;
    std::mutex mutex;
    std::map<std::tuple<int, int, int>, TileRead> answers;
    std::atomic<int> reads{0};
};

// Fresh surfaces and placeholder bitmaps for each test.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QGuiApplication::instance()) {  // fonts need one
            static int argc = 1;
            static char* argv[] = {const_cast<char*>("wp2-ui-test"), nullptr};
            new QGuiApplication(argc, argv);
        }
        registerDashboardFonts();
        setBitmapSource(&bitmaps_);
        publishFrame(0);
    }
    void TearDown() override { setBitmapSource(nullptr); }

    Surface& frame() { return surfaces_.frame; }
    Surface& background() { return surfaces_.background; }
    Surface& scratch() { return surfaces_.scratch; }

    PlaceholderBitmaps bitmaps_;
    DrawingSurfaces surfaces_;
    TestSettings<> settings_;  // the map's
    RecordingMessageBoxes boxes_;
};

}  // namespace wp2::test
