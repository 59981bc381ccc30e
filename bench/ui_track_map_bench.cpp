// SPDX-License-Identifier: GPL-3.0-or-later
// A full redraw of the track map (erase and draw) with a 100,000-point track
// inside the map, heading-up, with pushpins.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "core/base/diagnostics.h"
#include "core/base/paths.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/memory_registry.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpins.h"
#include "ui/fonts.h"
#include "ui/surface.h"
#include "ui/track_view.h"
#include "ui_bench_main.h"

namespace wp2 {
namespace {

constexpr double kDeg = kDegToRad;

void BM_TrackMapRedraw(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    MemoryRegistry registry;
    Diagnostics diagnostics;
    DrawingSurfaces surfaces;
    surfaces.background.fill(rgb(230, 230, 230));
    UnitFormatter units;
    units.setSystem(1);
    Pushpins pins;
    NavSnapshot snap;
    snap.latitude = 47.37 * kDeg;
    snap.longitude = 8.54 * kDeg;
    snap.course = 30 * kDeg;
    snap.status = NavSnapshot::kFixStatus;
    const LocalScale scale = wgs84().localScale(LatLonAlt{snap.latitude, snap.longitude, 0});
    {
        auto log = std::make_unique<TrackLog>("bench.atk");
        log->clear();
        log->options = 0;
        // A wandering track that stays within about 1 km of the centre: at
        // step 11 (3 km over 55 pixels) all of it lies on the map; at step 5
        // (200 m) it leaves and re-enters the map many times.
        for (int i = 0; i < points; ++i) {
            const double t = i * 0.001;
            const double east = 900 * std::sin(t * 1.3) + 60 * std::sin(t * 17);
            const double north = 800 * std::cos(t * 0.7) + 50 * std::cos(t * 23);
            TrackPoint p;
            p.latitude = snap.latitude + north / scale.metresPerDegLat * kDeg;
            p.longitude = snap.longitude + east / scale.metresPerDegLon * kDeg;
            p.time.year = 24;
            p.time.hour = static_cast<std::uint8_t>(i / 3600);
            p.time.minute = static_cast<std::uint8_t>(i / 60 % 60);
            p.time.seconds = i % 60;
            log->addFix(p);
        }
        for (int i = 0; i < 20; ++i) {
            Pushpin* pin = pins.addNew();
            pin->latitude = snap.latitude + (i - 10) * 80 / scale.metresPerDegLat * kDeg;
            pin->longitude = snap.longitude + (i % 5 - 2) * 150 / scale.metresPerDegLon * kDeg;
            pin->name = "Pin";
            pin->icon = i % 10;
        }
        TrackView view({registry, diagnostics});
        view.init(log.get(), &pins, units, wgs84(), TrackView::kMarkerBitmap, "Track");
        view.setSource(&snap, nullptr);
        view.applyOptions(false, true);
        view.scaleIndex = static_cast<int>(state.range(1));
        view.setKeepArea({7, 7, 67, 67});
        view.update(30);
        if (log->count() != points) {
            state.SkipWithError("the track log refused points");
        }
        for (auto _ : state) {
            view.erase(surfaces);
            view.draw(surfaces);
            benchmark::ClobberMemory();
        }
        state.counters["points"] = log->count();
        log->options = 0;
    }
}
BENCHMARK(BM_TrackMapRedraw)
    ->Args({100000, 11})
    ->Args({100000, 8})
    ->Args({100000, 5})
    ->Args({10000, 11})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wp2

int main(int argc, char** argv) {
    return wp2::bench::runUiBenchmarks(argc, argv);
}
