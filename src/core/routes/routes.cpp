// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/routes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <new>

#include "core/base/atomic_file.h"
#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/base/utf.h"
#include "core/gpx/gpx_reader.h"
#include "core/gpx/gpx_writer.h"
#include "core/gpx/track_gpx.h"
#include "core/nav/angles.h"
#include "core/waypoints/pushpin_gpx.h"
#include "core/waypoints/pushpin_icon_names.h"

namespace wp2 {

namespace {

// Collects the <rte> elements of a GPX file, each with its points.
class RouteCollector final : public GpxHandler {
public:
    std::vector<Route> routes;

    void pieceStart(GpxKind kind) override {
        if (kind == GpxKind::Route) {
            routes.emplace_back();
            routes.back().name = cformat("RTE%03zu", routes.size());
        }
    }
    void pieceName(GpxKind kind, const std::string& name) override {
        if (kind == GpxKind::Route && !routes.empty() && !name.empty()) {
            routes.back().name = wellFormedUtf8(name, kGpxPushpinTextLimit);
        }
    }
    std::string point(GpxKind kind, const GpxPoint& p) override {
        if (kind != GpxKind::Route || routes.empty()) {
            return {};
        }
        std::vector<RoutePoint>& points = routes.back().points;
        RoutePoint& r = points.emplace_back();
        r.name = p.name.empty() ? cformat("RPT%03zu", points.size())
                                : wellFormedUtf8(p.name, kGpxPushpinTextLimit);
        r.latitude = p.latitude * kDegToRad;
        r.longitude = p.longitude * kDegToRad;
        if (!p.symbol.empty()) {
            r.icon = pushpinIconForSymbol(p.symbol);
        }
        return {};
    }
};

Result<> badIndex(std::string_view what, int index) {
    return fail(std::string(what), cformat("there is no route %d", index + 1));
}

}  // namespace

std::string routesGpx(const std::vector<const Route*>& routes) {
    std::string out;
    GpxWriter writer([&out](const char* data, std::size_t size) {
        out.append(data, size);
        return true;
    });
    writer.begin();
    GpxPoint w;
    for (const Route* route : routes) {
        writer.beginRoute(route->name);
        for (const RoutePoint& p : route->points) {
            w.latitude = gpxDegrees(p.latitude);
            w.longitude = gpxDegrees(p.longitude);
            w.name = p.name;
            w.symbol = p.icon ? std::string(pushpinIconName(*p.icon)) : std::string();
            writer.routePoint(w);
        }
        writer.endRoute();
    }
    writer.finish();
    return out;
}

const Route* Routes::find(std::string_view name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : &routes_[static_cast<std::size_t>(i)];
}

int Routes::indexOf(std::string_view name) const {
    const auto it = std::find_if(routes_.begin(), routes_.end(),
                                 [name](const Route& r) { return r.name == name; });
    return it == routes_.end() ? -1 : static_cast<int>(it - routes_.begin());
}

Result<> Routes::checkIndex(int route, std::string_view what) const {
    if (route < 0 || route >= count()) {
        return badIndex(what, route);
    }
    return {};
}

Result<> Routes::checkName(const std::string& name, int except) const {
    if (name.empty()) {
        return fail("name the route", "a route needs a name");
    }
    const int other = indexOf(name);
    if (other >= 0 && other != except) {
        return fail("name the route " + name, "another route has that name");
    }
    return {};
}

std::string Routes::uniqueName(const std::string& name) const {
    std::string unique = name;
    for (int n = 2; indexOf(unique) >= 0; ++n) {
        unique = cformat("%s (%d)", name.c_str(), n);
    }
    return unique;
}

Result<> Routes::add(Route route) {
    if (auto ok = checkName(route.name, -1); !ok) {
        return ok;
    }
    routes_.push_back(std::move(route));
    return {};
}

Result<> Routes::rename(int route, std::string name) {
    if (auto ok = checkIndex(route, "rename the route"); !ok) {
        return ok;
    }
    if (auto ok = checkName(name, route); !ok) {
        return ok;
    }
    routes_[static_cast<std::size_t>(route)].name = std::move(name);
    return {};
}

Result<> Routes::addPoint(int route, RoutePoint point, int before) {
    if (auto ok = checkIndex(route, "add a point"); !ok) {
        return ok;
    }
    std::vector<RoutePoint>& points = routes_[static_cast<std::size_t>(route)].points;
    if (before > static_cast<int>(points.size())) {
        return fail("add a point", cformat("the route has %zu points", points.size()));
    }
    points.insert(before < 0 ? points.end() : points.begin() + before, std::move(point));
    return {};
}

Result<> Routes::movePoint(int route, int point, int step) {
    if (auto ok = checkIndex(route, "move the point"); !ok) {
        return ok;
    }
    std::vector<RoutePoint>& points = routes_[static_cast<std::size_t>(route)].points;
    const int to = point + step;
    const int n = static_cast<int>(points.size());
    if (point < 0 || point >= n || to < 0 || to >= n || (step != 1 && step != -1)) {
        return fail("move the point", step < 0 ? "it is the first" : "it is the last");
    }
    std::swap(points[static_cast<std::size_t>(point)], points[static_cast<std::size_t>(to)]);
    return {};
}

Result<> Routes::reverse(int route) {
    if (auto ok = checkIndex(route, "reverse the route"); !ok) {
        return ok;
    }
    std::vector<RoutePoint>& points = routes_[static_cast<std::size_t>(route)].points;
    std::reverse(points.begin(), points.end());
    return {};
}

Result<> Routes::remove(int route) {
    if (auto ok = checkIndex(route, "delete the route"); !ok) {
        return ok;
    }
    routes_.erase(routes_.begin() + route);
    return {};
}

Result<> Routes::removePoint(int route, int point) {
    if (auto ok = checkIndex(route, "delete the point"); !ok) {
        return ok;
    }
    std::vector<RoutePoint>& points = routes_[static_cast<std::size_t>(route)].points;
    if (point < 0 || point >= static_cast<int>(points.size())) {
        return fail("delete the point", cformat("there is no point %d", point + 1));
    }
    points.erase(points.begin() + point);
    return {};
}

std::string Routes::defaultFilePath() {
    return Paths::map(kRouteFileName);
}

RouteLoadResult Routes::load() {
    const std::string path = defaultFilePath();
    RouteLoadResult result = loadFile(path);
    if (!result.opened && !result.problem.empty()) {
        protectedFile_ = path;  // there, but not readable: not to be replaced by nothing
    } else if (result.opened && !result.clean) {
        const Result<std::string> kept = keepAside(path);
        if (kept) {
            result.keptAs = *kept;
        } else {
            protectedFile_ = path;
            result.notMovedReason = kept.error().reason;
        }
    }
    return result;
}

RouteLoadResult Routes::loadFile(const std::string& path) {
    RouteLoadResult result;
    routes_.clear();
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        if (errno != ENOENT) {
            result.problem = systemErrorText(errno);
        }
        return result;
    }
    result.opened = true;
    RouteCollector collector;
    const GpxReadResult read = readGpxFile(path, collector);
    result.clean = read.ok && read.refused == 0;
    if (!read.ok) {
        result.problem = read.errorText();
    } else if (read.refused > 0) {
        result.problem =
            cformat("line %d: %s", read.firstRefusedLine, read.firstRefusedReason.c_str());
    }
    // The file's names are unique when this program wrote it; one edited
    // elsewhere may repeat them.
    for (Route& r : collector.routes) {
        r.name = uniqueName(r.name);
        routes_.push_back(std::move(r));
    }
    result.routes = count();
    return result;
}

Result<> Routes::save() {
    return saveFile(defaultFilePath());
}

Result<> Routes::saveFile(const std::string& path) {
    const std::string what = "write " + path;
    if (!protectedFile_.empty() && path == protectedFile_) {
        return fail(what, "the damaged file is kept as it is");
    }
    const std::filesystem::path target(path);
    if (target.has_parent_path()) {
        Paths::makeDirs(target.parent_path().string());
    }
    return exportGpx(path);
}

Result<int> Routes::importGpx(const std::string& path) {
    RouteCollector collector;
    const GpxReadResult read = readGpxFile(path, collector);
    if (!read.ok) {
        return fail("import " + path, read.errorText());
    }
    int added = 0;
    for (Route& r : collector.routes) {
        if (r.points.empty()) {
            continue;
        }
        r.name = uniqueName(r.name);
        routes_.push_back(std::move(r));
        ++added;
    }
    return added;
}

Result<> Routes::exportGpx(const std::string& path, const std::vector<int>& which) const {
    std::vector<const Route*> chosen;
    for (int i : which) {
        if (auto ok = checkIndex(i, "export the route"); !ok) {
            return ok;
        }
        chosen.push_back(&routes_[static_cast<std::size_t>(i)]);
    }
    if (which.empty()) {
        for (const Route& r : routes_) {
            chosen.push_back(&r);
        }
    }
    std::vector<std::uint8_t> bytes;
    try {
        const std::string text = routesGpx(chosen);
        bytes.assign(text.begin(), text.end());
    } catch (const std::bad_alloc&) {
        return fail("write " + path, "not enough memory");
    }
    if (fileHolds(path, bytes)) {
        return {};
    }
    return replaceFileAtomically(path, bytes);
}

}  // namespace wp2
