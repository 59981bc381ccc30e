// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The big arrow of a dial with its hub triangle. The hub shows the true angle;
// the big arrow stays in the upper half of the dial and rests pointing down
// (or right) outside it. A half turn takes about 27 frames.

#include <cstdint>

#include "core/nav/angles.h"
#include "ui/skin_element.h"

namespace wp2 {

class NavSnapshot;

class DialArrow : public SpriteElement {
public:
    void init(int cx, int cy, const std::string& arrowName);
    // Starts turning to `value` (display radians: 0 right, pi/2 up).
    void setTarget(double value);

    int tick(std::uint32_t frame) override;
    bool animating() const override { return steps != 0; }
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override;
    Rect eraseRect() const override;
    void erase(DrawingSurfaces& surfaces) override;

    // The display angle of the speed dial for a speed in metres per second.
    static double speedAngle(double metresPerSecond);
    // The angle the big arrow shows for an animation angle.
    static double clampShown(double a);
    // Where an arrow rests while its value is old (the fix is lost): straight
    // down, out of the dial's scale, where a speed of 0 leaves the speed arrow.
    static constexpr double kParkedAngle = kThreeHalfPi;

    double shownAngle = kStartAngle;
    double angle = kStartAngle;
    double toAngle = kStartAngle;
    double fromAngle = kStartAngle;
    double targetAngle = kStartAngle;
    int step = 0;
    int steps = 0;
    int increasing = 0;
    int cx = 122;
    int cy = 126;
    Rect paintArea;

protected:
    // Advances the animation by one step.
    void animate();

private:
    static constexpr double kStartAngle = kHalfPi;
};

// The course dial's arrow: every 30 frames, while a target is set, it turns
// towards the target relative to the direction of travel.
class CourseDialArrow : public DialArrow {
public:
    void init(const NavSnapshot& source, int cx, int cy, const std::string& arrowName);
    int tick(std::uint32_t frame) override;

private:
    const NavSnapshot* source_ = nullptr;
};

// The speed dial's arrow: every 30 frames it turns to the snapshot's speed.
class SpeedDialArrow : public DialArrow {
public:
    void init(const NavSnapshot& source, int cx, int cy, const std::string& arrowName);
    int tick(std::uint32_t frame) override;

    double lastAngle = 0;

private:
    const NavSnapshot* source_ = nullptr;
};

}  // namespace wp2
