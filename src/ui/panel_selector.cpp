// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/panel_selector.h"

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/menu_band.h"
#include "ui/skin_screen.h"
#include "ui/surface.h"

namespace wp2 {

PanelSelector::PanelSelector() {
    layer = 100;
    group = ElementGroup::PanelSelector;
    sprite = 1;
}

void PanelSelector::init(const Rect& button, const std::string& selectorName) {
    rect = button;
    name = selectorName;
    font = dashboardFont(Typeface::Tahoma, 16, false);
}

void PanelSelector::setArea(const Rect& shownArea, int width) {
    area = shownArea;
    listWidth = width;
    itemHeight = 23;
}

void PanelSelector::addItem(const std::string& label, SkinElement* element) {
    labels.push_back(label);
    items.push_back(element);
}

Rect PanelSelector::listRect() const {
    Rect r;
    if (opensLeft) {
        r.right = rect.left - 5;
        r.left = r.right - listWidth;
    } else {
        r.left = rect.left + 15;
        r.right = r.left + listWidth;
    }
    r.top = rect.top;
    r.bottom = r.top + itemHeight * static_cast<int>(items.size());
    return r;
}

int PanelSelector::onRelease(int x, int y) {
    if (open) {
        open = 0;
        erasePending = 1;
        const Rect list = listRect();
        if (list.contains(x, y)) {
            selected = (y - list.top) / itemHeight;
            result = MenuResult::Chosen;
        } else {
            result = MenuResult::Dismissed;
        }
        dirty = 1;
        return 1;
    }
    if (rect.contains(x, y)) {
        open = 1;
        result = MenuResult::Opened;
        dirty = 1;
        eraseArea = listRect();
        return 1;
    }
    return 0;
}

void PanelSelector::draw(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    if (open) {
        const Rect list = listRect();
        const QImage edges = loadBitmap(kEdges);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const bool isCurrent = items[i] == current;
            drawMenuBand(frame, list.left, list.top + static_cast<int>(i) * itemHeight, listWidth,
                         itemHeight, QString::fromStdString(labels[i]), font,
                         {isCurrent, isCurrent}, edges);
        }
    }
    frame.blit(rect.left, rect.top, loadBitmap(open ? kButtonOpen : kButtonClosed));
}

void PanelSelector::offsetBy(int dx, int dy) {
    rect = rect.offset(dx, dy);
    dirty = 1;
}

void PanelSelector::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

Rect PanelSelector::eraseRect() const {
    return eraseArea.isEmpty()
               ? eraseArea
               : Rect{eraseArea.left, eraseArea.top, eraseArea.right + 1, eraseArea.bottom + 1};
}

void PanelSelector::erase(DrawingSurfaces& surfaces) {
    if (!eraseArea.isEmpty()) {
        surfaces.frame.copyFrom(surfaces.background, eraseRect());
    }
    eraseArea = Rect{};
}

void PanelSelector::chooseInitialCurrent(const SkinScreen& screen) {
    for (const auto& e : screen.elements()) {
        if (e->visible && e->group == ElementGroup::Panel &&
            e->frameRect().contains(rect.left, rect.top)) {
            current = e.get();
            return;
        }
    }
}

int SwitchingPanelSelector::onRelease(int x, int y) {
    const int hit = PanelSelector::onRelease(x, y);
    if (hit && result == MenuResult::Chosen && selected >= 0 &&
        selected < static_cast<int>(items.size())) {
        switchTo(items[static_cast<std::size_t>(selected)]);
        open = 0;
        selected = -1;
        if (screen()) {
            screen()->markAllDirty();
        }
    }
    return hit;
}

void SwitchingPanelSelector::switchTo(SkinElement* element) {
    if (!element || element == current) {
        return;
    }
    const Rect place = current ? current->frameRect() : area;
    if (current) {
        current->setVisible(0);
    }
    element->setVisible(1);
    element->moveTo(place.left, place.top);
    current = element;
}

}  // namespace wp2
