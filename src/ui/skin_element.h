// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The base of everything drawn on the dashboard. Elements are owned by the
// SkinScreen, drawn in layer order when dirty, and offered touches.

#include <cstdint>
#include <string>

#include "ui/rect.h"

namespace wp2 {

class SkinScreen;
struct DrawingSurfaces;

// Values of SkinElement::group.
namespace ElementGroup {
inline constexpr int None = 0;
inline constexpr int Panel = 10;
inline constexpr int PanelSelector = 30;
inline constexpr int ValueSelector = 40;
inline constexpr int PopupMenu = 50;
inline constexpr int NumberPanel = 60;
}  // namespace ElementGroup

class SkinElement {
public:
    SkinElement() = default;
    virtual ~SkinElement() = default;
    SkinElement(const SkinElement&) = delete;
    SkinElement& operator=(const SkinElement&) = delete;

    // Touch handlers return non-zero when the element was hit.
    virtual int onRelease(int x, int y);
    virtual int onPress(int x, int y);
    virtual int tick(std::uint32_t frame);
    // True while tick() may change the element on frames between the
    // 30-frame refreshes (a needle turning, a button popping back): the
    // screen's timer must then run every frame.
    virtual bool animating() const { return false; }
    // Re-reads the element's data source.
    virtual int update(std::uint32_t frame);
    virtual void draw(DrawingSurfaces& surfaces) = 0;
    virtual void offsetBy(int dx, int dy);
    // Puts the top-left corner at (x, y).
    virtual void moveTo(int x, int y);
    // The area the element paints.
    virtual Rect paintRect() const { return rect; }
    // The element's own rectangle.
    virtual Rect frameRect() const { return rect; }
    virtual void setRect(const Rect& r) { rect = r; }
    // Showing a hidden element re-reads its source and marks it dirty.
    virtual void setVisible(int v);

    // Sprites only: the area drawn last, and restoring it from the background.
    virtual Rect eraseRect() const { return rect; }
    virtual void erase(DrawingSurfaces& surfaces) { (void)surfaces; }
    // The track map only: the dragged centre follows the touch.
    virtual void dragTo(int x, int y);
    // The track map only: the area it keeps for the map-mode compass.
    virtual void setKeepArea(const Rect& area);

    // The screen the element was added to (none before `add`).
    SkinScreen* screen() const { return screen_; }

    std::int32_t layer = 20;
    std::int32_t group = ElementGroup::None;
    std::int32_t dirty = 0;
    std::int32_t erasePending = 0;
    std::int32_t listIndex = -1;
    std::int32_t sprite = 0;
    std::int32_t visible = 0;
    Rect rect;
    std::string name;
    std::int32_t id = 0;

protected:
    // Sets dirty and erasePending together, as sprites do when they change.
    void markChanged() {
        dirty = 1;
        erasePending = 1;
    }

private:
    friend class SkinScreen;
    SkinScreen* screen_ = nullptr;
};

// The abstract kind for sprites: drawn after every static element, into the
// frame only, and erased from the background before each redraw.
class SpriteElement : public SkinElement {
public:
    SpriteElement() {
        layer = 50;
        sprite = 1;
    }
    Rect eraseRect() const override = 0;
    void erase(DrawingSurfaces& surfaces) override = 0;
};

}  // namespace wp2
