// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The satellites in view on a sky plot: north up, the zenith at the centre and
// the horizon on a circle of radius 40. Azimuth 90 degrees lies to the left.
//
// A satellite with signal is a filled mark, one without signal a hollow one.
// GPS satellites are the skin's two dots; the other constellations have marks
// of their own colour and shape: GLONASS a red square, Galileo a blue
// diamond, BeiDou a yellow triangle, QZSS a magenta disc, SBAS, NavIC and
// others a small white disc.

#include <cstdint>
#include <vector>

#include "core/gps/nav_snapshot.h"
#include "ui/skin_element.h"
#include "ui/transparent_bitmap.h"

namespace wp2 {

class SkyView : public SpriteElement {
public:
    static constexpr int kMaxSatellites = 40;
    static constexpr int kDotWithSignal = 422;
    static constexpr int kDotWithoutSignal = 423;

    // Rectangle (10, 7, 110, 107) and the two satellite dots.
    void init(const std::string& viewName);
    // Replaces the satellites shown (at most 40 are kept).
    void setSatellites(const std::vector<SkySatellite>& satellites);

    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect eraseRect() const override { return rect; }
    void erase(DrawingSurfaces& surfaces) override;

    // Where a satellite's dot is centred for a plot centred on (cx, cy).
    static Point plotPosition(int cx, int cy, double elevation, double azimuth);
    // The 9 x 9 mark of a constellation other than GPS; pixels of kMarkKey are transparent.
    static const QImage& mark(Constellation constellation, bool withSignal);
    static constexpr QRgb kMarkKey = rgb(255, 0, 255);

    int count = 0;
    std::vector<SkySatellite> satellites;

private:
    TransparentBitmap withSignal_;
    TransparentBitmap withoutSignal_;
};

// A sky view that copies the satellites in view from the snapshot every 30 frames.
class BoundSkyView : public SkyView {
public:
    void init(const NavSnapshot& source, const std::string& viewName);
    int tick(std::uint32_t frame) override;
    int update(std::uint32_t frame) override;

private:
    const NavSnapshot* source_ = nullptr;
};

}  // namespace wp2
