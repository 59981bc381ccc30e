// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// replay --route ROUTE.gpx: follows the first route of a GPX file through a
// replayed log and prints "route: arrived K/N NAME at line L" at each point
// reached or passed (L the line as decode counts it) and "route: finished"
// after the last.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/gps/gps_decoder.h"
#include "core/routes/route_navigator.h"

namespace wp2::tool {

class RouteReplay final : public FixObserver {
public:
    // The first route of the file; nothing, and a message, when it holds none.
    static std::unique_ptr<RouteReplay> fromGpx(const std::string& path);

    void fixOffered(const TrackPoint& point, bool kept) override;
    void sentenceApplied(std::string_view line) override;

private:
    explicit RouteReplay(Route route) : navigator_(std::move(route)) {}

    RouteNavigator navigator_;
    std::optional<LatLonAlt> pending_;  // the fix of the sentence being applied
    long long lines_ = 0;
};

}  // namespace wp2::tool
