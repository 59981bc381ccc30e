// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/compass_needle.h"

#include <cmath>

#include "core/gps/nav_snapshot.h"
#include "ui/dial_arrow.h"
#include "ui/rotation.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kNorthColour = rgb(0, 0, 255);
constexpr QRgb kSouthColour = rgb(255, 0, 0);
constexpr QRgb kOutline = rgb(0, 0, 0);
// Frames per radian: a quarter turn in about a second.
constexpr double kTwoOverPi = 0.6366197725884196;
}  // namespace

void CompassNeedle::init(int centreX, int centreY, int halfW, int halfH) {
    cx = centreX;
    cy = centreY;
    rect = Rect{cx - halfW, cy - halfH, cx + halfW, cy + halfH};
}

void CompassNeedle::setAngle(double newAngle, std::uint32_t frame) {
    // An angle without a number (a damaged course) leaves the needle where it is.
    if (!std::isfinite(newAngle) || std::fabs(newAngle - angle) < 0.001) {
        return;
    }
    startFrame = frame;
    targetAngle = normaliseDialAngle(newAngle);
    double value = targetAngle;
    increasing = value > angle ? 1 : 0;
    if (std::fabs(value - angle) > kPi) {
        increasing = !increasing;
        value += increasing ? kDialTwoPi : -kDialTwoPi;
    }
    fromAngle = angle;
    steps = static_cast<int>((std::fabs(value - angle) * kTwoOverPi + 0.1) * 33);
    toAngle = value;
}

void CompassNeedle::animate(std::uint32_t frame) {
    if (steps == 0) {
        return;
    }
    const std::int64_t elapsed = static_cast<std::int64_t>(frame) - startFrame;
    if (elapsed <= steps) {
        angle = ((steps - elapsed) * fromAngle + toAngle * elapsed) / steps;
    } else {
        steps = 0;
        angle = fromAngle = toAngle = targetAngle;
    }
    drawnAngle = angle;
    markChanged();
}

int CompassNeedle::tick(std::uint32_t frame) {
    animate(frame);
    return 0;
}

void CompassNeedle::draw(DrawingSurfaces& surfaces) {
    const int half = static_cast<int>(0.5 * baseWidth);
    const Point shape[3] = {{cx - half, cy}, {cx, cy - length}, {cx + half, cy}};
    Surface& frame = surfaces.frame;
    auto drawTriangle = [&](double r, QRgb fill) {
        Point turned[3];
        for (int i = 0; i < 3; ++i) {
            turned[i] = rotateAbout(cx, cy, shape[i].x, shape[i].y, r);
        }
        frame.polygon(turned, 3, fill, kOutline);
    };
    drawTriangle(drawnAngle - kHalfPi, kNorthColour);
    drawTriangle(drawnAngle - kThreeHalfPi, kSouthColour);
}

void CompassNeedle::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    cx += dx;
    cy += dy;
    markChanged();
}

void CompassNeedle::moveTo(int x, int y) {
    offsetBy(x - cx, y - cy);
}

void CompassNeedle::erase(DrawingSurfaces& surfaces) {
    surfaces.frame.copyFrom(surfaces.background, rect);
}

}  // namespace wp2

namespace wp2 {

void BoundCompassNeedle::init(const NavSnapshot& source, int centreX, int centreY, int halfW,
                              int halfH) {
    source_ = &source;
    CompassNeedle::init(centreX, centreY, halfW, halfH);
}

int BoundCompassNeedle::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    }
    animate(frame);
    return 0;
}

int BoundCompassNeedle::update(std::uint32_t frame) {
    if (!source_) {
        return 0;
    }
    // A needle on a map shows where the map has north, old fix or not; one
    // turned by the course rests like the dial arrows while the course is old.
    if (up_) {
        setAngle(up_() + kHalfPi, frame);
    } else {
        setAngle(source_->fixIsOld() ? DialArrow::kParkedAngle : source_->course + kHalfPi, frame);
    }
    return 1;
}

}  // namespace wp2
