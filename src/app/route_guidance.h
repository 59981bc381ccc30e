// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's route following and alarms: the route being followed (kept
// in the route settings, so a restart resumes it), the arrival alarm for the
// target (a single pushpin or the route's current point) and the off-course
// alarm, fed with each fix.
//
// The route settings are only made (and their defaults written) once the user
// works with routes or alarms, or when they are stored already: a user who
// never does finds the settings as they were.

#include <memory>
#include <optional>
#include <string>

#include "core/nav/geodesy.h"
#include "core/routes/route_alarms.h"
#include "core/routes/route_navigator.h"
#include "core/routes/route_settings.h"
#include "core/settings/settings_store.h"

namespace wp2 {

class Routes;

// What one fix brought.
struct GuidanceEvents {
    bool arrivalAlarm = false;    // the arrival alarm fired (and is on)
    bool offCourseAlarm = false;  // the off-course alarm fired (and is on)
    RouteStep step;               // the route advanced or finished
    std::string reached;          // the name of the point reached or passed
};

class RouteGuidance {
public:
    // settings and routes must outlive this object.
    RouteGuidance(const SettingsServices& settings, Routes& routes);
    ~RouteGuidance();

    Routes& routes() { return routes_; }
    // Made on first use (writing the defaults of absent values).
    RouteSettings& settings();

    // Start-up: follows the stored active route from its stored point when
    // that route is there.
    void resume();
    // Follows route `route` from point `start`; false for a route that is not
    // there or has no points.
    bool start(int route, int start);
    // Navigation to the route ends (a pushpin target was chosen, or it finished).
    void stop();
    // By hand; both keep the stored point up to date.
    RouteStep next();
    bool previous();
    // After the settings were edited: the radius and the off-course limit apply.
    void settingsChanged();

    // The route being followed; none when there is none.
    const RouteNavigator* navigator() const { return navigator_ ? &*navigator_ : nullptr; }

    // Each fix at `position`; `singleTarget` the pushpin navigated to when no
    // route is followed.
    GuidanceEvents update(const LatLonAlt& position, const std::optional<LatLonAlt>& singleTarget);

private:
    void remember();

    SettingsServices services_;
    Routes& routes_;
    SettingsStore store_;
    std::unique_ptr<RouteSettings> settings_;
    std::optional<RouteNavigator> navigator_;
    std::optional<ArrivalAlarm> arrival_;
    std::optional<LatLonAlt> arrivalTarget_;
    std::optional<OffCourseAlarm> offCourse_;
};

}  // namespace wp2
