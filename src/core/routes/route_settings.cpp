// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/route_settings.h"

#include <cmath>

#include "core/routes/route_navigator.h"
#include "core/settings/settings_store.h"

namespace wp2 {

namespace {

bool usableDistance(double metres) {
    return std::isfinite(metres) && metres >= kRouteDistanceMin && metres <= kRouteDistanceMax;
}

}  // namespace

RouteSettings::RouteSettings(const SettingsServices& settings, SettingsStore& store)
    : store_(store),
      arrivalRadius_(settings, kArrivalRadiusSetting, true, kDefaultArrivalRadius),
      arrivalAlarm_(settings, kArrivalAlarmSetting, true, 0),
      offCourseAlarm_(settings, kOffCourseAlarmSetting, true, 0),
      offCourseDistance_(settings, kOffCourseDistanceSetting, true, kDefaultOffCourseDistance),
      routePoint_(settings, kRoutePointSetting, true, 0) {}

void RouteSettings::load() {
    arrivalRadius_.load();
    arrivalAlarm_.load();
    offCourseAlarm_.load();
    offCourseDistance_.load();
    routePoint_.load();
    // A stored value no one could have set is read as the default.
    if (!usableDistance(arrivalRadius_)) {
        arrivalRadius_ = kDefaultArrivalRadius;
    }
    if (!usableDistance(offCourseDistance_)) {
        offCourseDistance_ = kDefaultOffCourseDistance;
    }
}

bool RouteSettings::setArrivalRadius(double metres) {
    if (!usableDistance(metres)) {
        return false;
    }
    arrivalRadius_ = metres;
    return true;
}

bool RouteSettings::setOffCourseDistance(double metres) {
    if (!usableDistance(metres)) {
        return false;
    }
    offCourseDistance_ = metres;
    return true;
}

std::optional<ActiveRoute> RouteSettings::activeRoute() const {
    const std::string name = store_.readText(kActiveRouteSetting).value_or("");
    if (name.empty()) {
        return std::nullopt;
    }
    return ActiveRoute{name, std::max(0, routePoint_.get())};
}

void RouteSettings::setActiveRoute(const std::optional<ActiveRoute>& route) {
    (void)store_.writeText(kActiveRouteSetting, route ? route->name : std::string());
    routePoint_ = route ? route->point : 0;
}

}  // namespace wp2
