// SPDX-License-Identifier: GPL-3.0-or-later
// One dashboard tick plus composing the frame, with every instrument changing
// in that tick: the course arrow, a compass needle, the sky view, the two
// read-outs and the lamp all re-read a snapshot whose values moved.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>

#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/unit_formatter.h"
#include "messages/message_box.h"
#include "ui/bitmap_panel.h"
#include "ui/compass_needle.h"
#include "ui/dial_arrow.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/number_panel.h"
#include "ui/push_button.h"
#include "ui/skin_screen.h"
#include "ui/sky_view.h"
#include "ui/state_lamp.h"
#include "ui/surface.h"

namespace wp2 {
namespace {

constexpr double kDeg = kDegToRad;

struct Dashboard {
    DrawingSurfaces surfaces;
    StderrMessageBoxes boxes;
    SkinScreen screen{surfaces, boxes};
    NavSnapshot snap;
    UnitFormatter units;

    template <class T>
    T* add() {
        return screen.add(std::make_unique<T>());
    }
    BitmapPanel* panel(int bitmap, int x, int y) {
        auto* p = add<BitmapPanel>();
        p->initBitmap(bitmap, "panel");
        p->moveTo(x, y);
        return p;
    }

    Dashboard() {
        units.setSystem(1);
        snap.fixLevel = 4;
        snap.targetSet = 1;
        snap.satellitesInView = 12;

        auto* compass = panel(467, 0, 150);
        auto* needle = add<BoundCompassNeedle>();
        needle->init(snap, 61, 208, 50, 50);
        compass->addChild(needle);
        compass->showWithChildren(1);

        auto* low = add<BitmapPanel>();
        low->initPlain(240, 56, rgb(255, 0, 0), "Low panel");
        low->moveTo(0, 264);
        for (int i = 0; i < 4; ++i) {
            auto* b = add<PushButton>();
            b->init(60 * i, 264, 401 + 2 * i, 402 + 2 * i);
            low->addChild(b);
        }
        low->showWithChildren(1);

        auto* sky = panel(471, 120, 150);
        auto* sats = add<BoundSkyView>();
        sats->init(snap, "Sats2");
        sats->moveTo(130, 157);
        sky->addChild(sats);
        sky->showWithChildren(1);

        auto* container = add<ContainerPanel>();
        auto* course = panel(424, 0, 0);
        auto* arrow = add<CourseDialArrow>();
        arrow->init(snap, 121, 106, "Course arrow");
        course->addChild(arrow);
        course->showWithChildren(1);
        auto* lamp = add<StateLamp>();
        initReceiverLamp(*lamp, snap, 66, 128);
        container->addChild(lamp);

        NumberPanel::GlyphIds glyphs;
        for (int i = 0; i < NumberPanel::kGlyphCount; ++i) {
            glyphs[static_cast<std::size_t>(i)] = 425 + i;
        }
        auto* speed = add<BoundNumberPanel>();
        speed->init(snap, units, ValueKind::Speed, glyphs, "Speed");
        speed->moveTo(3, 116);
        auto* heading = add<BoundNumberPanel>();
        heading->init(snap, units, ValueKind::Heading, glyphs, "Heading");
        heading->moveTo(208, 116);
        container->addChild(speed);
        container->addChild(heading);
        container->showWithChildren(1);

        screen.drawAll();
    }

    // New values for every instrument.
    void move(int step) {
        snap.course = (step * 47 % 360) * kDeg;
        snap.targetBearing = (step * 83 % 360) * kDeg;
        snap.speed = (step * 7 % 60) + 0.5;
        snap.fixLevel = 2 + step % 3;
        for (int i = 0; i < 12; ++i) {
            snap.satellites[static_cast<std::size_t>(i)] =
                SkySatellite{i + 1, (i + step) % 3 ? 35 : 0, ((i * 13 + step) % 90) * kDeg,
                             ((i * 31 + step * 5) % 360) * kDeg};
        }
    }
};

// Every tick re-reads the snapshot (frames on multiples of 30), so every
// instrument retargets and is drawn again.
void BM_DashboardTickEveryDialMoving(benchmark::State& state) {
    Dashboard d;
    std::uint32_t frame = 0;
    int step = 0;
    int drawn = 0;
    for (auto _ : state) {
        d.move(++step);
        frame += 30;
        publishFrame(frame);
        d.screen.tickAll(frame);
        drawn += d.screen.compose();
    }
    if (drawn != static_cast<int>(state.iterations())) {
        state.SkipWithError("a tick composed nothing");
    }
}
BENCHMARK(BM_DashboardTickEveryDialMoving)->Unit(benchmark::kMicrosecond);

// Real timing: one frame per tick, new values every 30 frames; the dials
// animate towards them in between.
void BM_DashboardTickAnimated(benchmark::State& state) {
    Dashboard d;
    std::uint32_t frame = 0;
    int step = 0;
    for (auto _ : state) {
        ++frame;
        if (frame % 30 == 0) {
            d.move(++step);
        }
        publishFrame(frame);
        d.screen.tickAll(frame);
        benchmark::DoNotOptimize(d.screen.compose());
    }
}
BENCHMARK(BM_DashboardTickAnimated)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace wp2

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    wp2::registerDashboardFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
