// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the track map over a 2 GB MBTiles file after ten minutes of
// panning and zooming (target: at most 100 MB resident; the tile cache within
// its 32 MB). The file is written to a temporary folder first (some 55,000
// street-map tiles of zooms 8 to 16 around Zurich, dropped from the page
// cache once written) and removed at the end.
// Ten minutes of 30 ms frames are drawn in simulated time: the map follows a
// fix that sweeps across the whole file, turned to its course, and steps
// through ten zoom levels and back; the loader threads run for real and get
// at most 3 ms after each frame to catch up.
// The figures are printed with their targets after the table.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <numbers>

#include "base_map_scene.h"
#include "core/base/paths.h"
#include "ui/fonts.h"
#include "ui_bench_main.h"

namespace wp2::bench {
namespace {

constexpr GeoBounds kArea{8.0, 47.0, 9.1, 47.75};
constexpr int kMinZoom = 8;
constexpr int kMaxZoom = 16;
constexpr int kFrames = 20000;  // 10 minutes of 30 ms frames
constexpr double kFrameSeconds = 0.030;
constexpr int kFramesPerZoom = 333;  // a zoom step every 10 s
constexpr int kFirstScaleIndex = 3;  // 80 m to the scale bar: zoom 16 tiles enlarged
constexpr int kZoomSteps = 9;        // ... to 5 km: zoom 11

struct Figures {
    double fileGiB = 0;
    double writeSeconds = 0;
    double rssBeforeMiB = 0;
    double peakRssMiB = 0;
    double cachePeakMiB = 0;
    double cacheEndMiB = 0;
    double cacheLimitMiB = 0;
    double longestFrameMs = 0;
    int longFrames = 0;
    double completeShare = 0;
};
Figures g_figures;

void BM_PanAndZoomTenMinutes(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.mbtiles").toStdString();
    const Clock::time_point writing = Clock::now();
    const WrittenMap map = writeMBTiles(path, kArea, kMinZoom, kMaxZoom, streetTilePngs(24));
    if (!map.error.empty()) {
        state.SkipWithError(("cannot write the map: " + map.error).c_str());
        return;
    }
    Figures f;
    f.writeSeconds = millisecondsSince(writing) / 1000;
    f.fileGiB = static_cast<double>(std::filesystem::file_size(path)) / (1 << 30);
    dropFromPageCache(path);
    OpenedSource opened = openMBTiles(path);
    if (!opened.source) {
        state.SkipWithError(opened.error.c_str());
        return;
    }
    const double midLat = (kArea.south + kArea.north) / 2;
    const double midLon = (kArea.west + kArea.east) / 2;
    const double latSwing = 0.45 * (kArea.north - kArea.south);
    const double lonSwing = 0.45 * (kArea.east - kArea.west);
    {
        TileCache tiles(std::move(opened.source));
        MapScene scene(midLat, midLon, 3600);
        TrackView& view = scene.view();
        view.applyOptions(false, true);
        view.setBaseMap(&tiles);
        f.rssBeforeMiB = peakRssMiB();
        f.cacheLimitMiB = static_cast<double>(tiles.memoryLimit()) / (1 << 20);
        int complete = 0;
        for (auto _ : state) {
            for (int frame = 0; frame < kFrames; ++frame) {
                // A sweep across the whole map (Lissajous figure), turned to
                // the course, ten zoom steps in and out again.
                const double t = frame * kFrameSeconds;
                const double a = 2 * std::numbers::pi * t / 170;
                const double b = 2 * std::numbers::pi * t / 110 + 1;
                const double east = std::cos(a) / 170 * lonSwing * std::cos(midLat * kDeg);
                const double north = std::cos(b) / 110 * latSwing;
                const int phase = frame / kFramesPerZoom % (2 * kZoomSteps);
                view.scaleIndex =
                    kFirstScaleIndex + (phase <= kZoomSteps ? phase : 2 * kZoomSteps - phase);
                scene.moveTo(midLat + latSwing * std::sin(b), midLon + lonSwing * std::sin(a),
                             std::atan2(east, north) / kDeg);
                const Clock::time_point start = Clock::now();
                scene.redraw();
                const double ms = millisecondsSince(start);
                f.longestFrameMs = std::max(f.longestFrameMs, ms);
                f.longFrames += ms > 40 ? 1 : 0;
                complete += view.baseMapComplete() ? 1 : 0;
                f.cachePeakMiB =
                    std::max(f.cachePeakMiB, static_cast<double>(tiles.memoryBytes()) / (1 << 20));
                tiles.waitIdle(std::chrono::milliseconds(3));
            }
        }
        f.peakRssMiB = peakRssMiB();
        f.cacheEndMiB = static_cast<double>(tiles.memoryBytes()) / (1 << 20);
        f.completeShare = static_cast<double>(complete) / kFrames;
    }
    g_figures = f;
    state.counters["file_GiB"] = f.fileGiB;
    state.counters["peak_rss_MiB"] = f.peakRssMiB;
    state.counters["cache_peak_MiB"] = f.cachePeakMiB;
    state.counters["longest_frame_ms"] = f.longestFrameMs;
}
BENCHMARK(BM_PanAndZoomTenMinutes)->Iterations(1)->Unit(benchmark::kSecond);

void printFigures() {
    const Figures& f = g_figures;
    std::printf("MBTiles of %.2f GiB written in %.0f s; peak RSS before the panning %.1f MiB\n",
                f.fileGiB, f.writeSeconds, f.rssBeforeMiB);
    std::printf(
        "peak RSS after 10 minutes (%d frames) of panning and zooming: %.1f MiB (target <= 100 "
        "MB); tile cache at most %.1f MiB, %.1f MiB at the end (limit %.0f MiB)\n",
        kFrames, f.peakRssMiB, f.cachePeakMiB, f.cacheEndMiB, f.cacheLimitMiB);
    std::printf(
        "longest frame %.1f ms, %d of %d frames longer than 40 ms; %.0f %% of frames showed "
        "every tile at its zoom\n",
        f.longestFrameMs, f.longFrames, kFrames, 100 * f.completeShare);
}

}  // namespace
}  // namespace wp2::bench

int main(int argc, char** argv) {
    return wp2::bench::runUiBenchmarks(argc, argv, {}, wp2::bench::printFigures);
}
