// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sky_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "ui/night_palette.h"
#include "ui/rotation.h"
#include "ui/surface.h"

namespace wp2 {

namespace {

constexpr double kHorizonRadius = 40;
constexpr int kDotHalf = 4;
constexpr int kMarkSize = 2 * kDotHalf + 1;

enum class Shape { Disc, SmallDisc, Square, Diamond, Triangle };

struct MarkStyle {
    Shape shape;
    QRgb colour;
};

// Indexed by Constellation; GPS uses the skin's dots.
constexpr MarkStyle kMarkStyles[] = {
    {Shape::Disc, rgb(60, 230, 80)},         // GPS
    {Shape::SmallDisc, rgb(235, 235, 235)},  // SBAS
    {Shape::Square, rgb(255, 80, 60)},       // GLONASS
    {Shape::Diamond, rgb(70, 170, 255)},     // Galileo
    {Shape::Triangle, rgb(255, 215, 0)},     // BeiDou
    {Shape::Disc, rgb(240, 90, 240)},        // QZSS
    {Shape::SmallDisc, rgb(235, 235, 235)},  // NavIC
    {Shape::SmallDisc, rgb(235, 235, 235)},  // other
};
static_assert(std::size(kMarkStyles) == kConstellationCount);

// Whether (dx, dy) from the centre lies within the shape drawn at size r.
bool inside(Shape shape, int dx, int dy, double r) {
    switch (shape) {
        case Shape::Disc:
            return std::hypot(dx, dy) <= r + 0.4;
        case Shape::SmallDisc:
            return std::hypot(dx, dy) <= r - 0.6;
        case Shape::Square:
            return std::max(std::abs(dx), std::abs(dy)) <= r - 0.5;
        case Shape::Diamond:
            return std::abs(dx) + std::abs(dy) <= r;
        case Shape::Triangle:
            return dy >= -r && dy <= r && std::abs(dx) <= (dy + r) / 2.0;
    }
    return false;
}

// Filled: the colour inside a dark rim. Hollow: only a ring of the colour
// inside the rim, the sky showing through its centre. At night both colours
// are the night palette's (the shapes keep the constellations apart).
QImage drawMark(const MarkStyle& style, bool withSignal, Palette palette) {
    const bool night = palette == Palette::Night;
    const QRgb rim = night ? nightColour(rgb(16, 16, 20)) : rgb(16, 16, 20);
    const QRgb colour = night ? nightColour(style.colour) : style.colour;
    QImage image(kMarkSize, kMarkSize, QImage::Format_RGB32);
    for (int y = 0; y < kMarkSize; ++y) {
        for (int x = 0; x < kMarkSize; ++x) {
            const int dx = x - kDotHalf;
            const int dy = y - kDotHalf;
            QRgb c = SkyView::kMarkKey;
            if (!withSignal && inside(style.shape, dx, dy, 1.6)) {
                c = SkyView::kMarkKey;
            } else if (inside(style.shape, dx, dy, 3.0)) {
                c = colour;
            } else if (inside(style.shape, dx, dy, 4.0)) {
                c = rim;
            }
            image.setPixel(x, y, c);
        }
    }
    return image;
}

// Each constellation's mark with and without signal, in that order.
std::vector<QImage> drawMarks(Palette palette) {
    std::vector<QImage> all;
    for (const MarkStyle& style : kMarkStyles) {
        all.push_back(drawMark(style, true, palette));
        all.push_back(drawMark(style, false, palette));
    }
    return all;
}

}  // namespace

const QImage& SkyView::mark(Constellation constellation, bool withSignal) {
    static const std::vector<QImage> dayMarks = drawMarks(Palette::Day);
    static const std::vector<QImage> nightMarks = drawMarks(Palette::Night);
    const std::vector<QImage>& marks = currentPalette() == Palette::Night ? nightMarks : dayMarks;
    return marks[static_cast<std::size_t>(constellation) * 2 + (withSignal ? 0 : 1)];
}

void SkyView::init(const std::string& viewName) {
    name = viewName;
    rect = Rect{10, 7, 110, 107};
    withSignal_.load(kDotWithSignal, rgb(81, 103, 245));
    withoutSignal_.load(kDotWithoutSignal, rgb(0, 0, 0));
}

void SkyView::setSatellites(const std::vector<SkySatellite>& list) {
    const std::size_t n = std::min<std::size_t>(list.size(), kMaxSatellites);
    const auto end = list.begin() + static_cast<std::ptrdiff_t>(n);
    // The same sky again (a receiver standing still) is not drawn again.
    if (std::equal(list.begin(), end, satellites.begin(), satellites.end())) {
        return;
    }
    satellites.assign(list.begin(), end);
    count = static_cast<int>(n);
    markChanged();
}

Point SkyView::plotPosition(int cx, int cy, double elevation, double azimuth) {
    const double radius = std::cos(elevation) * kHorizonRadius;
    return {cx + static_cast<int>(std::cos(azimuth + kHalfPi) * radius),
            cy - static_cast<int>(std::sin(azimuth + kHalfPi) * radius)};
}

void SkyView::draw(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    const int cx = rect.left + rect.width() / 2;
    const int cy = rect.top + rect.height() / 2;
    for (int i = 0; i < count; ++i) {
        const SkySatellite& s = satellites[static_cast<std::size_t>(i)];
        const Point p = plotPosition(cx, cy, s.elevation, s.azimuth);
        if (s.constellation == Constellation::Gps) {
            const TransparentBitmap& dot = s.snr < 1 ? withoutSignal_ : withSignal_;
            dot.drawTransparent(frame, p.x - kDotHalf, p.y - kDotHalf);
        } else {
            frame.blitKeyed(p.x - kDotHalf, p.y - kDotHalf, mark(s.constellation, s.snr >= 1),
                            Rect{0, 0, kMarkSize, kMarkSize}, kMarkKey);
        }
    }
}

void SkyView::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    markChanged();
}

void SkyView::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

void SkyView::erase(DrawingSurfaces& surfaces) {
    surfaces.frame.copyFrom(surfaces.background, rect);
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
