// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Navigation to the target pushpin: which pushpin is the target (the
// collection's target index, remembered in "LastTarg"), handing it to the
// navigation snapshot, and telling the dashboard's destination panels. The
// snapshot's own refresh computes distance and bearing; the read-outs derived
// from them for the panels and the course dial are here too.

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/result.h"
#include "core/gps/nav_snapshot.h"
#include "core/settings/int_setting.h"
#include "core/waypoints/pushpins.h"

namespace wp2 {

inline constexpr const char* kLastTargetSetting = "LastTarg";

// What a destination panel of the dashboard is told.
class TargetDisplay {
public:
    virtual ~TargetDisplay() = default;
    // There is a target: its name and icon.
    virtual void showTarget(const std::string& name, std::int32_t icon) = 0;
    // There is none: the panel shows "Not selected".
    virtual void showNoTarget() = 0;
};

class TargetNavigation {
public:
    // lastTarget is the "LastTarg" setting (immediate); all three outlive this object.
    TargetNavigation(Pushpins& pushpins, NavSnapshot& snapshot, IntSetting& lastTarget);

    // The destination panels to tell (the dashboard has two).
    void addPanel(TargetDisplay* panel);

    // Start-up: the target index becomes "LastTarg" when that names a pushpin, else -1.
    void restoreTarget();
    // When the target index names a pushpin: the snapshot navigates to it and
    // the panels show it. Otherwise the panels show that there is none, and
    // the snapshot keeps whatever target it had.
    void applyTarget();
    // After the pushpin list closes: a target index that names no pushpin
    // ends navigation (targetSet 0); then applyTarget.
    void afterPushpinList();
    // Runs the point selection dialog (whatever it answers), applies the
    // target index and stores it in "LastTarg".
    void chooseTarget(const std::function<void(Pushpins&)>& runPointSelection);
    // After the dashboard's point dialog added a pushpin at index 0 and ended
    // with OK: the target moves up with the others, the collection is saved
    // and the target index stored. A save that failed is returned, its
    // reason the system's.
    Result<> pushpinAddedFromDashboard();
    // Writes the target index to "LastTarg" (at exit).
    void storeTarget();

private:
    Pushpins& pushpins_;
    NavSnapshot& snapshot_;
    IntSetting& lastTarget_;
    std::vector<TargetDisplay*> panels_;
};

// The time-to-go text "hh:mm" (hours modulo 24, minutes) of distance metres at
// averageSpeed metres per second; nothing (the panel keeps its text) when the
// average speed is 0.1 m/s or less.
std::optional<std::string> timeToGoText(double distance, double averageSpeed);
// The same from the snapshot's target distance and running average of speeds.
std::optional<std::string> timeToGoText(const NavSnapshot& snapshot);
// The local clock time "hh:mm" at which that time to go, counted from now,
// ends: the estimated time of arrival; nothing when there is no time to go.
std::optional<std::string> arrivalTimeText(const NavSnapshot& snapshot, std::time_t now);

// The course dial's target arrow, radians on the screen (straight ahead is
// up): course - bearing + pi/2, not normalised.
double targetArrowAngle(double course, double targetBearing);
double targetArrowAngle(const NavSnapshot& snapshot);

}  // namespace wp2
