// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The elements of the dashboard, in the order they are added to the screen
// (which decides drawing order within a layer and the order touches are
// offered), with their ids, layers, places and visibility at start.
//
// The screen is divided into the top area (0, 0, 240, 150) holding one big
// dial, two lower areas (0, 150, 120, 264) and (120, 150, 240, 264) holding
// one panel each, and the button strip (0, 264, 240, 320).

#include <functional>
#include <memory>

#include "core/base/services.h"
#include "ui/number_panel.h"

namespace wp2 {

class Clock;
class Pushpins;
class NavSnapshot;
class SkinScreen;
class TrackLog;
class TripComputer;
class UnitFormatter;

// What the bound elements read; all must outlive the screen.
struct LayoutSources {
    const NavSnapshot* snapshot = nullptr;
    const UnitFormatter* units = nullptr;
    const Pushpins* pushpins = nullptr;
    const Clock* clock = nullptr;
    const TrackLog* track = nullptr;     // the track the map draws (may be none)
    const TripComputer* trip = nullptr;  // for the trip read-outs (none: dashes)
    // The stored last position the map shows without a fix; false when none.
    std::function<bool(double& latitude, double& longitude)> storedPosition;
    // The machine's battery charge (none: the battery read-out shows dashes).
    BoundNumberPanel::BatteryReader battery;
    const SettingsServices* settings = nullptr;  // the map's settings
};

class BitmapPanel;
class SkinElement;

class DashboardLayout {
public:
    DashboardLayout(SkinScreen& screen, const LayoutSources& sources)
        : screen_(screen), sources_(sources) {}

    // Adds every element of the dashboard to the screen.
    void build();

private:
    // Gives the element its id, adds it to the screen and to its parent panel
    // (if any), then sets its visibility; a child shows with its parent.
    template <class T>
    T* place(std::unique_ptr<T> element, int id, BitmapPanel* parent, int shown);

    void addOptionsMenu();
    void addCompasses();
    void addButtonStrip();
    void addSkyViews();
    void addCourseDial();
    void addSpeedDial();
    void addReadouts();
    void addTextPanels();
    void addTrackPanel();
    void addPanelSelectors();

    SkinScreen& screen_;
    LayoutSources sources_;
    BitmapPanel* container_ = nullptr;  // "Container 1": the read-outs, lamp and Quit button
};

// Map mode on a built dashboard: the panels, panel selectors and the Options
// menu are hidden (their list indices kept in the screen's hiddenByMode), the
// button strip, lamp, Quit button and read-outs stay, the track panel with
// the map is shown and "TBtn2" and "TBtn3" become the zoom buttons. Leaving
// shows again what was hidden. Both mark every visible element dirty.
void enterMapMode(SkinScreen& screen);
void leaveMapMode(SkinScreen& screen);

}  // namespace wp2
