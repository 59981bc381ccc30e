// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dashboard_screen.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "app/app_dialogs.h"
#include "app/route_guidance.h"
#include "app/screen_choices.h"
#include "app/screen_host.h"
#include "app/track_messages.h"
#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/base/shared_wake_timers.h"
#include "core/gps/emulation_source.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/gps/nav_snapshot.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "core/routes/routes.h"
#include "core/settings/settings_store.h"
#include "core/sound/event_sounds.h"
#include "core/track/trip_computer.h"
#include "core/waypoints/pushpin_messages.h"
#include "core/waypoints/pushpins.h"
#include "core/waypoints/target_navigation.h"
#include "dialogs/dialog_palette.h"
#include "messages/failed_save.h"
#include "messages/message_box.h"
#include "ui/base_map.h"
#include "ui/bitmap_source.h"
#include "ui/dashboard_ids.h"
#include "ui/dashboard_layout.h"
#include "ui/destination_panel.h"
#include "ui/frame_counter.h"
#include "ui/panel_selector.h"
#include "ui/popup_menu.h"
#include "ui/push_button.h"
#include "ui/track_view.h"

namespace wp2 {

namespace {

namespace Id = DashboardId;

constexpr std::uint32_t kRefreshFrames = 30;
constexpr std::uint32_t kFrontFrames = 90;
constexpr std::uint32_t kReopenFrames = 99;
// How long a note (an arrival) stays on the destination panels: about 5 s.
constexpr std::uint32_t kNoteFrames = 165;

// Options menu item codes.
constexpr int kItemSound = 1;
constexpr int kItemWayPoints = 2;
constexpr int kItemGps = 3;
constexpr int kItemMisc = 4;
constexpr int kItemResetTripA = 5;
constexpr int kItemResetTripB = 6;
constexpr int kItemNight = 7;
constexpr int kItemAutoNight = 8;

// "Auto" looks at the sun once a minute (frames of 30 ms).
constexpr std::uint32_t kPaletteFrames = 2000;

// The selectors whose choice "IOpt" keeps, in the order they are written.
constexpr int kChoiceSelectors[] = {Id::MenuTop, Id::MenuLeft, Id::MenuRight, Id::ValueMenuLeft,
                                    Id::ValueMenuRight};

// The last position stored with the link's warm-start data, which the map
// shows while there is no fix.
bool storedPosition(const GpsLink* link, double& latitude, double& longitude) {
    std::time_t fixTime = 0;
    std::time_t utc = 0;
    return link && link->getWarmStartData(latitude, longitude, fixTime, utc);
}

// The stored position, where "Auto" looks at the sun while there is no fix.
std::optional<NightMode::Position> storedPlace(const GpsLink* link) {
    double latitude = 0.0;
    double longitude = 0.0;
    if (!storedPosition(link, latitude, longitude)) {
        return std::nullopt;
    }
    return NightMode::Position{latitude, longitude};
}

}  // namespace

Palette startingPalette(Registry& registry, std::optional<Palette> forced, const GpsLink* link,
                        std::time_t now) {
    if (forced) {
        return *forced;
    }
    NightMode mode(registry);
    mode.load();
    return mode.paletteAt(storedPlace(link), now, Palette::Day);
}

namespace {

// Tells a destination panel about the navigation target.
class PanelTargetDisplay final : public TargetDisplay {
public:
    explicit PanelTargetDisplay(DestinationPanel& panel) : panel_(panel) {}
    void showTarget(const std::string& name, std::int32_t icon) override {
        panel_.setTarget(name, pushpinIconBitmapId(icon));
    }
    void showNoTarget() override { panel_.clearTarget(); }

private:
    DestinationPanel& panel_;
};

}  // namespace

DashboardScreen::DashboardScreen(ScreenHost& host, const DashboardServices& services,
                                 DrawingSurfaces& surfaces)
    : SkinScreen(surfaces, *services.boxes),
      host_(host),
      services_(services),
      dialogs_(*services.dialogs),
      pushpins_(*services.pushpins),
      ownRoutes_(services.routes ? nullptr : std::make_unique<Routes>()),
      routes_(services.routes ? *services.routes : *ownRoutes_),
      guidance_(std::make_unique<RouteGuidance>(*services.settings, routes_)),
      nightMode_(services.settings->registry) {}

namespace {

// Tells the user what a save of the pushpin file found (a file damaged
// meanwhile, kept aside) and, when it failed, why.
void tellPushpinSave(const SettingsServices& settings, MessageBoxes& boxes, Pushpins& pushpins,
                     const Result<>& saved) {
    if (const std::optional<PushpinLoadResult> damaged = pushpins.takeDamagedOnSave()) {
        showMessage(boxes, damagedPushpinFileText(Pushpins::defaultFilePath(), *damaged),
                    kApplicationCaption, MessageIcon::Exclamation);
    }
    if (!saved) {
        reportFailedSave(boxes, settings.diagnostics, "The pushpins", Pushpins::defaultFilePath(),
                         saved.error().reason);
    }
}

}  // namespace

DashboardScreen::~DashboardScreen() {
    // The link's track log outlives the trip computer it counts for.
    if (TrackLog* track = trip_ ? trackLog(*snapshot_) : nullptr) {
        track->setTripComputer(nullptr);
    }
}

void DashboardScreen::saveAtExit() {
    tellPushpinSave(*services_.settings, *services_.boxes, pushpins_, pushpins_.save());
    if (trip_) {
        trip_->save(*services_.settings);
    }
    if (emulation_) {
        finishTrackLog(*services_.settings, *services_.boxes, *emulation_->track());
    }
    if (auto* map = dynamic_cast<TrackView*>(byId(Id::TrackView, 1))) {
        services_.settings->diagnostics.traceFailure(map->save());
    }
}

template <class T>
T& DashboardScreen::element(int id) {
    SkinElement* found = byId(id, 1);
    T* typed = dynamic_cast<T*>(found);
    if (!typed) {
        // Only reachable when the layout and the ids disagree.
        lookupFailed(id);
        std::abort();
    }
    return *typed;
}

PopupMenu& DashboardScreen::optionsMenu() {
    return element<PopupMenu>(Id::OptionsMenu);
}

SwitchingPanelSelector& DashboardScreen::selector(int id) {
    return element<SwitchingPanelSelector>(id);
}

PushButton& DashboardScreen::pushButton(int id) {
    return element<PushButton>(id);
}

TrackView& DashboardScreen::trackView() {
    return element<TrackView>(Id::TrackView);
}

void DashboardScreen::buildScreen(int mode) {
    nightMode_.load();
    mode_ = mode;
    mapMode = 0;
    dialogs_.prepareMiscOptions(*services_.units);
    startDataSource();
    buildElements();
    eventSounds_ = std::make_unique<EventSounds>(*services_.sounds);
    eventSounds_->init(*services_.settings, services_.store, services_.units, snapshot_.get());
    for (const auto& e : elements()) {
        if (e->group == ElementGroup::PanelSelector) {
            static_cast<PanelSelector&>(*e).chooseInitialCurrent(*this);
        }
    }
    restoreChoices();
    std::string location;
    if (services_.mapSource) {
        location = *services_.mapSource;
    } else {
        location =
            SettingsStore(services_.settings->registry).readLongText(kBaseMapValue).value_or("");
    }
    useBaseMap(location);
    refreshSnapshot();
    target_->applyTarget();
    guidance_->resume();
    applyRoutePoint();
    applyPalette();
    markAllDirty();
    forgetUndrawnErasures();
}

// The snapshot and where it is filled from: the receiver link (live) or the
// emulation file.
void DashboardScreen::startDataSource() {
    snapshot_ = std::make_unique<NavSnapshot>();
    snapshot_->link = services_.link;
    snapshot_->ellipsoid = &wgs84();
    if (mode_ == ScreenMode::Live) {
        if (!(services_.ensureLinkOpen && services_.ensureLinkOpen(-1))) {
            // With why, when the port can say (no rights to the device, in use, missing).
            const SerialPort* port = services_.link ? services_.link->serialPort() : nullptr;
            const std::string problem = port ? port->openProblem() : std::string();
            const std::string text = "The GPS receiver could not be started.";
            showMessage(*services_.boxes, problem.empty() ? text : text + "\r\n\r\n" + problem, "",
                        MessageIcon::None);
        }
    } else if (mode_ == ScreenMode::Emulation) {
        emulation_ = std::make_unique<EmulationSource>(*snapshot_);
        if (!emulation_->open(EmulationSource::kDefaultFile)) {
            showMessage(*services_.boxes, "Cannot open the emulation data.", kApplicationCaption,
                        MessageIcon::None);
        }
        startTrackLog(*services_.settings, *services_.boxes, *emulation_->track());
    }
    target_ = std::make_unique<TargetNavigation>(pushpins_, *snapshot_, *services_.lastTarget);
    trip_ = std::make_unique<TripComputer>();
    trip_->load(*services_.settings);
    followTrackLog();
}

// The trip computer counts what the track log the dashboard shows records;
// the log changes when a receiver link is made later.
void DashboardScreen::followTrackLog() {
    TrackLog* track = trackLog(*snapshot_);
    if (track && track != tripTrack_) {
        track->setTripComputer(trip_.get());
    }
    tripTrack_ = track;
}

void DashboardScreen::useBaseMap(const std::string& location) {
    trackView().setBaseMap(nullptr);
    baseMap_.reset();
    baseMapSource_ = location;
    if (location.empty()) {
        return;
    }
    OpenedSource opened =
        services_.openMapSource ? services_.openMapSource(location) : openLocalMapSource(location);
    if (!opened.source) {
        showMessage(
            *services_.boxes,
            "The base map cannot be shown; the map goes on without it.\r\n\r\n" + opened.error,
            "Base map", MessageIcon::Exclamation);
        return;
    }
    const std::uint32_t megabytes =
        std::clamp<std::uint32_t>(SettingsStore(services_.settings->registry)
                                      .readNumber(kBaseMapCacheValue)
                                      .value_or(TileCache::kDefaultMemoryBytes >> 20),
                                  4, 1024);
    baseMap_ = std::make_unique<TileCache>(std::move(opened.source),
                                           static_cast<std::size_t>(megabytes) << 20);
    trackView().setBaseMap(baseMap_.get());
    // The quit button stays visible on the map.
    trackView().setBaseMapHoles({element<SkinElement>(Id::QuitButton).rect});
}

void DashboardScreen::chooseBaseMap(const std::string& location) {
    // A store that cannot be written tells the user itself.
    (void)SettingsStore(services_.settings->registry).writeLongText(kBaseMapValue, location);
    useBaseMap(location);
}

bool DashboardScreen::settleBaseMap(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (baseMap_ && trackView().visible && !trackView().baseMapComplete()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        baseMap_->waitIdle(left);
        if (!trackView().showArrivedTiles()) {
            return false;  // nothing more is coming
        }
        compose();
    }
    return true;
}

void DashboardScreen::buildElements() {
    LayoutSources sources;
    sources.snapshot = snapshot_.get();
    sources.units = services_.units;
    sources.pushpins = &pushpins_;
    sources.clock = services_.clock;
    sources.track = trackLog(*snapshot_);
    sources.trip = trip_.get();
    sources.storedPosition = [link = services_.link](double& latitude, double& longitude) {
        return storedPosition(link, latitude, longitude);
    };
    sources.battery = services_.battery;
    sources.settings = &*services_.settings;
    DashboardLayout(*this, sources).build();
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        targetDisplays_.push_back(
            std::make_unique<PanelTargetDisplay>(element<DestinationPanel>(id)));
        target_->addPanel(targetDisplays_.back().get());
    }
}

// Placing hidden sprites (the read-outs waiting in their value menus) left
// them with an erasure pending, although they never drew anything. Were it
// kept, the first frame composed after a full repaint would wipe the
// read-out shown in the same place.
void DashboardScreen::forgetUndrawnErasures() {
    for (const auto& e : elements()) {
        if (!e->visible) {
            e->erasePending = 0;
        }
    }
}

void DashboardScreen::refreshSnapshot(std::optional<std::uint32_t> frame) {
    followTrackLog();
    const Result<> refreshed =
        wp2::refreshSnapshot(*snapshot_, emulation_.get(), frame.value_or(currentFrame()));
    if (!refreshed) {
        showMessage(*services_.boxes, refreshed.error().reason, kApplicationCaption,
                    MessageIcon::None);
    }
}

std::uint32_t DashboardScreen::nextDueFrame(std::uint32_t frame) const {
    // The next multiple of `period` from frame on, as an offset; the 32-bit
    // counter wraps, so offsets are compared, never frame numbers.
    const auto untilMultiple = [frame](std::uint32_t period) {
        return (period - frame % period) % period;
    };
    std::uint32_t wait = std::min({untilMultiple(kRefreshFrames), untilMultiple(kFrontFrames),
                                   untilMultiple(kPaletteFrames)});
    // An open link needs no reopening: that frame is no reason to wake. (The
    // link closes only in its own refresh, which runs at a refresh frame.)
    const bool linkOpen = services_.link && services_.link->state().has(GpsStatusFlags::LinkOpen);
    if (mode_ == ScreenMode::Live && services_.ensureLinkOpen && !linkOpen) {
        wait = std::min(wait, untilMultiple(kReopenFrames));
    }
    if (eventSounds_->busy()) {
        // The quiet time ends on the first frame after quietUntil.
        wait = std::min(wait, eventSounds_->quietUntil() + 1 - frame);
    }
    return frame + wait;
}

void DashboardScreen::tick(std::uint32_t frame) {
    if (frame % kRefreshFrames == 0) {
        // The link's refresh, when due, decodes what came just before the
        // snapshot shows it.
        if (services_.sharedWakes) {
            services_.sharedWakes->runDue();
        }
        refreshSnapshot(frame);
        guide(frame);
    }
    eventSounds_->tick(frame);
    if (frame % kPaletteFrames == 0) {
        applyPalette();
    }
    tickAll(frame);
    if (frame % kFrontFrames == 0) {
        host_.keepInFront();
    }
    if (mode_ == ScreenMode::Live && frame % kReopenFrames == 0 && services_.ensureLinkOpen) {
        services_.ensureLinkOpen(-1);
    }
}

bool DashboardScreen::runAction(SkinElement& e) {
    if (e.id == Id::OptionsMenu) {
        PopupMenu& menu = static_cast<PopupMenu&>(e);
        if (menu.result == MenuResult::Chosen) {
            runOptionsItem(menu.chosenCode());
        }
        menu.reset();
        return true;
    }
    return mapMode ? mapAction(e.id) : dashboardAction(e.id);
}

bool DashboardScreen::dashboardAction(int id) {
    switch (id) {
        case Id::MapButton:
            enterMapMode();
            return true;
        case Id::MarkButton:
            runDialog([this] { addPushpinHere(); });
            return true;
        case Id::TargetButton:
            chooseTarget();
            return true;
        case Id::MenuButton: {
            PopupMenu& menu = optionsMenu();
            if (!releasedThisTouch(&menu)) {
                menu.openMenu();
            }
            return true;
        }
        default:
            return false;
    }
}

bool DashboardScreen::mapAction(int id) {
    switch (id) {
        case Id::MapButton:
            leaveMapMode();
            return true;
        case Id::MarkButton:
            trackView().zoomIn();
            return true;
        case Id::TargetButton:
            trackView().zoomOut();
            return true;
        case Id::MenuButton:
            if (TrackLog* track = trackLog(*snapshot_)) {
                runDialog([this, track] {
                    if (const std::optional<std::string> chosen =
                            dialogs_.trackOptions(trackView(), *track, baseMapSource_)) {
                        chooseBaseMap(*chosen);
                    }
                });
            }
            return true;
        default:
            return false;
    }
}

void DashboardScreen::runOptionsItem(int code) {
    switch (code) {
        case kItemSound:
            runDialog([this] {
                dialogs_.soundAndAlarmOptions(eventSounds_->settings(), guidance_->settings());
            });
            guidance_->settingsChanged();
            break;
        case kItemWayPoints: {
            const std::vector<Route> before = routes_.all();
            runDialog([this] { dialogs_.pushpinsAndRoutes(pushpins_, routes_); });
            target_->afterPushpinList();
            if (routes_.all() != before) {
                if (const Result<> saved = routes_.save(); !saved) {
                    reportFailedSave(*services_.boxes, services_.settings->diagnostics,
                                     "The routes", Routes::defaultFilePath(), saved.error().reason);
                }
            }
            break;
        }
        case kItemGps:
            runDialog([this] { dialogs_.gpsSetup(services_.link); });
            break;
        case kItemMisc: {
            bool ok = false;
            runDialog([&] { ok = dialogs_.miscOptions(*services_.units); });
            if (ok) {
                markAllDirty();
            }
            break;
        }
        case kItemResetTripA:
        case kItemResetTripB:
            trip_->reset(code == kItemResetTripA ? Trip::A : Trip::B);
            trip_->save(*services_.settings);
            markAllDirty();
            break;
        case kItemNight:
            services_.palette.reset();
            nightMode_.toggle(currentPalette());
            applyPalette();
            break;
        case kItemAutoNight:
            services_.palette.reset();
            nightMode_.chooseAuto();
            applyPalette();
            break;
        default:
            break;
    }
}

void DashboardScreen::applyPalette() {
    Palette wanted = Palette::Day;
    if (services_.palette) {
        wanted = *services_.palette;
    } else {
        const std::optional<NightMode::Position> where =
            snapshot_->hasFixValues()
                ? NightMode::Position{snapshot_->latitude, snapshot_->longitude}
                : storedPlace(services_.link);
        const std::time_t now = services_.clock ? services_.clock->now() : std::time(nullptr);
        wanted = nightMode_.paletteAt(where, now, currentPalette());
    }
    if (wanted != currentPalette()) {
        setCurrentPalette(wanted);
        applyDialogPalette(wanted);
        markAllDirty();
    }
}

void DashboardScreen::runDialog(const std::function<void()>& dialog) {
    suspend();
    dialog();
    resume();
}

void DashboardScreen::addPushpinHere() {
    const TrackPoint fix =
        pointFromPosition(snapshot_->latitude, snapshot_->longitude, snapshot_->altitude);
    if (dialogs_.newPoint(pushpins_, fix)) {
        tellPushpinSave(*services_.settings, *services_.boxes, pushpins_,
                        target_->pushpinAddedFromDashboard());
    }
}

void DashboardScreen::chooseTarget() {
    const auto choosePushpin = [this] {
        target_->chooseTarget(
            [this](Pushpins& pushpins) { runDialog([&] { dialogs_.selectPoint(pushpins); }); });
    };
    // Without routes the target button chooses a pushpin, as it always did.
    if (routes_.count() == 0 && !guidance_->navigator()) {
        choosePushpin();
        return;
    }
    GoToChoice choice;
    runDialog([&] { choice = dialogs_.goTo(routes_, guidance_->navigator()); });
    switch (choice.action) {
        case GoToChoice::Action::Pushpin:
            stopRoute();
            choosePushpin();
            break;
        case GoToChoice::Action::Route:
            startRoute(choice.route, choice.start);
            break;
        case GoToChoice::Action::Next:
            nextRoutePoint();
            break;
        case GoToChoice::Action::Previous:
            previousRoutePoint();
            break;
        case GoToChoice::Action::Stop:
            stopRoute();
            break;
        case GoToChoice::Action::Cancel:
            break;
    }
}

bool DashboardScreen::startRoute(int route, int start) {
    if (!guidance_->start(route, start)) {
        return false;
    }
    pushpins_.setTargetIndex(-1);
    target_->storeTarget();
    applyRoutePoint();
    return true;
}

void DashboardScreen::nextRoutePoint() {
    const RouteNavigator* nav = guidance_->navigator();
    if (!nav) {
        return;
    }
    const std::string name = nav->currentPoint() ? nav->currentPoint()->name : std::string();
    if (guidance_->next().kind == RouteStep::Finished) {
        finishRoute(name);
    } else {
        applyRoutePoint();
    }
}

void DashboardScreen::previousRoutePoint() {
    if (guidance_->previous()) {
        applyRoutePoint();
    }
}

void DashboardScreen::stopRoute() {
    if (!guidance_->navigator()) {
        return;
    }
    guidance_->stop();
    snapshot_->targetSet = 0;
    snapshot_->crossTrack.reset();
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        element<DestinationPanel>(id).setRoute(nullptr);
    }
    target_->applyTarget();
}

void DashboardScreen::finishRoute(const std::string& lastPoint) {
    stopRoute();
    showNote("Arrived at " + lastPoint + ". Route finished.");
}

void DashboardScreen::applyRoutePoint() {
    const RouteNavigator* nav = guidance_->navigator();
    const RoutePoint* point = nav ? nav->currentPoint() : nullptr;
    if (!point) {
        return;
    }
    GeoPoint target;
    target.latitude = point->latitude;
    target.longitude = point->longitude;
    snapshot_->setTarget(target);
    snapshot_->refreshTarget();
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        DestinationPanel& panel = element<DestinationPanel>(id);
        panel.setTarget(point->name, pushpinIconBitmapId(point->icon.value_or(0)));
        panel.setRoute(nav);
    }
}

void DashboardScreen::showNote(const std::string& text) {
    for (int id : {Id::DestinationLeft, Id::DestinationRight}) {
        element<DestinationPanel>(id).showNote(text, kNoteFrames);
    }
}

void DashboardScreen::guide(std::uint32_t frame) {
    NavSnapshot& s = *snapshot_;
    if (s.fixLevel < 3 || !isPosition(s.latitude, s.longitude)) {
        return;  // no fix
    }
    const LatLonAlt here{s.latitude, s.longitude, 0.0};
    const RouteNavigator* nav = guidance_->navigator();
    std::optional<LatLonAlt> single;
    std::string targetName;
    if (nav && nav->currentPoint()) {
        targetName = nav->currentPoint()->name;
    } else if (const Pushpin* p = pushpins_.at(pushpins_.targetIndex()); p && s.targetSet == 1) {
        single = p->position();
        targetName = p->name;
    }
    const GuidanceEvents events = guidance_->update(here, single);
    s.crossTrack = nav ? nav->crossTrack(here) : std::nullopt;
    if (events.offCourseAlarm) {
        eventSounds_->alarm(SoundEvent::OffCourse, frame);
        showNote("Off course");
    }
    if (events.arrivalAlarm) {
        eventSounds_->alarm(SoundEvent::Arrival, frame);
        showNote("Arrived at " + targetName);
    }
    if (events.step.kind == RouteStep::Advanced) {
        applyRoutePoint();
    } else if (events.step.kind == RouteStep::Finished) {
        finishRoute(events.reached);
    }
}

void DashboardScreen::enterMapMode() {
    wp2::enterMapMode(*this);
    trackView().centreOn(snapshot_->latitude, snapshot_->longitude);
}

void DashboardScreen::leaveMapMode() {
    wp2::leaveMapMode(*this);
    // Tiles asked for but not read yet are not wanted any more.
    if (baseMap_) {
        baseMap_->cancelQueued();
    }
}

void DashboardScreen::saveChoices() {
    std::vector<ScreenChoice> choices;
    for (int selectorId : kChoiceSelectors) {
        const SwitchingPanelSelector& s = selector(selectorId);
        if (!s.current) {
            continue;
        }
        if (s.current->id == 0) {
            showMessage(*services_.boxes,
                        cformat("Ss failed m=%d \n%s \n%d ", selectorId, s.current->name.c_str(),
                                s.current->listIndex),
                        "", MessageIcon::None);
            continue;
        }
        choices.emplace_back(selectorId, s.current->id);
    }
    (void)SettingsStore(services_.settings->registry)
        .writeLongText(kScreenChoicesValue, ScreenChoices::format(choices));
}

void DashboardScreen::restoreChoices() {
    const Result<std::string> text =
        SettingsStore(services_.settings->registry).readLongText(kScreenChoicesValue);
    if (!text) {
        return;
    }
    for (const ScreenChoice& c : ScreenChoices::parse(*text)) {
        auto* s = dynamic_cast<SwitchingPanelSelector*>(byId(c.first));
        SkinElement* shown = byId(c.second);
        if (s && shown) {
            s->switchTo(shown);
        }
    }
}

void DashboardScreen::suspend() {
    host_.stopTimer();
    host_.hideForDialog();
}

void DashboardScreen::resume() {
    // A quit while the dialog was up (a signal) ended the message loop; the
    // window stays down.
    if (quitting_) {
        return;
    }
    host_.startTimer();
    host_.showAfterDialog();
}

void DashboardScreen::quit() {
    quitting_ = true;
    saveChoices();
    suspend();
    host_.forceInputPanelDown();
    host_.endMessageLoop(0);
}

}  // namespace wp2
