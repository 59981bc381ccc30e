// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/routes/route.h"

#include "core/base/cformat.h"
#include "core/waypoints/pushpin.h"

namespace wp2 {

RoutePoint routePointFrom(const Pushpin& pushpin) {
    return {pushpin.name, pushpin.latitude, pushpin.longitude, pushpin.icon};
}

std::string routeProgressText(int index, int count) {
    return cformat("%d/%d", index + 1, count);
}

}  // namespace wp2
