// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the instruments draw over the dial faces, so the faces can be laid out
// under them: the dial arrows turn about (121, 106) of the 240 x 150 face and the
// big arrow's tip lies 74 pixels from that pivot.

#include <QPointF>
#include <cmath>

namespace wp2::art {

inline const QPointF kDialPivot(121, 106);
inline constexpr double kArrowTipRadius = 74;

// Scale ring of both dials (radii from the pivot).
inline constexpr double kBandInner = 82;
inline constexpr double kBandOuter = 89;
inline constexpr double kMinorTickInner = 79;
inline constexpr double kMajorTickInner = 75;
inline constexpr double kTickOuter = 89;
inline constexpr double kLabelRadius = 72;  // outer edge of the number boxes
inline constexpr double kHubRadius = 23;

inline constexpr double kPi = 3.1415926525;  // the instruments' own pi

// Display angle (0 right, pi/2 up) at which the speed arrow settles for v km/h.
inline double speedArrowAngle(double kmh) {
    const double v = kmh > 200 ? 200 : kmh;
    if (v < 20) {
        return 3.485 - 0.0129 * v;
    }
    if (v < 100) {
        return 3.624 - 0.0199 * v;
    }
    return 3.594 - 0.0196 * v;
}

// Display angle of the course arrow for a target at a relative bearing (radians,
// positive to the right): straight ahead points up.
inline double courseArrowAngle(double relativeBearing) {
    return kPi / 2 - relativeBearing;
}

}  // namespace wp2::art
