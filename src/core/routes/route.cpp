// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/route.h"

#include <algorithm>

#include "core/base/cformat.h"
#include "core/waypoints/pushpin.h"

namespace wp2 {

RoutePoint routePointFrom(const Pushpin& pushpin) {
    return {pushpin.name, pushpin.latitude, pushpin.longitude, pushpin.icon};
}

double routeLength(const Route& route, int from) {
    double length = 0.0;
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 0)) + 1; i < route.points.size();
         ++i) {
        length +=
            wgs84().groundChordDistance(route.points[i - 1].position(), route.points[i].position());
    }
    return length;
}

std::string routeProgressText(int index, int count) {
    return cformat("%d/%d", index + 1, count);
}

}  // namespace wp2
