// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/base_map.h"

#include <QByteArray>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace wp2 {

namespace {

using Clock = std::chrono::steady_clock;

// A request not renewed by a draw for this long is dropped: the map renews
// its requests at least once a second while it is shown, so a hidden map
// fetches nothing more after this.
constexpr auto kStaleRequest = std::chrono::milliseconds(2500);
// Known-missing tiles remembered at most (a few bytes each).
constexpr std::size_t kMaxEntries = 65536;
// Tile sides accepted, in pixels (square tiles only).
constexpr int kSmallestTile = 64;
constexpr int kLargestTile = 1024;

std::string tileName(const TileKey& k) {
    return std::to_string(k.z) + "/" + std::to_string(k.x) + "/" + std::to_string(k.y);
}

}  // namespace

TileCache::TileCache(std::unique_ptr<TileSource> source, std::size_t memoryBytes, int threads)
    : source_(std::move(source)), memoryLimit_(memoryBytes) {
    for (int i = 0; i < std::max(1, threads); ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

TileCache::~TileCache() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    source_->cancel();
    for (std::thread& t : threads_) {
        t.join();
    }
}

TileCache::State TileCache::lookup(const TileKey& key, QImage* image, bool request) {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(key);
    if (found != entries_.end()) {
        Entry& e = found->second;
        if (e.state == State::Ready) {
            lru_.splice(lru_.begin(), lru_, e.lru);
            if (image) {
                *image = e.image;
            }
            return State::Ready;
        }
        if (e.state == State::Missing && Clock::now() < e.retryAt) {
            return State::Missing;
        }
        if (e.queued || !request) {
            return e.state;
        }
    } else if (!request) {
        return State::Pending;
    }
    if (entries_.size() >= kMaxEntries) {
        // Forget what is known missing; ready tiles stay.
        std::erase_if(entries_, [](const auto& kv) {
            return kv.second.state != State::Ready && !kv.second.queued;
        });
    }
    Entry& e = entries_[key];
    e.queued = true;
    queue_.push_back({key, Clock::now()});
    wake_.notify_one();
    return e.state;
}

void TileCache::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        // Newest requests first: they are what the map shows now.
        const Request request = queue_.back();
        queue_.pop_back();
        if (Clock::now() - request.when > kStaleRequest) {
            if (auto it = entries_.find(request.key); it != entries_.end()) {
                it->second.queued = false;
            }
        } else {
            // Reading and decoding run unlocked; the tile counts as busy
            // until it is stored, so that no one sees the cache idle before.
            ++busy_;
            lock.unlock();
            Loaded loaded = load(request.key);
            lock.lock();
            store(request.key, std::move(loaded));
            --busy_;
        }
        if (queue_.empty() && busy_ == 0) {
            idle_.notify_all();
        }
    }
}

TileCache::Loaded TileCache::load(const TileKey& key) {
    const TileRead read = source_->read(key);
    Loaded loaded;
    if (read.status == TileRead::Status::Failed) {
        loaded.problem = read.reason;
        loaded.retryAfter = std::max(1.0, read.retryAfter);
        return loaded;
    }
    if (read.status != TileRead::Status::Found) {
        return loaded;
    }
    QImage image;
    if (!image.loadFromData(
            QByteArray::fromRawData(read.data.data(), static_cast<qsizetype>(read.data.size())))) {
        loaded.problem = "tile " + tileName(key) + " is not an image it can read";
    } else if (image.width() != image.height() || image.width() < kSmallestTile ||
               image.width() > kLargestTile) {
        loaded.problem = "tile " + tileName(key) + " measures " + std::to_string(image.width()) +
                         "x" + std::to_string(image.height()) + " pixels, not a square tile";
    } else {
        loaded.image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    loaded.damaged = loaded.image.isNull();
    return loaded;
}

void TileCache::store(const TileKey& key, Loaded loaded) {
    if (!loaded.problem.empty() && problem_.empty()) {
        problem_ = loaded.problem;
    }
    damaged_ += loaded.damaged ? 1 : 0;
    Entry& e = entries_[key];
    e.queued = false;
    if (!loaded.image.isNull()) {
        e.state = State::Ready;
        e.image = std::move(loaded.image);
        bytes_ += static_cast<std::size_t>(e.image.sizeInBytes());
        lru_.push_front(key);
        e.lru = lru_.begin();
        evict();
    } else {
        // Missing for good, or until the source's pause is over.
        e.state = State::Missing;
        e.retryAt = loaded.retryAfter > 0
                        ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(loaded.retryAfter))
                        : Clock::time_point::max();
    }
    ++generation_;
}

void TileCache::evict() {
    while (bytes_ > memoryLimit_ && lru_.size() > 1) {
        const TileKey oldest = lru_.back();
        lru_.pop_back();
        auto it = entries_.find(oldest);
        bytes_ -= static_cast<std::size_t>(it->second.image.sizeInBytes());
        entries_.erase(it);
    }
}

bool TileCache::waitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return queue_.empty() && busy_ == 0; });
}

bool TileCache::loading() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || busy_ != 0;
}

void TileCache::cancelQueued() {
    std::lock_guard lock(mutex_);
    for (const Request& r : queue_) {
        if (auto it = entries_.find(r.key); it != entries_.end()) {
            it->second.queued = false;
        }
    }
    queue_.clear();
    if (busy_ == 0) {
        idle_.notify_all();
    }
}

std::size_t TileCache::memoryBytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::string TileCache::firstProblem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

int TileCache::damagedTiles() const {
    std::lock_guard lock(mutex_);
    return damaged_;
}

QPointF BaseMapView::offset(double latitude, double longitude) const {
    const WorldPoint p = toWorld(latitude, longitude);
    double dx = p.x - origin.x;
    dx -= std::round(dx);
    return {dx * pixelsPerWorld, (p.y - origin.y) * pixelsPerWorld};
}

BaseMapView makeBaseMapView(double latitude, double longitude, double metresPerDegLon,
                            double pixelsPerMetre, Point centrePixel, double sinUp, double cosUp) {
    BaseMapView view;
    view.origin = toWorld(latitude, longitude);
    view.pixelsPerWorld = mercatorPixelsPerWorld(metresPerDegLon, pixelsPerMetre);
    view.sinUp = sinUp;
    view.cosUp = cosUp;
    view.centre = QPointF(centrePixel.x + 0.5, centrePixel.y + 0.5);
    return view;
}

double mercatorPixelsPerWorld(double metresPerDegLon, double pixelsPerMetre) {
    return 360.0 * metresPerDegLon * pixelsPerMetre;
}

bool drawBaseMap(QPainter& painter, const QRect& area, const BaseMapView& view, TileCache& tiles) {
    const MapInfo& info = tiles.info();
    const double k = view.pixelsPerWorld;
    if (!(k > 0) || !std::isfinite(k) || area.isEmpty()) {
        return true;
    }
    const int zoom = tileZoomFor(k, info.minZoom, info.maxZoom);
    const double tilesAcross = std::ldexp(1.0, zoom);
    const double tileSide = k / tilesAcross;  // screen pixels
    const WorldPoint c = view.origin;

    // The area's corners in world coordinates (the inverse rotation), and the
    // tiles their bounding box covers.
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    const QPointF corners[4] = {area.topLeft(), QPointF(area.right() + 1, area.top()),
                                QPointF(area.left(), area.bottom() + 1),
                                QPointF(area.right() + 1, area.bottom() + 1)};
    for (const QPointF& p : corners) {
        const double sx = p.x() - view.centre.x();
        const double sy = p.y() - view.centre.y();
        const double east = sx * view.cosUp - sy * view.sinUp;
        const double south = sx * view.sinUp + sy * view.cosUp;
        minX = std::min(minX, c.x + east / k);
        maxX = std::max(maxX, c.x + east / k);
        minY = std::min(minY, c.y + south / k);
        maxY = std::max(maxY, c.y + south / k);
    }
    const double firstColumn = std::floor(minX * tilesAcross);
    const double lastColumn = std::floor(maxX * tilesAcross);
    const double firstRow = std::max(0.0, std::floor(minY * tilesAcross));
    const double lastRow = std::min(tilesAcross - 1, std::floor(maxY * tilesAcross));
    if (lastColumn - firstColumn > 64 || lastRow - firstRow > 64) {
        return true;  // a scale no map is drawn at
    }

    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, false);
    bool complete = true;
    const int n = static_cast<int>(tilesAcross);
    for (double row = firstRow; row <= lastRow; ++row) {
        for (double column = firstColumn; column <= lastColumn; ++column) {
            // Columns beyond the antimeridian wrap round the world.
            const int x = static_cast<int>(column - std::floor(column / tilesAcross) * tilesAcross);
            const TileKey key{zoom, x % n, static_cast<int>(row)};
            if (!tileTouches(key, info.bounds)) {
                continue;
            }
            QImage image;
            TileCache::State state = tiles.lookup(key, &image);
            QRectF part(0, 0, 1, 1);  // of the image drawn, as fractions
            if (state != TileCache::State::Ready) {
                complete = complete && state == TileCache::State::Missing;
                // The nearest lower zoom in memory stands in; when the tile
                // is known missing, lower zooms are asked for too.
                TileKey up = key;
                double fx = 0, fy = 0, size = 1;
                bool pendingAbove = false;
                while (up.z > info.minZoom) {
                    size /= 2;
                    fx = fx / 2 + (up.x & 1) * 0.5;
                    fy = fy / 2 + (up.y & 1) * 0.5;
                    up = up.parent();
                    state = tiles.lookup(up, &image, state == TileCache::State::Missing);
                    if (state == TileCache::State::Ready) {
                        break;
                    }
                    pendingAbove = pendingAbove || state == TileCache::State::Pending;
                }
                // A closer stand-in is still on its way.
                complete = complete && !pendingAbove;
                if (state != TileCache::State::Ready) {
                    continue;
                }
                part = QRectF(fx, fy, size, size);
            }
            // The tile's north-west corner on the screen, then its pixels
            // scaled and turned from there.
            const double east = (column / tilesAcross - c.x) * k;
            const double south = (row / tilesAcross - c.y) * k;
            const QPointF o = view.place(east, south);
            const double s = tileSide / kTilePixels;
            painter.setTransform(QTransform(view.cosUp * s, -view.sinUp * s, view.sinUp * s,
                                            view.cosUp * s, o.x(), o.y()));
            const double w = image.width();
            painter.drawImage(
                QRectF(0, 0, kTilePixels, kTilePixels), image,
                QRectF(part.x() * w, part.y() * w, part.width() * w, part.height() * w));
        }
    }
    painter.restore();
    return complete;
}

}  // namespace wp2
