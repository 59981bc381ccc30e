#include "ui/sky_view.h"

#include <algorithm>
#include <cmath>

#include "ui/rotation.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr double kHorizonRadius = 40;
constexpr int kDotHalf = 4;
}  // namespace

void SkyView::init(const std::string& viewName) {
    name = viewName;
    rect = Rect{10, 7, 110, 107};
    withSignal_.load(kDotWithSignal, rgb(81, 103, 245));
    withoutSignal_.load(kDotWithoutSignal, rgb(0, 0, 0));
}

void SkyView::setSatellites(const std::vector<SkySatellite>& list) {
    const std::size_t n = std::min<std::size_t>(list.size(), kMaxSatellites);
    satellites.assign(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n));
    count = static_cast<int>(n);
    markChanged();
}

Point SkyView::plotPosition(int cx, int cy, double elevation, double azimuth) {
    const double radius = std::cos(elevation) * kHorizonRadius;
    return {cx + static_cast<int>(std::cos(azimuth + kHalfPi) * radius),
            cy - static_cast<int>(std::sin(azimuth + kHalfPi) * radius)};
}

void SkyView::draw() {
    Surface& frame = drawingSurfaces().frame;
    const int cx = rect.left + rect.width() / 2;
    const int cy = rect.top + rect.height() / 2;
    for (int i = 0; i < count; ++i) {
        const SkySatellite& s = satellites[static_cast<std::size_t>(i)];
        const Point p = plotPosition(cx, cy, s.elevation, s.azimuth);
        const TransparentBitmap& dot = s.snr < 1 ? withoutSignal_ : withSignal_;
        dot.drawTransparent(frame, p.x - kDotHalf, p.y - kDotHalf);
    }
}

void SkyView::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    markChanged();
}

void SkyView::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

void SkyView::erase() {
    DrawingSurfaces& s = drawingSurfaces();
    s.frame.copyFrom(s.background, rect);
}

}  // namespace wp2

namespace wp2 {

void BoundSkyView::init(const NavSnapshot& source, const std::string& viewName) {
    source_ = &source;
    SkyView::init(viewName);
}

int BoundSkyView::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    }
    return 0;
}

int BoundSkyView::update(std::uint32_t) {
    if (!source_) {
        return 0;
    }
    const int inView =
        std::clamp(source_->satellitesInView, 0, static_cast<int>(source_->satellites.size()));
    setSatellites(std::vector<SkySatellite>(source_->satellites.begin(),
                                            source_->satellites.begin() + inView));
    return 1;
}

}  // namespace wp2
