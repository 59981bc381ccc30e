// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drop-down list of elements opened by a small button. The switching
// variant replaces the element shown in its screen area by the one chosen.

#include <QFont>
#include <QString>
#include <string>
#include <vector>

#include "ui/skin_element.h"

namespace wp2 {

// Values of PanelSelector::result and PopupMenu::result.
namespace MenuResult {
inline constexpr int Opened = 1;
inline constexpr int Chosen = 2;
inline constexpr int Dismissed = 3;
}  // namespace MenuResult

class PanelSelector : public SkinElement {
public:
    static constexpr int kButtonOpen = 437;
    static constexpr int kButtonClosed = 438;
    static constexpr int kEdges = 472;

    PanelSelector();

    // The button's rectangle and the selector's name.
    void init(const Rect& button, const std::string& selectorName);
    // Where the shown element sits, and the width of the list.
    void setArea(const Rect& shownArea, int width);
    void addItem(const std::string& label, SkinElement* element);

    // The rectangle the open list covers.
    Rect listRect() const;

    int onRelease(int x, int y) override;
    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    Rect paintRect() const override { return rect.united(eraseArea); }
    Rect eraseRect() const override;
    void erase(DrawingSurfaces& surfaces) override;

    // The element shown at start: the first visible panel whose frame holds
    // the selector's top-left corner.
    void chooseInitialCurrent(const SkinScreen& screen);

    std::vector<std::string> labels;
    std::vector<SkinElement*> items;
    int open = 0;
    int selected = -1;
    int result = 0;
    SkinElement* current = nullptr;
    Rect eraseArea;
    int opensLeft = 0;
    Rect area;
    int itemHeight = 23;
    int listWidth = 80;
    QFont font;
};

class SwitchingPanelSelector : public PanelSelector {
public:
    // A choice from the list replaces the element shown.
    int onRelease(int x, int y) override;
    // Shows `element` in place of the current one (no-op when it is current).
    void switchTo(SkinElement* element);
};

}  // namespace wp2
