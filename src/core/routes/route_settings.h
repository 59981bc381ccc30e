// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings of route navigation and its alarms, each saved at once when
// set (values of the settings key, like "LastTarg"):
//   "ArrivalRadius"   double, metres (30): when a point counts as reached
//   "ArrivalAlarm"    number, 0 off (0) / 1 on: sound and note on arrival
//   "OffCourseAlarm"  number, 0 off (0) / 1 on
//   "OffCourseDist"   double, metres (100): the off-course alarm's limit
//   "ActiveRoute"     text: the route being followed, "" for none
//   "RoutePoint"      number: its current point, 0-based (0)
// The alarms' sound files are the sound events "Arrival" ("SndArrival") and
// "Off Course" ("SndOffCourse") of the sound settings.

#include <optional>
#include <string>

#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"

namespace wp2 {

class SettingsStore;

inline constexpr const char* kArrivalRadiusSetting = "ArrivalRadius";
inline constexpr const char* kArrivalAlarmSetting = "ArrivalAlarm";
inline constexpr const char* kOffCourseAlarmSetting = "OffCourseAlarm";
inline constexpr const char* kOffCourseDistanceSetting = "OffCourseDist";
inline constexpr const char* kActiveRouteSetting = "ActiveRoute";
inline constexpr const char* kRoutePointSetting = "RoutePoint";

inline constexpr double kDefaultOffCourseDistance = 100.0;  // metres
// Radii and off-course limits are taken from 1 m to 10 km.
inline constexpr double kRouteDistanceMin = 1.0;
inline constexpr double kRouteDistanceMax = 10000.0;

// The route being followed and its current point.
struct ActiveRoute {
    std::string name;
    int point = 0;
    bool operator==(const ActiveRoute&) const = default;
};

class RouteSettings {
public:
    // Holds the defaults until load(); the store is the settings key the
    // route name is kept in. Both must outlive this object.
    RouteSettings(const SettingsServices& settings, SettingsStore& store);
    // Reads the values, writing the defaults of absent ones.
    void load();

    double arrivalRadius() const { return arrivalRadius_; }
    bool arrivalAlarm() const { return arrivalAlarm_ != 0; }
    bool offCourseAlarm() const { return offCourseAlarm_ != 0; }
    double offCourseDistance() const { return offCourseDistance_; }
    // False (and nothing is changed) for a distance outside 1 m .. 10 km.
    bool setArrivalRadius(double metres);
    bool setOffCourseDistance(double metres);
    void setArrivalAlarm(bool on) { arrivalAlarm_ = on ? 1 : 0; }
    void setOffCourseAlarm(bool on) { offCourseAlarm_ = on ? 1 : 0; }

    // Nothing when no route is followed.
    std::optional<ActiveRoute> activeRoute() const;
    // Remembers the route followed (a restart resumes it); nothing for none.
    void setActiveRoute(const std::optional<ActiveRoute>& route);

private:
    SettingsStore& store_;
    DoubleSetting arrivalRadius_;
    IntSetting arrivalAlarm_;
    IntSetting offCourseAlarm_;
    DoubleSetting offCourseDistance_;
    IntSetting routePoint_;
};

}  // namespace wp2
