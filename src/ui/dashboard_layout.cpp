// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dashboard_layout.h"

#include "core/nav/geodesy.h"
#include "ui/bitmap_panel.h"
#include "ui/compass_needle.h"
#include "ui/dashboard_ids.h"
#include "ui/destination_panel.h"
#include "ui/dial_arrow.h"
#include "ui/number_panel.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/position_panel.h"
#include "ui/push_button.h"
#include "ui/skin_bitmaps.h"
#include "ui/skin_screen.h"
#include "ui/sky_view.h"
#include "ui/state_lamp.h"
#include "ui/surface.h"
#include "ui/track_view.h"

namespace wp2 {

namespace {

namespace Id = DashboardId;

// The digit glyphs: "0" to "9", one for any other character, the minus sign.
NumberPanel::GlyphIds glyphIds() {
    NumberPanel::GlyphIds ids{};
    for (int i = 0; i < 10; ++i) {
        ids[static_cast<std::size_t>(i)] = skin::kFirstGlyph + i;
    }
    ids[NumberPanel::kOtherGlyph] = skin::kOtherGlyph;
    ids[NumberPanel::kMinusGlyph] = skin::kMinusGlyph;
    return ids;
}

std::unique_ptr<BitmapPanel> bitmapPanel(int bitmapId, const char* name, int x, int y) {
    auto panel = std::make_unique<BitmapPanel>();
    panel->initBitmap(bitmapId, name);
    panel->moveTo(x, y);
    return panel;
}

std::unique_ptr<PushButton> button(const char* name, int x, int y, int normal, int pressed) {
    auto b = std::make_unique<PushButton>();
    b->init(x, y, normal, pressed);
    b->name = name;
    return b;
}

std::unique_ptr<BoundCompassNeedle> needle(const NavSnapshot& snapshot, const char* name, int cx,
                                           int cy, int half) {
    auto n = std::make_unique<BoundCompassNeedle>();
    n->init(snapshot, cx, cy, half, half);
    n->name = name;
    return n;
}

std::unique_ptr<BoundSkyView> skyView(const NavSnapshot& snapshot, const char* name, int left,
                                      int top) {
    auto v = std::make_unique<BoundSkyView>();
    v->init(snapshot, name);
    v->moveTo(left, top);
    return v;
}

struct SelectorPlacing {
    const char* name;
    Rect button;
    Rect area;
    int listWidth;
    int layer;
    int group;
};

std::unique_ptr<SwitchingPanelSelector> makeSelector(const SelectorPlacing& placing) {
    auto s = std::make_unique<SwitchingPanelSelector>();
    s->init(placing.button, placing.name);
    s->setArea(placing.area, placing.listWidth);
    s->layer = placing.layer;
    s->group = placing.group;
    return s;
}

}  // namespace

template <class T>
T* DashboardLayout::place(std::unique_ptr<T> element, int id, BitmapPanel* parent, int shown) {
    element->id = id;
    T* added = screen_.add(std::move(element));
    if (parent) {
        parent->addChild(added);
        added->setVisible(parent->visible);
    } else {
        added->setVisible(shown);
    }
    return added;
}

void DashboardLayout::build() {
    addOptionsMenu();
    addCompasses();
    addButtonStrip();
    addSkyViews();
    addCourseDial();
    addSpeedDial();
    addReadouts();
    addTextPanels();
    addTrackPanel();
    addPanelSelectors();
}

void DashboardLayout::addOptionsMenu() {
    auto menu = std::make_unique<PopupMenu>();
    // Wide enough for "Reset Trip B"; its eight items end above the buttons.
    menu->init(132, 80, 108);
    menu->name = "Options menu";
    menu->addItem("GPS", 3);
    menu->addItem("Sound", 1);
    menu->addItem("WayPoints", 2);
    menu->addItem("Misc.", 4);
    menu->addItem("Reset Trip A", 5);
    menu->addItem("Reset Trip B", 6);
    menu->addItem("Night", 7);
    menu->addItem("Auto", 8);
    place(std::move(menu), Id::OptionsMenu, nullptr, 1);
}

void DashboardLayout::addCompasses() {
    BitmapPanel* left =
        place(bitmapPanel(skin::kCompassLeft, "Compass", 0, 150), Id::CompassLeft, nullptr, 0);
    place(needle(*sources_.snapshot, "Compass Arrow L", 61, 208, 50), Id::CompassNeedleLeft, left,
          0);
    BitmapPanel* right =
        place(bitmapPanel(skin::kCompassRight, "Compass", 120, 150), Id::CompassRight, nullptr, 0);
    place(needle(*sources_.snapshot, "Compass Arrow R", 181, 208, 50), Id::CompassNeedleRight,
          right, 0);
}

void DashboardLayout::addButtonStrip() {
    auto low = std::make_unique<BitmapPanel>();
    low->initPlain(240, 56, rgb(255, 0, 0), "Low panel");
    low->moveTo(0, 264);
    BitmapPanel* strip = place(std::move(low), Id::LowPanel, nullptr, 1);
    place(button("TBtn1", 0, 264, 401, 402), Id::MapButton, strip, 1);
    place(button("TBtn2", 60, 264, 403, 404), Id::MarkButton, strip, 1);
    place(button("TBtn3", 120, 264, 405, 406), Id::TargetButton, strip, 1);
    place(button("TBtn4", 180, 264, 407, 408), Id::MenuButton, strip, 1);
}

void DashboardLayout::addSkyViews() {
    BitmapPanel* left =
        place(bitmapPanel(skin::kSkyView, "Sky View", 0, 150), Id::SkyViewLeft, nullptr, 0);
    place(skyView(*sources_.snapshot, "Sats1", 10, 157), 0, left, 0);
    BitmapPanel* right =
        place(bitmapPanel(skin::kSkyView, "Sky View", 120, 150), Id::SkyViewRight, nullptr, 1);
    place(skyView(*sources_.snapshot, "Sats2", 130, 157), 0, right, 1);
}

void DashboardLayout::addCourseDial() {
    auto container = std::make_unique<ContainerPanel>();
    container->name = "Container 1";
    container_ = place(std::move(container), 0, nullptr, 1);

    BitmapPanel* course =
        place(bitmapPanel(skin::kCourseDial, "Course", 0, 0), Id::CourseDial, nullptr, 1);
    auto arrow = std::make_unique<CourseDialArrow>();
    arrow->init(*sources_.snapshot, 121, 106, "Course arrow");
    place(std::move(arrow), 0, course, 1);

    auto lamp = std::make_unique<StateLamp>();
    initReceiverLamp(*lamp, *sources_.snapshot, 66, 128);
    lamp->name = "Antenna lamp";
    place(std::move(lamp), 0, container_, 1);
    place(button("Quit button", 220, 5, skin::kQuit, skin::kQuit), Id::QuitButton, container_, 1);
}

void DashboardLayout::addSpeedDial() {
    BitmapPanel* speed =
        place(bitmapPanel(skin::kSpeedDial, "Speed", 0, 0), Id::SpeedDial, nullptr, 0);
    auto arrow = std::make_unique<SpeedDialArrow>();
    arrow->init(*sources_.snapshot, 121, 106, "Speed arrow");
    place(std::move(arrow), 0, speed, 0);
}

void DashboardLayout::addReadouts() {
    struct Readout {
        const char* name;
        int kind;
        int id;
        int left;  // the read-outs of the left value menu sit at (3, 116), the right at (208, 116)
    };
    static constexpr Readout kReadouts[] = {
        {"Speed", 1, Id::SpeedReadout, 3},
        {"Heading", 2, Id::HeadingReadout, 208},
        {"Bearing", 3, Id::BearingReadout, 3},
        {"Alt", 5, Id::AltitudeReadout, 3},
        {"Accuracy", 6, Id::AccuracyReadout, 3},
        {"PDOP", 7, Id::PdopReadout, 208},
        {"Nsat", 8, Id::SatellitesReadout, 208},
        {"Battery", 9, Id::BatteryReadout, 208},
        {"Trip", ValueKind::TripDistance, Id::TripReadout, 3},
        {"Odo", ValueKind::Odometer, Id::OdometerReadout, 3},
        {"Moving", ValueKind::MovingTime, Id::MovingTimeReadout, 3},
        {"Avg", ValueKind::AverageSpeed, Id::AverageSpeedReadout, 208},
        {"Max", ValueKind::MaxSpeed, Id::MaxSpeedReadout, 208},
        {"ETA", ValueKind::Arrival, Id::ArrivalReadout, 208},
        {"XTE", ValueKind::CrossTrack, Id::CrossTrackReadout, 3},
    };
    for (const Readout& r : kReadouts) {
        auto panel = std::make_unique<BoundNumberPanel>();
        panel->init(*sources_.snapshot, *sources_.units, r.kind, glyphIds(), r.name);
        panel->setBatteryReader(sources_.battery);
        panel->setTripSources(sources_.trip, sources_.clock);
        panel->moveTo(r.left, 116);
        BoundNumberPanel* added = place(std::move(panel), r.id, container_, 1);
        if (r.id != Id::SpeedReadout && r.id != Id::HeadingReadout) {
            added->setVisible(0);
        }
    }

    auto left = makeSelector(
        {"Val menu 1", {5, 102, 21, 118}, {5, 117, 21, 133}, 80, 100, ElementGroup::ValueSelector});
    for (auto [label, id] : {std::pair{"Bearing", Id::BearingReadout},
                             {"Altitude", Id::AltitudeReadout},
                             {"Speed", Id::SpeedReadout},
                             {"Accuracy", Id::AccuracyReadout},
                             {"Trip", Id::TripReadout},
                             {"Odo", Id::OdometerReadout},
                             {"Moving", Id::MovingTimeReadout},
                             {"XTE", Id::CrossTrackReadout}}) {
        left->addItem(label, screen_.byId(id, 1));
    }
    left->current = screen_.byId(Id::SpeedReadout, 1);
    place(std::move(left), Id::ValueMenuLeft, container_, 1);

    auto right = makeSelector({"Val menu 2",
                               {220, 102, 236, 118},
                               {210, 118, 226, 134},
                               80,
                               100,
                               ElementGroup::ValueSelector});
    right->opensLeft = 1;
    for (auto [label, id] : {std::pair{"Heading", Id::HeadingReadout},
                             {"PDOP", Id::PdopReadout},
                             {"N Sats", Id::SatellitesReadout},
                             {"Battery %", Id::BatteryReadout},
                             {"Avg", Id::AverageSpeedReadout},
                             {"Max", Id::MaxSpeedReadout},
                             {"ETA", Id::ArrivalReadout}}) {
        right->addItem(label, screen_.byId(id, 1));
    }
    right->current = screen_.byId(Id::HeadingReadout, 1);
    place(std::move(right), Id::ValueMenuRight, container_, 1);
}

void DashboardLayout::addTextPanels() {
    const struct {
        int bitmap;
        int id;
        int left;
        int shown;
    } destinations[] = {{skin::kDestinationLeft, Id::DestinationLeft, 0, 1},
                        {skin::kDestinationRight, Id::DestinationRight, 120, 0}};
    for (const auto& d : destinations) {
        auto panel = std::make_unique<DestinationPanel>();
        panel->init(sources_.snapshot, sources_.units, sources_.clock, d.bitmap, "Destination");
        panel->moveTo(d.left, 150);
        place(std::move(panel), d.id, nullptr, d.shown);
    }
    // Placed where their selector shows them once chosen.
    for (auto [bitmap, id] : {std::pair{skin::kPositionLeft, Id::PositionLeft},
                              {skin::kPositionRight, Id::PositionRight}}) {
        auto panel = std::make_unique<PositionPanel>();
        panel->init(bitmap, sources_.snapshot, sources_.units);
        place(std::move(panel), id, nullptr, 0);
    }
}

void DashboardLayout::addTrackPanel() {
    auto panel = std::make_unique<BitmapPanel>();
    panel->initPlain(240, 264, rgb(230, 230, 230), "Track Panel");
    panel->grid = 1;
    BitmapPanel* track = place(std::move(panel), Id::TrackPanel, nullptr, 0);

    auto compass = needle(*sources_.snapshot, "Track compass", 37, 37, 30);
    compass->baseWidth = 16;
    compass->length = 28;
    BoundCompassNeedle* mapCompass = place(std::move(compass), Id::TrackCompass, track, 0);
    auto map = std::make_unique<TrackView>(*sources_.settings);
    map->load();
    map->init(sources_.track, sources_.pushpins, *sources_.units, wgs84(), skin::kMarker, "Track");
    map->setSource(sources_.snapshot, sources_.storedPosition);
    // The map's compass shows north where the map has it: up when north-up.
    mapCompass->followUpDirection([view = map.get()] { return view->upDirection(); });
    place(std::move(map), Id::TrackView, track, 0);
}

void DashboardLayout::addPanelSelectors() {
    auto top = makeSelector(
        {"Menu 1", {5, 5, 25, 25}, {0, 0, 240, 150}, 70, 100, ElementGroup::PanelSelector});
    for (int id : {Id::CourseDial, Id::SpeedDial}) {
        SkinElement* item = screen_.byId(id, 1);
        top->addItem(item->name, item);
    }
    place(std::move(top), Id::MenuTop, nullptr, 1);

    auto left = makeSelector(
        {"Menu L", {5, 155, 25, 175}, {0, 150, 120, 264}, 95, 100, ElementGroup::PanelSelector});
    for (int id : {Id::CompassLeft, Id::DestinationLeft, Id::SkyViewLeft, Id::PositionLeft}) {
        SkinElement* item = screen_.byId(id, 1);
        left->addItem(item->name, item);
    }
    place(std::move(left), Id::MenuLeft, nullptr, 1);

    auto right = makeSelector({"Menu R",
                               {125, 155, 145, 175},
                               {120, 150, 240, 264},
                               95,
                               90,
                               ElementGroup::PanelSelector});
    for (int id : {Id::CompassRight, Id::DestinationRight, Id::SkyViewRight, Id::PositionRight}) {
        SkinElement* item = screen_.byId(id, 1);
        right->addItem(item->name, item);
    }
    place(std::move(right), Id::MenuRight, nullptr, 1);
}

namespace {

// Map mode hides the panels, panel selectors and the Options menu, but not
// the button strip. "Container 1" groups the lamp, the Quit button and the
// read-outs, which stay: it draws nothing itself.
bool hiddenInMapMode(const SkinElement& e) {
    if (e.id == Id::LowPanel || dynamic_cast<const ContainerPanel*>(&e)) {
        return false;
    }
    return e.group == ElementGroup::Panel || e.group == ElementGroup::PanelSelector ||
           e.group == ElementGroup::PopupMenu;
}

// Gives a button of the strip its pictures; the pressed one's id follows the
// normal one's.
void setButtonBitmaps(SkinScreen& screen, int id, int normalBitmap) {
    if (auto* button = dynamic_cast<PushButton*>(screen.byId(id, 1))) {
        button->setBitmaps(normalBitmap, normalBitmap + 1);
    }
}

}  // namespace

void enterMapMode(SkinScreen& screen) {
    screen.mapMode = 1;
    screen.hiddenByMode.clear();
    for (const auto& e : screen.elements()) {
        if (e->visible && hiddenInMapMode(*e)) {
            e->setVisible(0);
            screen.hiddenByMode.push_back(e->listIndex);
        }
    }
    if (SkinElement* track = screen.byId(Id::TrackPanel, 1)) {
        track->setVisible(1);
    }
    setButtonBitmaps(screen, Id::MarkButton, skin::kButtonZoomIn);
    setButtonBitmaps(screen, Id::TargetButton, skin::kButtonZoomOut);
    screen.markAllDirty();
}

void leaveMapMode(SkinScreen& screen) {
    screen.mapMode = 0;
    if (SkinElement* track = screen.byId(Id::TrackPanel, 1)) {
        track->setVisible(0);
    }
    for (int index : screen.hiddenByMode) {
        screen.elements()[static_cast<std::size_t>(index)]->setVisible(1);
    }
    screen.hiddenByMode.clear();
    setButtonBitmaps(screen, Id::MarkButton, skin::kButtonMark);
    setButtonBitmaps(screen, Id::TargetButton, skin::kButtonGoTo);
    screen.markAllDirty();
}

}  // namespace wp2
