// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/route_replay.h"

#include <cstdio>

#include "core/routes/routes.h"

namespace wp2::tool {

std::unique_ptr<RouteReplay> RouteReplay::fromGpx(const std::string& path) {
    Routes routes;
    const Result<int> read = routes.importGpx(path);
    if (!read || routes.count() == 0) {
        std::fprintf(stderr, "wayplot2-tool: cannot follow a route of %s: %s\n", path.c_str(),
                     read ? "it holds none" : read.error().reason.c_str());
        return nullptr;
    }
    return std::unique_ptr<RouteReplay>(new RouteReplay(routes.all()[0]));
}

void RouteReplay::fixOffered(const TrackPoint& point, bool) {
    pending_ = point.position();
}

void RouteReplay::sentenceApplied(std::string_view) {
    ++lines_;
    if (!pending_) {
        return;
    }
    const RouteStep step = navigator_.update(*pending_);
    pending_.reset();
    if (step.kind != RouteStep::None) {
        const int n = navigator_.pointCount();
        const RoutePoint& p = navigator_.route().points[static_cast<std::size_t>(step.point)];
        std::printf("route: arrived %s %s at line %lld\n", routeProgressText(step.point, n).c_str(),
                    p.name.c_str(), lines_);
    }
    if (step.kind == RouteStep::Finished) {
        std::puts("route: finished");
    }
}

}  // namespace wp2::tool
