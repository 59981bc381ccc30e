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
#include <string>

#include "core/base/clock.h"
#include "core/base/paths.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/angles.h"
#include "core/nav/geodesy.h"
#include "core/nav/unit_formatter.h"
#include "core/settings/memory_registry.h"
#include "core/settings/registry.h"
#include "core/track/track_log.h"
#include "core/waypoints/cpushpins.h"
#include "ui/bitmap_panel.h"
#include "ui/bitmap_source.h"
#include "ui/compass_needle.h"
#include "ui/destination_panel.h"
#include "ui/dial_arrow.h"
#include "ui/fonts.h"
#include "ui/frame_counter.h"
#include "ui/number_panel.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/position_panel.h"
#include "ui/push_button.h"
#include "ui/skin_screen.h"
#include "ui/sky_view.h"
#include "ui/state_lamp.h"
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
    s.pdop = 1.8;
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

void scriptPushpins(CPushpins& pins, const NavSnapshot& s) {
    const LocalScale scale = wgs84().localScale(LatLonAlt{s.latitude, s.longitude, 0});
    const struct {
        const char16_t* name;
        double north, east;
        int icon;
    } list[] = {{u"Home", -520, -1500, 0},
                {u"Fuel", 180, -640, 6},
                {u"Cache", -260, 420, 12},
                {u"Peak", 600, 250, 20}};
    for (const auto& p : list) {
        CPushpin* pin = pins.AddNew();
        pin->latitude = s.latitude + p.north / scale.metresPerDegLat * kDeg;
        pin->longitude = s.longitude + p.east / scale.metresPerDegLon * kDeg;
        pin->name = p.name;
        pin->icon = p.icon;
    }
}

// The dashboard as the screen is laid out, built from the element kinds.
struct Scene {
    SkinScreen screen;
    NavSnapshot snapshot;
    UnitFormatter units;
    ManualClock clock{1717243380};  // 2024-06-01 12:03 UTC
    TrackLog log{"preview.atk"};
    CPushpins pins;

    PopupMenu* options = nullptr;
    BitmapPanel* lowPanel = nullptr;
    PushButton* buttons[4] = {};
    BitmapPanel* trackPanel = nullptr;
    TrackView* map = nullptr;
    SwitchingPanelSelector* menu1 = nullptr;
    SwitchingPanelSelector* menuL = nullptr;
    SwitchingPanelSelector* menuR = nullptr;
    SwitchingPanelSelector* values1 = nullptr;
    SwitchingPanelSelector* values2 = nullptr;
    std::uint32_t frame = 30;

    template <class T>
    T* add(int id, const std::string& name) {
        T* e = screen.add(std::make_unique<T>());
        e->id = id;
        if (e->name.empty()) {
            e->name = name;
        }
        return e;
    }

    BitmapPanel* panel(int id, int bitmap, const std::string& name, int x, int y) {
        auto* p = add<BitmapPanel>(id, name);
        p->initBitmap(bitmap, name);
        p->moveTo(x, y);
        return p;
    }

    Scene() {
        units.setSystem(1);
        log.clear();
        log.options = 0;
        scriptSnapshot(snapshot);
        scriptTrack(log, snapshot);
        scriptPushpins(pins, snapshot);
        NumberPanel::GlyphIds glyphs;
        for (int i = 0; i < NumberPanel::kGlyphCount; ++i) {
            glyphs[static_cast<std::size_t>(i)] = 425 + i;
        }

        options = add<PopupMenu>(23, "Options menu");
        options->init(144, 148, 96);
        for (auto [label, code] :
             {std::pair{"GPS", 3}, {"Sound", 1}, {"WayPoints", 2}, {"Misc.", 4}}) {
            options->addItem(label, code);
        }
        options->setVisible(1);

        auto* compassL = panel(21, 467, "Compass", 0, 150);
        auto* needleL = add<BoundCompassNeedle>(500, "Compas Arrow L");
        needleL->init(snapshot, 61, 208, 50, 50);
        compassL->addChild(needleL);
        compassL->showWithChildren(0);
        auto* compassR = panel(22, 468, "Compass", 120, 150);
        auto* needleR = add<BoundCompassNeedle>(600, "Compas Arrow R");
        needleR->init(snapshot, 181, 208, 50, 50);
        compassR->addChild(needleR);
        compassR->showWithChildren(0);

        lowPanel = add<BitmapPanel>(19, "Low panel");
        lowPanel->initPlain(240, 56, rgb(255, 0, 0), "Low panel");
        lowPanel->moveTo(0, 264);
        const int buttonBitmaps[4] = {401, 403, 405, 407};
        for (int i = 0; i < 4; ++i) {
            buttons[i] = add<PushButton>(11 + i, "TBtn" + std::to_string(i + 1));
            buttons[i]->init(60 * i, 264, buttonBitmaps[i], buttonBitmaps[i] + 1);
            lowPanel->addChild(buttons[i]);
        }
        lowPanel->showWithChildren(1);

        auto* skyL = panel(26, 471, "Sky View", 0, 150);
        auto* satsL = add<BoundSkyView>(0, "Sats1");
        satsL->init(snapshot, "Sats1");
        satsL->moveTo(10, 157);
        skyL->addChild(satsL);
        skyL->showWithChildren(0);
        auto* skyR = panel(27, 471, "Sky View", 120, 150);
        auto* satsR = add<BoundSkyView>(0, "Sats2");
        satsR->init(snapshot, "Sats2");
        satsR->moveTo(130, 157);
        skyR->addChild(satsR);
        skyR->showWithChildren(1);

        auto* container = add<ContainerPanel>(0, "Container 1");
        auto* course = panel(30, 424, "Course", 0, 0);
        auto* courseArrow = add<CourseDialArrow>(0, "Course arrow");
        courseArrow->init(snapshot, 121, 106, "Course arrow");
        course->addChild(courseArrow);
        course->showWithChildren(1);
        auto* lamp = add<StateLamp>(0, "Antena lamp");
        initReceiverLamp(*lamp, snapshot, 66, 128);
        container->addChild(lamp);
        auto* quit = add<PushButton>(20, "Quit button");
        quit->init(220, 5, 465, 465);
        container->addChild(quit);

        auto* speed = panel(29, 409, "Speed", 0, 0);
        auto* speedArrow = add<SpeedDialArrow>(0, "Speed arrow");
        speedArrow->init(snapshot, 121, 106, "Speed arrow");
        speed->addChild(speedArrow);
        speed->showWithChildren(0);

        const struct {
            const char* name;
            int kind, id;
        } readouts[] = {{"Speed", ValueKind::Speed, 35},       {"Heading", ValueKind::Heading, 37},
                        {"Bearing", ValueKind::Bearing, 33},   {"Alt", ValueKind::Altitude, 34},
                        {"Accuracy", ValueKind::Accuracy, 36}, {"PDOP", ValueKind::Pdop, 38},
                        {"Nsat", ValueKind::Satellites, 39},   {"Battery", ValueKind::Battery, 40}};
        BoundNumberPanel* panels[8] = {};
        int n = 0;
        for (const auto& r : readouts) {
            auto* p = add<BoundNumberPanel>(r.id, r.name);
            p->init(snapshot, units, r.kind, glyphs, r.name);
            container->addChild(p);
            panels[n++] = p;
        }
        panels[0]->moveTo(3, 116);
        panels[1]->moveTo(208, 116);
        container->showWithChildren(1);
        for (int i = 2; i < 8; ++i) {
            panels[i]->setVisible(0);
        }

        values1 = add<SwitchingPanelSelector>(103, "Val menu 1");
        values1->init({5, 102, 21, 118}, "Val menu 1");
        values1->group = ElementGroup::ValueSelector;
        values1->setArea({5, 117, 21, 133}, 80);
        for (auto [label, p] : {std::pair{"Bearing", panels[2]},
                                {"Altitude", panels[3]},
                                {"Speed", panels[0]},
                                {"Accuracy", panels[4]}}) {
            values1->addItem(label, p);
        }
        values1->current = panels[0];
        values2 = add<SwitchingPanelSelector>(104, "Val menu 2");
        values2->init({220, 102, 236, 118}, "Val menu 2");
        values2->group = ElementGroup::ValueSelector;
        values2->opensLeft = 1;
        values2->setArea({210, 118, 226, 134}, 80);
        for (auto [label, p] : {std::pair{"Heading", panels[1]},
                                {"PDOP", panels[5]},
                                {"N Sats", panels[6]},
                                {"Battery %", panels[7]}}) {
            values2->addItem(label, p);
        }
        values2->current = panels[1];
        values1->setVisible(1);
        values2->setVisible(1);

        auto* destL = add<DestinationPanel>(24, "Destination");
        destL->init(&snapshot, &units, &clock, 469, "Destination");
        destL->moveTo(0, 150);
        destL->setVisible(1);
        auto* destR = add<DestinationPanel>(25, "Destination");
        destR->init(&snapshot, &units, &clock, 470, "Destination");
        destR->moveTo(120, 150);
        destR->setVisible(0);
        for (DestinationPanel* d : {destL, destR}) {
            d->setTarget("Old Town Hall", pushpinIconBitmapId(1));
        }
        auto* posL = add<PositionPanel>(31, "Position");
        posL->init(477, &snapshot, &units);
        posL->setVisible(0);
        auto* posR = add<PositionPanel>(32, "Position");
        posR->init(478, &snapshot, &units);
        posR->setVisible(0);

        trackPanel = add<BitmapPanel>(28, "Track Panel");
        trackPanel->initPlain(240, 264, rgb(230, 230, 230), "Track Panel");
        trackPanel->grid = 1;
        auto* mapCompass = add<BoundCompassNeedle>(202, "Track compas");
        mapCompass->init(snapshot, 37, 37, 30, 30);
        mapCompass->baseWidth = 16;
        mapCompass->length = 28;
        map = add<TrackView>(201, "Track");
        map->init(&log, &pins, units, wgs84(), TrackView::kMarkerBitmap, "Track");
        map->setSource(&snapshot, nullptr);
        map->applyOptions(false, true);
        trackPanel->addChild(mapCompass);
        trackPanel->addChild(map);
        trackPanel->showWithChildren(0);

        const struct {
            SwitchingPanelSelector** selector;
            int id;
            Rect button, area;
            int width;
            std::vector<int> items;
        } selectors[] = {
            {&menu1, 105, {5, 5, 25, 25}, {0, 0, 240, 150}, 70, {30, 29}},
            {&menuL, 102, {5, 155, 25, 175}, {0, 150, 120, 264}, 95, {21, 24, 26, 31}},
            {&menuR, 101, {125, 155, 145, 175}, {120, 150, 240, 264}, 95, {22, 25, 27, 32}},
        };
        for (const auto& s : selectors) {
            auto* sel = add<SwitchingPanelSelector>(s.id, "Menu");
            sel->init(s.button, "Menu");
            sel->setArea(s.area, s.width);
            for (int item : s.items) {
                SkinElement* e = screen.byId(item);
                sel->addItem(e->name, e);
            }
            if (s.id == 101) {
                sel->layer = 90;
            }
            sel->setVisible(1);
            sel->chooseInitialCurrent(screen);
            *s.selector = sel;
        }
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

    void enterMapMode() {
        screen.mapMode = 1;
        screen.hiddenByMode.clear();
        for (const auto& e : screen.elements()) {
            if (e->visible && e->id != 19 &&
                (e->group == ElementGroup::Panel || e->group == ElementGroup::PanelSelector ||
                 e->group == ElementGroup::PopupMenu)) {
                e->setVisible(0);
                screen.hiddenByMode.push_back(e->listIndex);
            }
        }
        trackPanel->setVisible(1);
        map->centreOn(snapshot.latitude, snapshot.longitude);
        buttons[1]->setBitmaps(461, 462);
        buttons[2]->setBitmaps(463, 464);
        screen.markAllDirty();
    }

    void leaveMapMode() {
        screen.mapMode = 0;
        trackPanel->setVisible(0);
        for (int index : screen.hiddenByMode) {
            screen.elements()[static_cast<std::size_t>(index)]->setVisible(1);
        }
        buttons[1]->setBitmaps(403, 404);
        buttons[2]->setBitmaps(405, 406);
        screen.markAllDirty();
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
    publishSurfaces(&surfaces);
    Scene scene;
    const QImage& frame = surfaces.frame.image();
    bool ok = true;

    scene.run(120);
    ok &= save(frame, dir, "dashboard.png");
    ok &= save(frame, dir, "dashboard_2x.png", 2);
    ok &= save(frame.copy(0, 0, 240, 150), dir, "course_dial.png");
    ok &= save(frame.copy(0, 150, 120, 114), dir, "destination.png");
    ok &= save(frame.copy(120, 150, 120, 114), dir, "sky_view.png");

    // Other panels through their selectors.
    scene.menu1->switchTo(scene.screen.byId(29));
    scene.menuL->switchTo(scene.screen.byId(21));
    scene.menuR->switchTo(scene.screen.byId(32));
    scene.values1->switchTo(scene.screen.byId(34));
    scene.values2->switchTo(scene.screen.byId(38));
    scene.screen.markAllDirty();
    scene.run(120);
    ok &= save(frame, dir, "speed_compass_position.png");
    ok &= save(frame, dir, "speed_compass_position_2x.png", 2);
    ok &= save(frame.copy(0, 0, 240, 150), dir, "speed_dial.png");
    ok &= save(frame.copy(0, 150, 120, 114), dir, "compass.png");
    ok &= save(frame.copy(120, 150, 120, 114), dir, "position.png");

    // An open panel list and the options menu.
    scene.menuL->onRelease(10, 160);
    scene.run(2);
    ok &= save(frame, dir, "selector_open.png");
    scene.menuL->onRelease(200, 10);
    scene.options->openMenu();
    scene.run(2);
    ok &= save(frame, dir, "options_menu.png");
    scene.options->onRelease(10, 10);
    scene.options->reset();
    scene.run(2);

    // The track map, heading-up, at the 500 m step.
    scene.enterMapMode();
    scene.map->zoomOut();
    scene.map->zoomOut();
    scene.run(120);
    ok &= save(frame, dir, "track_map.png");
    ok &= save(frame, dir, "track_map_2x.png", 2);
    scene.map->zoomOut();
    scene.map->applyOptions(false, false);
    scene.run(60);
    ok &= save(frame, dir, "track_map_north_up.png");
    scene.leaveMapMode();
    scene.run(30);
    ok &= save(frame, dir, "dashboard_after_map.png");

    publishSurfaces(nullptr);
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
    // Nothing the preview does may touch the user's files or settings.
    QTemporaryDir scratch;
    wp2::Paths::setRoot(scratch.path().toStdString());
    wp2::MemoryRegistry settings;
    wp2::setRegistry(&settings);
    wp2::registerDashboardFonts();
    const int status = wp2::renderAll(dir);
    wp2::setRegistry(nullptr);
    return status;
}
