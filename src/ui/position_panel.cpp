// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/position_panel.h"

#include <QString>

#include "core/gps/nav_snapshot.h"
#include "core/nav/coordinate_text.h"
#include "core/nav/unit_formatter.h"
#include "ui/fonts.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kWhite = rgb(255, 255, 255);
constexpr int kLineStep = 20;
}  // namespace

void PositionPanel::init(int id, const NavSnapshot* source, const UnitFormatter* units) {
    initBitmap(id, "Position");
    source_ = source;
    units_ = units;
    font = dashboardFont(Typeface::Tahoma, 16, true);
}

int PositionPanel::tick(std::uint32_t frame) {
    if (frame % 30 == 0) {
        update(frame);
    }
    return 0;
}

int PositionPanel::update(std::uint32_t) {
    if (!source_ || !units_) {
        return 0;
    }
    if (isPosition(source_->latitude, source_->longitude) && !source_->fixIsOld()) {
        latitudeText = formatLatitude(source_->latitude);
        longitudeText = formatLongitude(source_->longitude);
        // A stored last position comes without an altitude, a 2D fix too.
        altitudeText = source_->fixLevel == NavSnapshot::k3DFix
                           ? units_->formatAltitudeWithUnit(source_->altitude)
                           : kNoValueText;
    } else {
        // No position yet (the "none" value 10.0, or a damaged one), or the
        // fix was lost and the last one is old.
        latitudeText = longitudeText = altitudeText = kNoValueText;
    }
    dirty = 1;
    return 1;
}

void PositionPanel::draw(DrawingSurfaces& surfaces) {
    drawPanel(surfaces);
    Surface& frame = surfaces.frame;
    const int l = rect.left;
    const int t = rect.top;
    frame.text({l + 25, t + 3, l + 125, t + 23}, QStringLiteral("Position"), font, kWhite);
    const Rect line{l + 8, t + 22, l + 117, t + 42};
    const QString lines[3] = {QString::fromStdString("Lt " + latitudeText),
                              QString::fromStdString("Ln " + longitudeText),
                              QString::fromStdString("Alt " + altitudeText)};
    for (int i = 0; i < 3; ++i) {
        const QFont fitted = fittingFont(Typeface::Tahoma, 16, true, lines[i], line.width());
        frame.text(line.offset(0, i * kLineStep), lines[i], fitted, kWhite);
    }
    keepAsBackground(surfaces);
}

}  // namespace wp2
