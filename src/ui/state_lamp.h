// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A lamp of four images chosen by a state value read from its source every
// 30 frames (the receiver lamp reads the fix level).

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>

#include "ui/skin_element.h"

namespace wp2 {

class NavSnapshot;

class StateLamp : public SkinElement {
public:
    using StateSource = std::function<int()>;

    StateLamp() { layer = 20; }

    // Loads the four bitmaps; the size comes from the first, the top-left goes to (x, y).
    void init(StateSource source, int x, int y, int bitmap1, int bitmap2, int bitmap3, int bitmap4);

    int tick(std::uint32_t frame) override;
    int update(std::uint32_t frame) override;
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;

    int state = 0;

private:
    StateSource source_;
    std::array<int, 4> bitmaps_{};
};

// The receiver lamp: dark without a link, red without a fix, yellow for a 2-D
// and green for a 3-D fix, read from the snapshot's fix level. Top-left at (x, y).
void initReceiverLamp(StateLamp& lamp, const NavSnapshot& snapshot, int x, int y);

}  // namespace wp2
