// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A panel showing the navigation target: its icon and name, the distance to
// it, the time to go at the average speed, and the clock. Following a route,
// the line under the name gives the point's place in the route ("k/n") and the
// distance and time to go to the route's end.

#include <QFont>
#include <QImage>
#include <string>

#include "ui/bitmap_panel.h"

namespace wp2 {

class Clock;
class RouteNavigator;
class NavSnapshot;
class Surface;
class UnitFormatter;

class DestinationPanel : public BitmapPanel {
public:
    // Without a source only the clock is shown. The clock's calendar time is
    // shown in local time.
    void init(const NavSnapshot* source, const UnitFormatter* units, const Clock* clock,
              int bitmapId, const std::string& panelName);

    // A target with its name and the bitmap of its icon (0 for none).
    void setTarget(const std::string& targetName, int iconBitmapId);
    void clearTarget();
    // The route being followed (none: a single target); it must stay valid
    // until it is replaced.
    void setRoute(const RouteNavigator* route);
    // A short note (an arrival) shown in place of the name for `frames` frames.
    void showNote(const std::string& text, std::uint32_t frames);

    int tick(std::uint32_t frame) override;
    // Until the note's time is up.
    bool animating() const override { return !note.empty(); }
    int update(std::uint32_t frame) override;
    void draw(DrawingSurfaces& surfaces) override;

    int hasTarget = 0;
    std::string targetName;
    int iconBitmapId = 0;
    std::string distanceText;
    std::string timeToGoText;
    std::string clockText;
    std::string routeText;  // "2/5 4.2 km 01:23"; "" without a route
    std::string note;
    std::uint32_t noteUntil = 0;
    QFont nameFont;
    QFont textFont;

private:
    // Brings the texts up to date; true when any of them changed.
    bool refreshTexts();
    // White text in the normal font, made smaller when it would not fit.
    static void drawFitted(Surface& frame, const Rect& r, const std::string& text);

    const NavSnapshot* source_ = nullptr;
    const UnitFormatter* units_ = nullptr;
    const Clock* clock_ = nullptr;
    const RouteNavigator* route_ = nullptr;
};

}  // namespace wp2
