// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The collection of routes and the route file "\My Documents\Routes.gpx"
// (GPX 1.1, one <rte> per route, <rtept> with lat, lon, name and sym), which
// other GPS programs read as it is. A route whose points were all removed is
// kept, as an <rte> without <rtept>, until points are added or it is deleted. Route names are
// unique in the collection; the operations keep them so and say what they refused.

#include <string>
#include <string_view>
#include <vector>

#include "core/base/result.h"
#include "core/routes/route.h"

namespace wp2 {

inline constexpr const char* kRouteFileName = "\\My Documents\\Routes.gpx";

// What reading the route file gave.
struct RouteLoadResult {
    // The file could be opened. When it is there but cannot be, `problem`
    // says why (a missing file is an empty collection) and saves never
    // overwrite it.
    bool opened = false;
    // Read to the end with every point taken. A file that is not (not
    // well-formed, cut short, points with unusable positions) is kept aside.
    bool clean = false;
    int routes = 0;       // routes read
    std::string problem;  // what is wrong, for the user ("line 12: ..."); "" when clean
    // Where the file that did not load cleanly was kept ("" when it could
    // not be moved; it is then never overwritten by a save), and why not.
    std::string keptAs;
    std::string notMovedReason;
};

class Routes {
public:
    const std::vector<Route>& all() const { return routes_; }
    int count() const { return static_cast<int>(routes_.size()); }
    // The route of that name; nothing when there is none.
    const Route* find(std::string_view name) const;
    // Its index, -1 when there is none.
    int indexOf(std::string_view name) const;

    // Appends a route. Refused: an empty name or one another route has.
    Result<> add(Route route);
    // Refused: a bad index, an empty name or one another route has.
    Result<> rename(int route, std::string name);
    // Appends a point to a route, or inserts it before index `before`.
    Result<> addPoint(int route, RoutePoint point, int before = -1);
    // Moves a point one place towards the start (step -1) or the end (+1).
    // Refused beyond either end.
    Result<> movePoint(int route, int point, int step);
    Result<> reverse(int route);
    Result<> remove(int route);
    Result<> removePoint(int route, int point);

    // The route file under the data root: kRouteFileName mapped by Paths.
    static std::string defaultFilePath();
    // Replaces the routes with those of the route file. A missing file is an
    // empty collection. A file that does not load cleanly is kept aside as
    // "Routes.gpx.bad" (never replacing an earlier kept copy) and the
    // routes read before the damage are kept; when it cannot be moved,
    // saves never overwrite it.
    RouteLoadResult load();
    RouteLoadResult loadFile(const std::string& path);
    // Writes every route to the route file atomically (the old file stays
    // whole when writing fails); an unchanged file is not written again.
    Result<> save();
    Result<> saveFile(const std::string& path);

    // Adds the routes (<rte>) of any GPX 1.0 or 1.1 file: a route without a
    // name is named "RTE" and its number in the file ("RTE002"), a point
    // without one "RPT" and its number in the route; a name another route
    // has gets " (2)", " (3)", ... Routes without usable points are left out.
    // Returns how many were added; a file that cannot be read whole adds
    // none.
    Result<int> importGpx(const std::string& path);
    // Writes the routes at the indices (all when none are given) to a GPX
    // 1.1 file, atomically.
    Result<> exportGpx(const std::string& path, const std::vector<int>& which = {}) const;

private:
    Result<> checkIndex(int route, std::string_view what) const;
    Result<> checkName(const std::string& name, int except) const;
    std::string uniqueName(const std::string& name) const;

    std::vector<Route> routes_;
    // A damaged route file that could not be kept aside: never written over.
    std::string protectedFile_;
};

// The GPX 1.1 document of the routes, as the route file and exports hold it.
std::string routesGpx(const std::vector<const Route*>& routes);

}  // namespace wp2
