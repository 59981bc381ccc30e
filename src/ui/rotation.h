// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turning needle and arrow shapes. Shapes are defined with the tip pointing up
// (negative y); a positive angle turns them anticlockwise on the screen.

#include <cmath>

#include "core/nav/angles.h"
#include "ui/rect.h"

namespace wp2 {

// A whole turn as the needles count it: twice the program's pi.
inline constexpr double kDialTwoPi = 2 * kPi;

// Turns (x, y) about (cx, cy) by r radians, rounding each coordinate by
// adding 0.5 and truncating.
inline Point rotateAbout(int cx, int cy, int x, int y, double r) {
    const double c = std::cos(r);
    const double s = std::sin(r);
    const double dx = x - cx;
    const double dy = y - cy;
    return {static_cast<int>(cx + dx * c + dy * s + 0.5),
            static_cast<int>(cy + dy * c - dx * s + 0.5)};
}

// Brings an angle into [0, 2 pi) the way the needles do: above 2 pi the
// truncated number of turns is taken off, below 0 whole turns are added.
inline double normaliseDialAngle(double a) {
    // Far beyond a few turns the truncated quotient loses the fraction;
    // the exact remainder keeps the result within one turn.
    if (std::fabs(a) > 1e9) {
        a = std::fmod(a, kDialTwoPi);
    }
    if (a > kDialTwoPi) {
        a -= kDialTwoPi * std::trunc(a / kDialTwoPi);
    }
    if (a < 0) {
        a += kDialTwoPi * std::trunc(1.0 - a / kDialTwoPi);
    }
    return a;
}

}  // namespace wp2
