// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dial_arrow.h"

#include <algorithm>
#include <cmath>

#include "core/gps/nav_snapshot.h"
#include "core/waypoints/target_navigation.h"
#include "ui/rotation.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kHubFill = rgb(147, 0, 0);
constexpr QRgb kHubOutline = rgb(0, 0, 0);
constexpr QRgb kArrowFill = rgb(255, 255, 0);
constexpr QRgb kArrowOutline = rgb(220, 150, 0);
// Steps per radian: a half turn in about 27 frames.
constexpr double kStepsPerRadian = 7.957747157355246;

constexpr Point kHub[3] = {{-9, 12}, {0, -20}, {9, 12}};
constexpr Point kArrow[7] = {{7, 0}, {7, 55}, {16, 55}, {0, 80}, {-16, 55}, {-7, 55}, {-7, 0}};
constexpr int kTipIndex = 3;
constexpr int kHalfSquare = 20;
}  // namespace

void DialArrow::init(int centreX, int centreY, const std::string& arrowName) {
    cx = centreX;
    cy = centreY;
    name = arrowName;
    rect = paintArea = Rect{cx - 80, std::max(cy - 80, 0), cx + 80, cy + 25};
}

void DialArrow::setTarget(double value) {
    if (!std::isfinite(value)) {
        return;  // a damaged speed or course leaves the arrow where it is
    }
    value = normaliseDialAngle(value);
    if (steps == 0 && value == angle) {
        return;  // at rest on it already: redrawing the same arrow would only wake the screen
    }
    targetAngle = value;
    increasing = value > angle ? 1 : 0;
    if (std::fabs(value - angle) > kPi) {
        increasing = !increasing;
        value += increasing ? kDialTwoPi : -kDialTwoPi;
    }
    fromAngle = angle;
    step = 0;
    steps = 2 + static_cast<int>(std::fabs(value - angle) * kStepsPerRadian);
    toAngle = value;
}

double DialArrow::clampShown(double a) {
    if (a >= kPi && a <= kThreeHalfPi) {
        return kThreeHalfPi;
    }
    if (a > kThreeHalfPi && a < kDialTwoPi) {
        return 0;
    }
    if (a < 0) {
        return 0;
    }
    return a;
}

void DialArrow::animate() {
    if (steps == 0) {
        return;
    }
    markChanged();
    angle = ((steps - step) * fromAngle + toAngle * step) / steps;
    shownAngle = clampShown(angle);
    if (step >= steps) {
        steps = 0;
        toAngle = fromAngle = angle = targetAngle;
    }
    step += 1;
}

int DialArrow::tick(std::uint32_t) {
    animate();
    return 0;
}

void DialArrow::draw(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    Point hub[3];
    const double hubTurn = angle - kHalfPi;
    for (int i = 0; i < 3; ++i) {
        hub[i] = rotateAbout(cx, cy, cx + kHub[i].x, cy + kHub[i].y, hubTurn);
    }
    frame.polygon(hub, 3, kHubFill, kHubOutline);

    Point arrow[7];
    const double arrowTurn = shownAngle - kHalfPi;
    for (int i = 0; i < 7; ++i) {
        arrow[i] = rotateAbout(cx, cy, cx + kArrow[i].x, cy + 6 - kArrow[i].y, arrowTurn);
    }
    frame.polygon(arrow, 7, kArrowFill, kArrowOutline);

    const Point tip = arrow[kTipIndex];
    const Rect centreSquare{cx - kHalfSquare, cy - kHalfSquare, cx + kHalfSquare, cy + kHalfSquare};
    const Rect tipSquare{tip.x - kHalfSquare, tip.y - kHalfSquare, tip.x + kHalfSquare,
                         tip.y + kHalfSquare};
    paintArea = centreSquare.united(tipSquare);
}

void DialArrow::offsetBy(int dx, int dy) {
    cx += dx;
    cy += dy;
    rect = rect.offset(dx, dy);
    // paintArea keeps the area drawn last, so the erase clears the old place.
    markChanged();
}

void DialArrow::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

Rect DialArrow::paintRect() const {
    return paintArea.inflated(20, 20);
}

// The squares of paintArea end exactly at the hub's and the tip's outermost
// points, which are drawn too; the erase takes one pixel more to the right and
// below so that no outline pixel is left behind.
Rect DialArrow::eraseRect() const {
    return {paintArea.left, paintArea.top, paintArea.right + 1, paintArea.bottom + 1};
}

void DialArrow::erase(DrawingSurfaces& surfaces) {
    surfaces.frame.copyFrom(surfaces.background, eraseRect());
}

double DialArrow::speedAngle(double metresPerSecond) {
    const double v = std::min(metresPerSecond * 3.6, 200.0);
    if (v < 20) {
        return 3.485 - 0.0129 * v;
    }
    if (v < 100) {
        return 3.624 - 0.0199 * v;
    }
    return 3.594 - 0.0196 * v;
}

}  // namespace wp2

namespace wp2 {

void CourseDialArrow::init(const NavSnapshot& source, int centreX, int centreY,
                           const std::string& arrowName) {
    source_ = &source;
    DialArrow::init(centreX, centreY, arrowName);
}

int CourseDialArrow::tick(std::uint32_t frame) {
    if (frame % 30 == 0 && source_ && source_->fixIsOld()) {
        setTarget(kParkedAngle);
    } else if (frame % 30 == 0 && source_ && source_->targetSet == 1) {
        setTarget(targetArrowAngle(*source_));
    }
    animate();
    return 0;
}

void SpeedDialArrow::init(const NavSnapshot& source, int centreX, int centreY,
                          const std::string& arrowName) {
    source_ = &source;
    DialArrow::init(centreX, centreY, arrowName);
}

int SpeedDialArrow::tick(std::uint32_t frame) {
    if (frame % 30 == 0 && source_) {
        lastAngle = source_->fixIsOld() ? kParkedAngle : speedAngle(source_->speed);
        setTarget(lastAngle);
    }
    animate();
    return 0;
}

}  // namespace wp2
