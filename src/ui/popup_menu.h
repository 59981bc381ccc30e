// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drop-down text menu opened by another element (the Options menu). A touch
// while it is open closes it, choosing the item under the touch if any.

#include <QFont>
#include <string>
#include <vector>

#include "ui/panel_selector.h"
#include "ui/skin_element.h"

namespace wp2 {

class PopupMenu : public SkinElement {
public:
    PopupMenu();

    // An empty menu at (x, y).
    void init(int x, int y, int width);
    void addItem(const std::string& label, int code);

    void openMenu();
    void reset();
    // The code of the chosen item, 0 when none is chosen.
    int chosenCode() const;

    int onRelease(int x, int y) override;
    int onPress(int x, int y) override;
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override { return open ? rect : Rect{}; }
    Rect eraseRect() const override { return eraseArea; }
    void erase(DrawingSurfaces& surfaces) override;

    std::vector<std::string> labels;
    std::vector<int> codes;
    int open = 0;
    int selected = -1;
    int result = 0;
    int itemHeight = 23;
    int width = 0;
    QFont font;
    Rect eraseArea;
};

}  // namespace wp2
