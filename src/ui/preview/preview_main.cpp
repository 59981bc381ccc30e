// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-preview OUTDIR: renders the dashboard's instruments and the track
// map from a scripted snapshot into PNG files, so that their look can be
// reviewed without a receiver.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "core/base/clock.h"
#include "core/base/diagnostics.h"
#include "core/base/paths.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/memory_registry.h"
#include "core/track/track_log.h"
#include "core/waypoints/pushpins.h"
#include "messages/message_box.h"
#include "ui/bitmap_source.h"
#include "ui/dashboard_ids.h"
#include "ui/dashboard_layout.h"
#include "ui/destination_panel.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/skin_screen.h"
#include "ui/surface.h"
#include "ui/track_view.h"

namespace wp2 {
namespace {

constexpr double kDeg = kDegToRad;

// A position near Zurich, moving east-north-east at 50 km/h towards a target.
void scriptSnapshot(NavSnapshot& s) {
    s.latitude = 47.3769 * kDeg;
    s.longitude = 8.5417 * kDeg;
    s.altitude = 408;
    s.speed = 50 / 3.6;
    s.course = 62 * kDeg;
    s.targetBearing = 95 * kDeg;
    s.targetDistance = 3450;
    s.pdop = 12.4;
    s.fixLevel = 4;
    s.status = 0x3f | NavSnapshot::kFixStatus;
    s.targetSet = 1;
    s.averageSpeed.add(12.5);
    const struct {
        int prn, snr;
        double elevation, azimuth;
    } sats[] = {{2, 42, 71, 40},   {5, 38, 44, 110},  {7, 0, 12, 200},
                {9, 31, 28, 250},  {13, 45, 58, 300}, {17, 0, 5, 20},
                {20, 26, 35, 160}, {24, 39, 80, 210}, {28, 22, 18, 330}};
    s.satellitesInView = 0;
    s.satellitesWithSignal = 0;
    for (const auto& sat : sats) {
        s.satellites[static_cast<std::size_t>(s.satellitesInView++)] =
            SkySatellite{sat.prn, sat.snr, sat.elevation * kDeg, sat.azimuth * kDeg};
        s.satellitesWithSignal += sat.snr > 0;
    }
}

// A winding track of 400 points that ends at the snapshot's position.
void scriptTrack(TrackLog& log, const NavSnapshot& s) {
    const LocalScale scale = wgs84().localScale(LatLonAlt{s.latitude, s.longitude, 0});
    for (int i = 0; i < 400; ++i) {
        const double t = (399 - i) / 399.0;  // 1 at the start, 0 now
        const double east = -1900 * t + 260 * std::sin(t * 9);
        const double north = -700 * t + 330 * std::sin(t * 5.5) * t;
        TrackPoint p;
        p.latitude = s.latitude + north / scale.metresPerDegLat * kDeg;
        p.longitude = s.longitude + east / scale.metresPerDegLon * kDeg;
        p.time.year = 24;
        p.time.month = 6;
        p.time.day = 1;
        p.time.hour = static_cast<std::uint8_t>(10 + i / 3600);
        p.time.minute = static_cast<std::uint8_t>(i / 60 % 60);
        p.time.seconds = i % 60;
        log.addFix(p);
    }
}

void scriptPushpins(Pushpins& pins, const NavSnapshot& s) {
    const LocalScale scale = wgs84().localScale(LatLonAlt{s.latitude, s.longitude, 0});
    const struct {
        const char* name;
        double north, east;
        int icon;
    } list[] = {{"Home", -520, -1500, 0},
                {"Fuel", 180, -640, 6},
                {"Cache", -260, 420, 12},
                {"Peak", 600, 250, 20}};
    for (const auto& p : list) {
        Pushpin* pin = pins.addNew();
        pin->latitude = s.latitude + p.north / scale.metresPerDegLat * kDeg;
        pin->longitude = s.longitude + p.east / scale.metresPerDegLon * kDeg;
        pin->name = p.name;
        pin->icon = p.icon;
    }
}

// The dashboard built from its own layout, fed by the scripted snapshot.
struct Scene {
    // Nothing the preview does may touch the user's settings.
    MemoryRegistry registry;
    Diagnostics diagnostics;
    SettingsServices settings{registry, diagnostics};
    StderrMessageBoxes boxes;
    SkinScreen screen;
    NavSnapshot snapshot;
    UnitFormatter units;
    ManualClock clock{1717243380};  // 2024-06-01 12:03 UTC
    TrackLog log{"preview.atk"};
    Pushpins pins;
    std::uint32_t frame = 30;

    template <class T>
    T& element(int id) {
        return dynamic_cast<T&>(*screen.byId(id, 1));
    }
    SwitchingPanelSelector& selector(int id) { return element<SwitchingPanelSelector>(id); }
    TrackView& map() { return element<TrackView>(DashboardId::TrackView); }

    explicit Scene(DrawingSurfaces& surfaces) : screen(surfaces, boxes) {
        units.setSystem(1);
        log.clear();
        log.options = 0;
        scriptSnapshot(snapshot);
        scriptTrack(log, snapshot);
        scriptPushpins(pins, snapshot);

        LayoutSources sources;
        sources.snapshot = &snapshot;
        sources.units = &units;
        sources.pushpins = &pins;
        sources.clock = &clock;
        sources.track = &log;
        sources.battery = [] { return std::optional<int>(76); };
        sources.settings = &settings;
        DashboardLayout(screen, sources).build();
        for (const auto& e : screen.elements()) {
            if (e->group == ElementGroup::PanelSelector) {
                static_cast<PanelSelector&>(*e).chooseInitialCurrent(screen);
            }
        }
        for (int id : {DashboardId::DestinationLeft, DashboardId::DestinationRight}) {
            element<DestinationPanel>(id).setTarget("Old Town Hall", pushpinIconBitmapId(1));
        }
        map().applyOptions(false, true);
        screen.markAllDirty();
    }

    // Runs the dashboard for a number of frames: tick, then compose.
    void run(int frames) {
        for (int i = 0; i < frames; ++i, ++frame) {
            publishFrame(frame);
            screen.tickAll(frame);
            screen.compose();
        }
    }

    void showMap() {
        enterMapMode(screen);
        map().centreOn(snapshot.latitude, snapshot.longitude);
    }
};

bool save(const QImage& image, const QString& dir, const QString& name, int scale = 1) {
    const QImage out = scale == 1 ? image
                                  : image.scaled(image.size() * scale, Qt::IgnoreAspectRatio,
                                                 Qt::FastTransformation);
    const QString path = dir + QLatin1Char('/') + name;
    if (!out.save(path)) {
        std::fprintf(stderr, "wayplot2-preview: cannot write %s\n", path.toUtf8().constData());
        return false;
    }
    std::printf("%s\n", path.toUtf8().constData());
    return true;
}

int renderAll(const QString& dir) {
    DrawingSurfaces surfaces;
    surfaces.frame.fill(rgb(0, 0, 255));
    surfaces.background.fill(rgb(200, 0, 0));
    Scene scene(surfaces);
    const QImage& frame = surfaces.frame.image();
    bool ok = true;

    scene.run(120);
    ok &= save(frame, dir, "dashboard.png");
    ok &= save(frame, dir, "dashboard_2x.png", 2);
    ok &= save(frame.copy(0, 0, 240, 150), dir, "course_dial.png");
    ok &= save(frame.copy(0, 150, 120, 114), dir, "destination.png");
    ok &= save(frame.copy(120, 150, 120, 114), dir, "sky_view.png");

    // Other panels through their selectors.
    namespace Id = DashboardId;
    scene.selector(Id::MenuTop).switchTo(scene.screen.byId(Id::SpeedDial));
    scene.selector(Id::MenuLeft).switchTo(scene.screen.byId(Id::CompassLeft));
    scene.selector(Id::MenuRight).switchTo(scene.screen.byId(Id::PositionRight));
    scene.selector(Id::ValueMenuLeft).switchTo(scene.screen.byId(Id::AltitudeReadout));
    scene.selector(Id::ValueMenuRight).switchTo(scene.screen.byId(Id::PdopReadout));
    scene.screen.markAllDirty();
    scene.run(120);
    ok &= save(frame, dir, "speed_compass_position.png");
    ok &= save(frame, dir, "speed_compass_position_2x.png", 2);
    ok &= save(frame.copy(0, 0, 240, 150), dir, "speed_dial.png");
    ok &= save(frame.copy(0, 150, 120, 114), dir, "compass.png");
    ok &= save(frame.copy(120, 150, 120, 114), dir, "position.png");

    // The open lists and the options menu.
    const struct {
        int selector;
        Point touch;
        const char* file;
    } lists[] = {{Id::MenuLeft, {10, 160}, "selector_open.png"},
                 {Id::ValueMenuRight, {225, 105}, "value_list_open.png"}};
    for (const auto& list : lists) {
        scene.selector(list.selector).onRelease(list.touch.x, list.touch.y);
        scene.run(2);
        ok &= save(frame, dir, list.file);
        scene.selector(list.selector).onRelease(200, 300);
        scene.run(2);
    }
    PopupMenu& options = scene.element<PopupMenu>(Id::OptionsMenu);
    options.openMenu();
    scene.run(2);
    ok &= save(frame, dir, "options_menu.png");
    options.onRelease(10, 10);
    options.reset();
    scene.run(2);

    // The track map, heading-up, at the 500 m step.
    scene.showMap();
    scene.map().zoomOut();
    scene.map().zoomOut();
    scene.run(120);
    ok &= save(frame, dir, "track_map.png");
    ok &= save(frame, dir, "track_map_2x.png", 2);
    scene.map().zoomOut();
    scene.map().applyOptions(false, false);
    scene.run(60);
    ok &= save(frame, dir, "track_map_north_up.png");
    leaveMapMode(scene.screen);
    scene.run(30);
    ok &= save(frame, dir, "dashboard_after_map.png");

    return ok ? 0 : 1;
}

}  // namespace
}  // namespace wp2

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: wayplot2-preview OUTDIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "wayplot2-preview: cannot create %s\n", argv[1]);
        return 1;
    }
    // Nothing the preview does may touch the user's files.
    QTemporaryDir scratch;
    wp2::Paths::setRoot(scratch.path().toStdString());
    wp2::registerDashboardFonts();
    return wp2::renderAll(dir);
}
