// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool route: lists and shows the routes of the route file
// ("My Documents/Routes.gpx" under the data root), imports the routes of
// GPX files into it, exports them to GPX and deletes one.

#include <cstdio>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/nav/angles.h"
#include "core/routes/routes.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// Loads the route file; a missing one is an empty collection. A file that
// does not load cleanly is reported and left as it is: false.
bool loadRoutes(Routes& routes) {
    const std::string path = Routes::defaultFilePath();
    const RouteLoadResult loaded = routes.loadFile(path);
    if (!loaded.opened && !loaded.problem.empty()) {
        std::fprintf(stderr, "wayplot2-tool: cannot read %s: %s\n", path.c_str(),
                     loaded.problem.c_str());
        return false;
    }
    if (loaded.opened && !loaded.clean) {
        std::fprintf(stderr,
                     "wayplot2-tool: %s is damaged (%s): %d of its routes were read; the file "
                     "is left as it is\n",
                     path.c_str(), loaded.problem.c_str(), loaded.routes);
        return false;
    }
    return true;
}

bool saveRoutes(Routes& routes) {
    if (const Result<> saved = routes.save(); !saved) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", saved.error().text().c_str());
        return false;
    }
    return true;
}

// The route of that name, or a message and nothing.
const Route* named(const Routes& routes, const std::string& name) {
    const Route* route = routes.find(name);
    if (!route) {
        std::fprintf(stderr, "wayplot2-tool: there is no route named %s\n", name.c_str());
    }
    return route;
}

// NAME <tab> points <tab> length in metres, one route a line.
int listRoutes(const Routes& routes, bool clean) {
    for (const Route& r : routes.all()) {
        std::printf("%s\t%zu\t%.0f\n", r.name.c_str(), r.points.size(), routeLength(r));
    }
    return clean ? kExitOk : kExitFailure;
}

// k <tab> NAME <tab> latitude <tab> longitude, one point a line, k from 1.
int showRoute(const Routes& routes, const std::string& name) {
    const Route* route = named(routes, name);
    if (!route) {
        return kExitFailure;
    }
    int k = 0;
    for (const RoutePoint& p : route->points) {
        std::printf("%d\t%s\t%s\t%s\n", ++k, p.name.c_str(),
                    cformat("%.8lf", p.latitude * kRadToDeg).c_str(),
                    cformat("%.8lf", p.longitude * kRadToDeg).c_str());
    }
    return kExitOk;
}

int importRoutes(Routes& routes, const std::string& gpx) {
    const Result<int> added = routes.importGpx(gpx);
    if (!added) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", added.error().text().c_str());
        return kExitFailure;
    }
    if (*added > 0 && !saveRoutes(routes)) {
        return kExitFailure;
    }
    std::printf("%d routes added, %d in %s\n", *added, routes.count(),
                Routes::defaultFilePath().c_str());
    return kExitOk;
}

int exportRoutes(const Routes& routes, const std::string& gpx, const std::string* name) {
    std::vector<int> which;
    if (name) {
        if (!named(routes, *name)) {
            return kExitFailure;
        }
        which.push_back(routes.indexOf(*name));
    }
    if (const Result<> done = routes.exportGpx(gpx, which); !done) {
        std::fprintf(stderr, "wayplot2-tool: cannot %s\n", done.error().text().c_str());
        return kExitFailure;
    }
    std::printf("%zu routes exported to %s\n", name ? 1 : routes.all().size(), gpx.c_str());
    return kExitOk;
}

int deleteRoute(Routes& routes, const std::string& name) {
    if (!named(routes, name) || !routes.remove(routes.indexOf(name)) || !saveRoutes(routes)) {
        return kExitFailure;
    }
    std::printf("route %s deleted, %d left\n", name.c_str(), routes.count());
    return kExitOk;
}

}  // namespace

// A damaged file still lists and shows what could be read; the commands that
// change the file refuse it.
int runRouteList(const Invocation&) {
    Routes routes;
    const bool clean = loadRoutes(routes);
    return listRoutes(routes, clean);
}

int runRouteShow(const Invocation& call) {
    Routes routes;
    const bool clean = loadRoutes(routes);
    const int shown = showRoute(routes, call.arguments[0]);
    return clean ? shown : kExitFailure;
}

int runRouteImport(const Invocation& call) {
    Routes routes;
    return loadRoutes(routes) ? importRoutes(routes, call.arguments[0]) : kExitFailure;
}

int runRouteExport(const Invocation& call) {
    Routes routes;
    if (!loadRoutes(routes)) {
        return kExitFailure;
    }
    const std::vector<std::string>& args = call.arguments;
    return exportRoutes(routes, args[0], args.size() > 1 ? &args[1] : nullptr);
}

int runRouteDelete(const Invocation& call) {
    Routes routes;
    return loadRoutes(routes) ? deleteRoute(routes, call.arguments[0]) : kExitFailure;
}

}  // namespace wp2::tool
