// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the base-map benchmarks share: street-map-like tiles (PNG files that
// compress and decode like real ones), an MBTiles file written from them, and
// a track map with a track and pushpins, set up without a window the way the
// dashboard draws it.

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/base/diagnostics.h"
#include "core/gps/nav_snapshot.h"
#include "core/maps/tile_source.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/memory_registry.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpins.h"
#include "ui/base_map.h"
#include "ui/surface.h"
#include "ui/track_view.h"

namespace wp2::bench {

constexpr double kDeg = kDegToRad;

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the process, ms. On a machine shared with other work the wall
// time of a draw also counts the time others had the processor; the process's
// CPU time counts the draw's own work, including the part Qt hands to its
// thread pool (the loader threads must be idle for it to mean that).
inline double processCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One 256-pixel tile drawn like a street map: land use, buildings, roads with
// casings and names, all anti-aliased, so that its PNG is some 30-40 KB.
inline QByteArray streetTilePng(std::mt19937& rng) {
    std::uniform_real_distribution<double> pos(-40, 296);
    std::uniform_int_distribution<int> pick(0, 999);
    QImage image(kTilePixels, kTilePixels, QImage::Format_RGB32);
    image.fill(QColor(242, 239, 233));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        QPolygonF area;
        const double x = pos(rng);
        const double y = pos(rng);
        for (int k = 0; k < 7; ++k) {
            area << QPointF(x + pos(rng) / 4, y + pos(rng) / 4);
        }
        p.setBrush(i % 2 ? QColor(200, 228, 186) : QColor(170, 208, 238));
        p.drawPolygon(area);
    }
    p.setPen(QPen(QColor(190, 180, 172), 1));
    p.setBrush(QColor(217, 208, 201));
    for (int i = 0; i < 30; ++i) {
        p.save();
        p.translate(pos(rng), pos(rng));
        p.rotate(pick(rng) % 90);
        p.drawRect(QRectF(0, 0, 6 + pick(rng) % 14, 6 + pick(rng) % 10));
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 8; ++i) {
        QPainterPath road(QPointF(pos(rng), pos(rng)));
        road.cubicTo(QPointF(pos(rng), pos(rng)), QPointF(pos(rng), pos(rng)),
                     QPointF(pos(rng), pos(rng)));
        const double width = 2 + pick(rng) % 7;
        p.setPen(QPen(QColor(160, 150, 140), width + 2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road);
        p.setPen(QPen(width > 6 ? QColor(252, 214, 164) : QColor(255, 255, 255), width,
                      Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road);
    }
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(QColor(60, 60, 60));
    const char* const names[] = {"Bahnhofstrasse", "Seefeld", "Limmatquai", "Oberdorf", "Hardturm"};
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(pos(rng), pos(rng));
        p.rotate(pick(rng) % 60 - 30);
        p.drawText(QPointF(0, 0), names[pick(rng) % 5]);
        p.restore();
    }
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

inline std::vector<QByteArray> streetTilePngs(int count) {
    std::mt19937 rng(20261207);
    std::vector<QByteArray> pngs;
    for (int i = 0; i < count; ++i) {
        pngs.push_back(streetTilePng(rng));
    }
    return pngs;
}

// The first and last tile column and row of zoom z that the bounds touch.
struct TileRange {
    int x0 = 0;
    int x1 = -1;
    int y0 = 0;
    int y1 = -1;
};

inline TileRange tileRange(const GeoBounds& b, int z) {
    const double n = std::ldexp(1.0, z);
    const WorldPoint nw = toWorld(b.north * kDeg, b.west * kDeg);
    const WorldPoint se = toWorld(b.south * kDeg, b.east * kDeg);
    const auto cell = [n](double v) { return std::clamp(static_cast<int>(v * n), 0, int(n) - 1); };
    return {cell(nw.x), cell(se.x), cell(nw.y), cell(se.y)};
}

struct WrittenMap {
    std::int64_t tiles = 0;
    std::uint64_t tileBytes = 0;
    std::string error;
};

// Writes an MBTiles file with every tile of zooms minZoom..maxZoom within the
// bounds, each a distinct row whose image is one of pngs (picked by a hash of
// the tile, so neighbours differ).
inline WrittenMap writeMBTiles(const std::string& path, const GeoBounds& bounds, int minZoom,
                               int maxZoom, const std::vector<QByteArray>& pngs) {
    WrittenMap written;
    sqlite3* db = nullptr;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(nullptr, sqlite3_close);
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        written.error = sqlite3_errmsg(db);
        sqlite3_close(db);
        return written;
    }
    closer.reset(db);
    char bounded[160];
    std::snprintf(bounded, sizeof bounded,
                  "INSERT INTO metadata VALUES ('bounds', '%.6f,%.6f,%.6f,%.6f'), ('minzoom', "
                  "'%d'), ('maxzoom', '%d');",
                  bounds.west, bounds.south, bounds.east, bounds.north, minZoom, maxZoom);
    const std::string schema =
        "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
        "CREATE TABLE metadata (name TEXT, value TEXT);"
        "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
        "tile_data BLOB);"
        "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row);"
        "INSERT INTO metadata VALUES ('name', 'Bench streets'), ('format', 'png');" +
        std::string(bounded) + "BEGIN;";
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr) !=
            SQLITE_OK) {
        written.error = sqlite3_errmsg(db);
        return written;
    }
    for (int z = minZoom; z <= maxZoom && written.error.empty(); ++z) {
        const TileRange r = tileRange(bounds, z);
        for (int x = r.x0; x <= r.x1 && written.error.empty(); ++x) {
            for (int y = r.y1; y >= r.y0; --y) {  // rising TMS rows: the index grows at its end
                const TileKey key{z, x, y};
                const auto mix = static_cast<std::size_t>(x) * 73856093u ^
                                 static_cast<std::size_t>(y) * 19349663u ^
                                 static_cast<std::size_t>(z) * 83492791u;
                const QByteArray& png = pngs[mix % pngs.size()];
                sqlite3_bind_int(insert, 1, z);
                sqlite3_bind_int(insert, 2, x);
                sqlite3_bind_int(insert, 3, key.tmsRow());
                sqlite3_bind_blob(insert, 4, png.constData(), static_cast<int>(png.size()),
                                  SQLITE_STATIC);
                if (sqlite3_step(insert) != SQLITE_DONE) {
                    written.error = sqlite3_errmsg(db);
                    break;
                }
                sqlite3_reset(insert);
                ++written.tiles;
                written.tileBytes += static_cast<std::uint64_t>(png.size());
            }
        }
    }
    sqlite3_finalize(insert);
    if (written.error.empty() &&
        sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        written.error = sqlite3_errmsg(db);
    }
    return written;
}

// Writes the file out and drops it from the page cache, so that tiles are
// read from the disk as on a map that was not just written.
inline void dropFromPageCache(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
}

// Peak resident memory of this process so far, MiB.
inline double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The track map over a base map, drawn on its own surfaces: a wandering
// track of some thousand points and 20 pushpins around the centre, a GPS fix
// that the map follows, metric scale steps.
class MapScene {
public:
    MapScene(double latitudeDeg, double longitudeDeg, int trackPoints) {
        surfaces_.background.fill(rgb(230, 230, 230));
        units_.setSystem(1);
        snap_.latitude = latitudeDeg * kDeg;
        snap_.longitude = longitudeDeg * kDeg;
        snap_.status = NavSnapshot::kFixStatus;
        const LocalScale scale = wgs84().localScale(LatLonAlt{snap_.latitude, snap_.longitude, 0});
        log_ = std::make_unique<TrackLog>("bench.atk");
        log_->clear();
        log_->options = 0;
        // About an hour by bicycle wandering within 1-2 km of the centre.
        for (int i = 0; i < trackPoints; ++i) {
            const double t = i * 0.002;
            const double east = 1500 * std::sin(t * 1.3) + 60 * std::sin(t * 17);
            const double north = 1200 * std::cos(t * 0.7) + 50 * std::cos(t * 23);
            TrackPoint p;
            p.latitude = snap_.latitude + north / scale.metresPerDegLat * kDeg;
            p.longitude = snap_.longitude + east / scale.metresPerDegLon * kDeg;
            p.time.year = 24;
            p.time.hour = static_cast<std::uint8_t>(i / 3600);
            p.time.minute = static_cast<std::uint8_t>(i / 60 % 60);
            p.time.seconds = i % 60;
            log_->addFix(p);
        }
        for (int i = 0; i < 20; ++i) {
            Pushpin* pin = pins_.addNew();
            pin->latitude = snap_.latitude + (i - 10) * 80 / scale.metresPerDegLat * kDeg;
            pin->longitude = snap_.longitude + (i % 5 - 2) * 150 / scale.metresPerDegLon * kDeg;
            pin->name = "Pin";
            pin->icon = i % 10;
        }
        view_ = std::make_unique<TrackView>(settings_);
        view_->init(log_.get(), &pins_, units_, wgs84(), TrackView::kMarkerBitmap, "Track");
        view_->setSource(&snap_, nullptr);
        view_->setKeepArea({7, 7, 67, 67});
    }
    ~MapScene() {
        view_.reset();
        log_->options = 0;
    }
    MapScene(const MapScene&) = delete;
    MapScene& operator=(const MapScene&) = delete;

    int trackPoints() const { return log_->count(); }
    TrackView& view() { return *view_; }

    // The fix moves there; the map follows it at its next update.
    void moveTo(double latitudeDeg, double longitudeDeg, double courseDeg) {
        snap_.latitude = latitudeDeg * kDeg;
        snap_.longitude = longitudeDeg * kDeg;
        snap_.course = courseDeg * kDeg;
        view_->update(0);
    }
    // One frame of the map, as the dashboard's frame timer draws it.
    void redraw() {
        view_->erase(surfaces_);
        view_->draw(surfaces_);
    }

private:
    MemoryRegistry registry_;
    Diagnostics diagnostics_;
    SettingsServices settings_{registry_, diagnostics_};
    DrawingSurfaces surfaces_;
    UnitFormatter units_;
    Pushpins pins_;
    NavSnapshot snap_;
    std::unique_ptr<TrackLog> log_;
    std::unique_ptr<TrackView> view_;
};

}  // namespace wp2::bench
