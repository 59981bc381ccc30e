// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/popup_menu.h"

#include <QString>

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/menu_band.h"
#include "ui/surface.h"

namespace wp2 {

PopupMenu::PopupMenu() {
    layer = 100;
    group = ElementGroup::PopupMenu;
}

void PopupMenu::init(int x, int y, int menuWidth) {
    width = menuWidth;
    rect = Rect{x, y, x + menuWidth, y};
    layer = 100;
    group = ElementGroup::PopupMenu;
    sprite = 1;
    itemHeight = 23;
    font = dashboardFont(Typeface::Tahoma, 16, false);
}

void PopupMenu::addItem(const std::string& label, int code) {
    labels.push_back(label);
    codes.push_back(code);
    rect.bottom = rect.top + itemHeight * static_cast<int>(labels.size());
}

void PopupMenu::openMenu() {
    open = 1;
    dirty = 1;
    result = MenuResult::Opened;
}

void PopupMenu::reset() {
    open = 0;
    selected = -1;
}

int PopupMenu::chosenCode() const {
    if (selected < 0 || selected >= static_cast<int>(codes.size())) {
        return 0;
    }
    return codes[static_cast<std::size_t>(selected)];
}

int PopupMenu::onRelease(int x, int y) {
    if (!open) {
        return 0;
    }
    open = 0;
    erasePending = 1;
    if (rect.contains(x, y)) {
        selected = (y - rect.top) / itemHeight;
        result = MenuResult::Chosen;
    } else {
        result = MenuResult::Dismissed;
    }
    return 1;
}

int PopupMenu::onPress(int, int) {
    return 0;
}

void PopupMenu::draw(DrawingSurfaces& surfaces) {
    if (!open) {
        return;
    }
    Surface& frame = surfaces.frame;
    const QImage edges = loadBitmap(PanelSelector::kEdges);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        drawMenuBand(frame, rect.left, rect.top + static_cast<int>(i) * itemHeight, width,
                     itemHeight, QString::fromStdString(labels[i]), font, {true, false}, edges);
    }
    eraseArea = rect;
}

void PopupMenu::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    dirty = 1;
}

void PopupMenu::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

void PopupMenu::erase(DrawingSurfaces& surfaces) {
    if (!eraseArea.isEmpty()) {
        surfaces.frame.copyFrom(surfaces.background, eraseArea);
    }
    eraseArea = Rect{};
}

}  // namespace wp2
