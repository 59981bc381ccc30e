// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base map under the track map: tiles from a map source, decoded on
// loader threads into a memory cache of bounded size, and drawn in Web
// Mercator at any scale and rotation. The UI thread never waits for a tile:
// what is not in memory yet is asked for and drawn from a lower zoom level,
// or not at all, until it arrives.

#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/maps/tile_source.h"
#include "ui/rect.h"

namespace wp2 {

class TileCache {
public:
    static constexpr std::size_t kDefaultMemoryBytes = 32u << 20;

    // Starts `threads` loader threads reading from the source.
    TileCache(std::unique_ptr<TileSource> source, std::size_t memoryBytes = kDefaultMemoryBytes,
              int threads = 2);
    ~TileCache();
    TileCache(const TileCache&) = delete;
    TileCache& operator=(const TileCache&) = delete;

    const MapInfo& info() const { return source_->info(); }

    enum class State {
        Ready,    // decoded and in memory
        Pending,  // asked for, or not asked for yet
        Missing,  // the source has none (or it is damaged); drawn from a lower zoom
    };
    // Never blocks. A ready tile is copied (shallowly) to image. A tile not in
    // memory is queued when request is true, unless it is known to be missing
    // or its source asked for a pause.
    State lookup(const TileKey& key, QImage* image, bool request = true);

    // Bumped whenever a tile arrives or is found missing: a view that drew
    // with an older value has something new to show.
    std::uint64_t generation() const { return generation_.load(); }
    // Waits until nothing is queued or being read, at most for the timeout.
    bool waitIdle(std::chrono::milliseconds timeout);
    // True while tiles are queued or being read.
    bool loading() const;
    // Drops the queue (loads under way finish).
    void cancelQueued();

    // Bytes of decoded images held.
    std::size_t memoryBytes() const;
    std::size_t memoryLimit() const { return memoryLimit_; }
    // The first problem met with the source or its tiles, for a status line.
    std::string firstProblem() const;
    // Tiles refused as damaged (not an image, or not a square tile).
    int damagedTiles() const;

private:
    struct Entry {
        State state = State::Pending;
        QImage image;
        bool queued = false;
        std::chrono::steady_clock::time_point retryAt{};
        std::list<TileKey>::iterator lru;  // while ready
    };
    struct Request {
        TileKey key;
        std::chrono::steady_clock::time_point when;
    };

    // A tile as a loader thread read it: the image, or why there is none.
    struct Loaded {
        QImage image;
        std::string problem;
        bool damaged = false;
        double retryAfter = 0;  // seconds; 0: missing for good
    };

    void work();
    Loaded load(const TileKey& key);
    void store(const TileKey& key, Loaded loaded);
    void evict();

    std::unique_ptr<TileSource> source_;
    std::size_t memoryLimit_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::unordered_map<TileKey, Entry, TileKeyHash> entries_;
    std::list<TileKey> lru_;  // ready tiles, most recently used first
    std::deque<Request> queue_;
    std::size_t bytes_ = 0;
    int busy_ = 0;
    int damaged_ = 0;
    std::string problem_;
    bool stopping_ = false;
    std::atomic<std::uint64_t> generation_{0};
    std::vector<std::thread> threads_;
};

// Where the base map is looked at: its centre, its scale, its rotation and
// where on the painter the centre falls.
struct BaseMapView {
    // The centre position in world coordinates (toWorld).
    WorldPoint origin;
    // The world's side (360 degrees of longitude) in screen pixels.
    double pixelsPerWorld = 0;
    // Rotation turning the map so that a heading points up (0/1: north up).
    double sinUp = 0;
    double cosUp = 1;
    // Painter coordinates of the centre position: the middle of a pixel.
    QPointF centre;

    // Screen offset from the centre (painter pixels, east and south before
    // the rotation) of a position in radians, the short way round the world.
    QPointF offset(double latitude, double longitude) const;
    // Turns an offset by the rotation and adds the centre.
    QPointF place(double east, double south) const {
        return {centre.x() + south * sinUp + east * cosUp,
                centre.y() + south * cosUp - east * sinUp};
    }
};

// The view of a map centred on a position (radians) at the middle of the
// pixel centrePixel, east-west scale pixelsPerMetre at the centre, turned by
// the heading whose sine and cosine are given (0 and 1: north up).
BaseMapView makeBaseMapView(double latitude, double longitude, double metresPerDegLon,
                            double pixelsPerMetre, Point centrePixel, double sinUp, double cosUp);

// The world's side in screen pixels for a map whose east-west scale at its
// centre is pixelsPerMetre, where a degree of longitude is metresPerDegLon.
double mercatorPixelsPerWorld(double metresPerDegLon, double pixelsPerMetre);

// Draws the tiles that fall in area. Tiles not in memory are asked for and
// meanwhile drawn from the nearest lower zoom level in memory; outside the
// map's bounds nothing is drawn. True when every tile was drawn at its zoom.
bool drawBaseMap(QPainter& painter, const QRect& area, const BaseMapView& view, TileCache& tiles);

}  // namespace wp2
