// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal dialog the program opens from its start-up and its dashboard.
// The dashboard runs each between its suspend and resume. QtDialogs opens the
// real dialogs; HeadlessDialogs never opens anything.

#include <optional>
#include <string>

namespace wp2 {

class Pushpins;
class RouteNavigator;
class Routes;
class RouteSettings;
class GpsLink;
class SoundSettings;
class TrackLog;
class TrackPoint;
class TrackView;
class UnitFormatter;

// What the "Go to" choice asked for.
struct GoToChoice {
    enum class Action { Cancel, Pushpin, Route, Next, Previous, Stop };
    Action action = Action::Pushpin;
    int route = -1;  // Route: the route's index and its starting point
    int start = 0;
};

class AppDialogs {
public:
    virtual ~AppDialogs() = default;

    // Start-up, no receiver set up yet or emulation asked for: the first-run
    // wizard, working on the receiver link (none: no link). Returns
    // the start mode: 0 live, 1 emulation, 2 set-up skipped.
    virtual int firstRunSetup(int emu, GpsLink* link) = 0;

    // "TBtn2": the new-point dialog for a pushpin at `fix`. True when it
    // ended with OK (the dialog added the pushpin at index 0).
    virtual bool newPoint(Pushpins& pushpins, const TrackPoint& fix) = 0;
    // "TBtn3": the point selection dialog; it may change the target index.
    virtual void selectPoint(Pushpins& pushpins) = 0;

    // "TBtn3" once there are routes: a pushpin (then selectPoint), a route
    // and its starting point, or, while `following` one, its next or
    // previous point or the end of it. By default a pushpin, as without routes.
    virtual GoToChoice goTo(const Routes& routes, const RouteNavigator* following) {
        (void)routes, (void)following;
        return {};
    }

    // Options menu items.
    virtual void soundOptions(SoundSettings& settings) = 0;  // "Sound"
    virtual void pushpinList(Pushpins& pushpins) = 0;        // "WayPoints"
    // The same with the routes, which the pushpin list reaches and GPX
    // imports add to (by default only the pushpin list).
    virtual void pushpinsAndRoutes(Pushpins& pushpins, Routes& routes) {
        (void)routes;
        pushpinList(pushpins);
    }
    // "Sound" with the arrival and off-course alarms' settings (by default
    // only the sounds).
    virtual void soundAndAlarmOptions(SoundSettings& sounds, RouteSettings& alarms) {
        (void)alarms;
        soundOptions(sounds);
    }
    // "GPS": the GPS Setup dialog on the receiver link (none: no link); OK
    // and Cancel leave the link running on the chosen settings.
    virtual void gpsSetup(GpsLink* link) = 0;
    // The miscellaneous options object, made when the dashboard builds its
    // Options menu: it gives the formatter the stored unit system.
    virtual void prepareMiscOptions(UnitFormatter& units) = 0;
    // "Misc.": true on OK; the formatter then has the chosen unit system.
    virtual bool miscOptions(UnitFormatter& units) = 0;

    // Map mode "TBtn4": the track options dialog; the map takes the switches.
    // The track options dialog; a new base map source (empty: none) when OK
    // changed the one given.
    virtual std::optional<std::string> trackOptions(TrackView& map, TrackLog& track,
                                                    const std::string& baseMap) = 0;
};

}  // namespace wp2
