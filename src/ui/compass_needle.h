// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A turning needle of two triangles: blue towards the angle, red opposite.
// A new angle is reached by animation, always the short way round; a quarter
// turn takes about 36 frames.

#include <cstdint>
#include <functional>

#include "core/nav/angles.h"
#include "ui/skin_element.h"

namespace wp2 {

class NavSnapshot;

class CompassNeedle : public SpriteElement {
public:
    // The needle turns about (cx, cy) inside a rectangle of half sizes halfW, halfH.
    void init(int cx, int cy, int halfW, int halfH);
    // Starts turning to newAngle (display radians: 0 right, pi/2 up) at `frame`.
    void setAngle(double newAngle, std::uint32_t frame);

    int tick(std::uint32_t frame) override;
    bool animating() const override { return steps != 0; }
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override { return rect; }
    Rect eraseRect() const override { return rect; }
    void erase(DrawingSurfaces& surfaces) override;

    double targetAngle = kStartAngle;
    double drawnAngle = kStartAngle;
    double angle = kStartAngle;
    double toAngle = kStartAngle;
    double fromAngle = kStartAngle;
    int steps = 0;
    std::uint32_t startFrame = 0;
    int increasing = 0;
    int cx = 60;
    int cy = 57;
    int baseWidth = 19;
    int length = 38;

protected:
    // Advances the animation to `frame`.
    void animate(std::uint32_t frame);

private:
    static constexpr double kStartAngle = kHalfPi;
};

// A needle that shows north every 30 frames: the blue triangle towards north,
// the red one south. It serves a heading-up display (the snapshot's course
// points up) unless told what points up on the display it sits on. On a
// heading-up display it rests pointing down, as the dial arrows do, while the
// fix is old.
class BoundCompassNeedle : public CompassNeedle {
public:
    // The direction that points up on the display (radians clockwise from north).
    using UpDirection = std::function<double()>;

    void init(const NavSnapshot& source, int cx, int cy, int halfW, int halfH);
    void followUpDirection(UpDirection up) { up_ = std::move(up); }
    int tick(std::uint32_t frame) override;
    int update(std::uint32_t frame) override;

private:
    const NavSnapshot* source_ = nullptr;
    UpDirection up_;
};

}  // namespace wp2
