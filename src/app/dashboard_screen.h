// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard: builds its elements, runs the actions of its buttons and
// menus, switches between dashboard mode and map mode, keeps the choice of
// shown panels in "IOpt", and does the per-tick duties of the screen.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/night_mode.h"
#include "core/base/services.h"
#include "core/maps/tile_source.h"
#include "ui/skin_screen.h"

namespace wp2 {

class AppDialogs;
class Clock;
class Pushpins;
class IntSetting;
class MessageBoxes;
class Registry;
class SettingsStore;
class EmulationSource;
class EventSounds;
class GpsLink;
class NavSnapshot;
class PopupMenu;
class SharedWakeTimers;
class PushButton;
class RouteGuidance;
class Routes;
class ScreenHost;
class SoundPlayer;
class UnitFormatter;
class SwitchingPanelSelector;
class TileCache;
class TargetDisplay;
class TargetNavigation;
class TrackLog;
class TrackView;
class TripComputer;

// Screen modes handed in by the application: the start mode of the first-run
// set-up, or 0 when it did not run.
namespace ScreenMode {
inline constexpr int Live = 0;
inline constexpr int Emulation = 1;
inline constexpr int Skipped = 2;
}  // namespace ScreenMode

// Starts the receiver link on a port (-1: the stored one) unless it is open;
// false when it could not be started.
using LinkStarter = std::function<bool(int port)>;

// What the dashboard works with; everything but the link and the link
// starter must be given and outlive the screen.
struct DashboardServices {
    AppDialogs* dialogs = nullptr;
    Pushpins* pushpins = nullptr;
    std::optional<SettingsServices> settings;
    MessageBoxes* boxes = nullptr;     // what the user is told
    IntSetting* lastTarget = nullptr;  // "LastTarg"
    SettingsStore* store = nullptr;    // the settings key (sound names)
    SoundPlayer* sounds = nullptr;
    UnitFormatter* units = nullptr;  // the read-outs' and dialogs' unit system
    const Clock* clock = nullptr;
    // The receiver link the snapshot follows and the GPS Setup dialog works on.
    GpsLink* link = nullptr;
    LinkStarter ensureLinkOpen;
    // The link's timers: while the dashboard's timer runs, they wait for its
    // refresh frames instead of waking the program by themselves.
    SharedWakeTimers* sharedWakes = nullptr;
    // The machine's battery charge for the battery read-out (none: dashes).
    std::function<std::optional<int>()> battery;
    // Opens a base map source by the "BaseMap" setting's kind of text (none:
    // files and folders only).
    std::function<OpenedSource(const std::string& location)> openMapSource;
    // The routes (none: the dashboard keeps an empty collection of its own).
    Routes* routes = nullptr;
    // The base map for this run only (--map-source), instead of the setting.
    std::optional<std::string> mapSource;
    // The palette for this run (--night), instead of the Options menu's choice.
    std::optional<Palette> palette;
};

// The setting naming the base map (a file, a folder or a server address) and
// the one holding the size of its memory cache in megabytes.
inline constexpr const char* kBaseMapValue = "BaseMap";
inline constexpr const char* kBaseMapCacheValue = "BaseMapCache";

// The palette the dashboard starts with: `forced` (--night), else the Options
// menu's choice in the registry, for "Auto" the sun at the last stored position at `now`.
Palette startingPalette(Registry& registry, std::optional<Palette> forced, const GpsLink* link,
                        std::time_t now);

class DashboardScreen : public SkinScreen {
public:
    // The elements draw on `surfaces`, which must outlive the screen.
    DashboardScreen(ScreenHost& host, const DashboardServices& services, DrawingSurfaces& surfaces);
    ~DashboardScreen() override;

    // The start-up sequence; called once by the main window.
    void buildScreen(int mode);
    // The saves at the program's exit: the pushpin file (a failure told to
    // the user), the trip meters, the emulation's track and the map's scale
    // step.
    void saveAtExit();
    // The screen's part of every timer tick.
    void tick(std::uint32_t frame);
    // While nothing animates (animating() is false): the first frame from
    // `frame` on at which tick() has work to do (a refresh, a duty that counts
    // frames, the end of a sound's quiet time). The frames before it change
    // nothing, so the window need not run them.
    std::uint32_t nextDueFrame(std::uint32_t frame) const;

    // Around every modal dialog opened from the dashboard.
    void suspend();
    void resume();
    // The orderly end of the program: "IOpt" saved, the window hidden, the
    // message loop ended.
    void quit() override;

    void enterMapMode();
    void leaveMapMode();

    // The navigation target: its hand-over to the snapshot and the panels.
    TargetNavigation& target() { return *target_; }
    // Route following: the route's current point is the navigation target.
    RouteGuidance& guidance() { return *guidance_; }
    // Follows route `route` from point `start` (false when it cannot be);
    // the pushpin target is given up.
    bool startRoute(int route, int start);
    // By hand ("Go to"): the next point (past the last the route ends), the
    // previous one, or the end of following the route.
    void nextRoutePoint();
    void previousRoutePoint();
    void stopRoute();

    void saveChoices();
    void restoreChoices();
    // Refreshes the snapshot for frame (the current one by default); a bad
    // line of the emulation file is told to the user.
    void refreshSnapshot(std::optional<std::uint32_t> frame = std::nullopt);

    int mode() const { return mode_; }
    NavSnapshot& snapshot() { return *snapshot_; }
    EventSounds& eventSounds() { return *eventSounds_; }
    TripComputer& trip() { return *trip_; }
    // The emulation file's source in emulation mode, none in live mode.
    EmulationSource* emulation() { return emulation_.get(); }
    PopupMenu& optionsMenu();
    SwitchingPanelSelector& selector(int id);
    PushButton& pushButton(int id);
    TrackView& trackView();

    // The base map under the track map: what it is read from (empty: none),
    // and its tiles (none when no base map is shown).
    const std::string& baseMapSource() const { return baseMapSource_; }
    TileCache* baseMap() { return baseMap_.get(); }
    // Shows the map from another source (empty: none) and keeps the choice
    // in the "BaseMap" setting. A source that cannot be read is reported
    // and the map goes on without a base map.
    void chooseBaseMap(const std::string& location);
    // Redraws the map until its tiles are all drawn or the time is up (for
    // a single picture of the screen); false when the time ran out.
    bool settleBaseMap(std::chrono::milliseconds timeout);

protected:
    bool runAction(SkinElement& element) override;

private:
    // A lookup of a fixed id of the dashboard that must succeed.
    template <class T>
    T& element(int id);
    void runDialog(const std::function<void()>& dialog);
    bool dashboardAction(int id);
    bool mapAction(int id);
    void runOptionsItem(int code);
    void addPushpinHere();
    void chooseTarget();
    // After each refresh: the arrival and off-course alarms and the route's
    // advance on the new fix.
    void guide(std::uint32_t frame);
    // The route's current point becomes the target of the snapshot and panels.
    void applyRoutePoint();
    void finishRoute(const std::string& lastPoint);
    // A short note on both destination panels.
    void showNote(const std::string& text);
    void startDataSource();
    void buildElements();
    void forgetUndrawnErasures();
    void useBaseMap(const std::string& location);
    void followTrackLog();
    // Shows the palette the choice asks for now; a change redraws everything.
    void applyPalette();

    ScreenHost& host_;
    DashboardServices services_;
    AppDialogs& dialogs_;
    Pushpins& pushpins_;
    int mode_ = ScreenMode::Live;
    bool quitting_ = false;
    std::unique_ptr<NavSnapshot> snapshot_;
    std::unique_ptr<EmulationSource> emulation_;
    std::unique_ptr<TargetNavigation> target_;
    std::unique_ptr<Routes> ownRoutes_;
    Routes& routes_;
    std::unique_ptr<RouteGuidance> guidance_;
    std::vector<std::unique_ptr<TargetDisplay>> targetDisplays_;
    std::unique_ptr<EventSounds> eventSounds_;
    std::unique_ptr<TripComputer> trip_;  // counts from the shown track log
    TrackLog* tripTrack_ = nullptr;       // the log it is attached to
    std::string baseMapSource_;
    std::unique_ptr<TileCache> baseMap_;
    NightMode nightMode_;
};

}  // namespace wp2
