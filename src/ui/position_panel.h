// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A panel showing the current latitude, longitude and altitude in text,
// refreshed from the snapshot every 30 frames.

#include <QFont>
#include <string>

#include "ui/bitmap_panel.h"

namespace wp2 {

class NavSnapshot;
class UnitFormatter;

class PositionPanel : public BitmapPanel {
public:
    // A panel with the picture bitmapId, named "Position". Without a source
    // the texts stay empty.
    void init(int bitmapId, const NavSnapshot* source, const UnitFormatter* units);

    int tick(std::uint32_t frame) override;
    int update(std::uint32_t frame) override;
    void draw(DrawingSurfaces& surfaces) override;

    std::string latitudeText;
    std::string longitudeText;
    std::string altitudeText;
    QFont font;

private:
    const NavSnapshot* source_ = nullptr;
    const UnitFormatter* units_ = nullptr;
};

}  // namespace wp2
