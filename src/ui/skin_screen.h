// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dashboard's element list: owns every element, composes changed elements
// into the frame surface layer by layer, and routes touches from the topmost
// layer down.

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/skin_element.h"

namespace wp2 {

// Element ids the screen itself relies on.
namespace ElementId {
inline constexpr int QuitButton = 20;
inline constexpr int TrackView = 201;
inline constexpr int TrackCompass = 202;
}  // namespace ElementId

class MessageBoxes;

class SkinScreen {
public:
    // The elements draw on `surfaces`; a lookup of a missing element is told
    // in `boxes`. Both must outlive the screen.
    SkinScreen(DrawingSurfaces& surfaces, MessageBoxes& boxes);
    virtual ~SkinScreen();
    SkinScreen(const SkinScreen&) = delete;
    SkinScreen& operator=(const SkinScreen&) = delete;

    // Takes ownership, sets the element's listIndex and appends it. Returns it.
    template <class T>
    T* add(std::unique_ptr<T> element) {
        T* raw = element.get();
        addOwned(std::unique_ptr<SkinElement>(std::move(element)));
        return raw;
    }
    // The first element with this id. With report set, a missing id shows
    // "The dashboard has no element <id>." and ends the program.
    SkinElement* byId(int id, int report = 0) const;

    void tickAll(std::uint32_t frame);
    // True when the next frames can show something without a new refresh:
    // a visible element animates or waits to be drawn.
    bool animating() const;
    // Draws what changed into the frame surface; 1 when anything was drawn.
    int compose();
    // The parts of the frame the last compose() drew on (none when it drew
    // nothing): each drawn or erased element's rectangles, possibly overlapping.
    const std::vector<Rect>& changedAreas() const { return changed_; }
    // Draws every visible element (a full repaint); in map mode the static
    // elements, the map and its compass.
    void drawAll();
    void markAllDirty();

    void press(int x, int y);
    void release(int x, int y);
    void move(int x, int y);

    // Whether the element returned non-zero from onRelease during the release
    // being routed now (for actions that depend on another element's touch).
    bool releasedThisTouch(const SkinElement* e) const;

    const std::vector<std::unique_ptr<SkinElement>>& elements() const { return elements_; }
    const std::vector<int>& layerOrder() const { return layerOrder_; }
    int mapMode = 0;
    std::vector<int> hiddenByMode;

protected:
    // The action of a released element; true when its id selects one (it ran).
    virtual bool runAction(SkinElement& element);
    // A press on the Quit button.
    virtual void quit();
    // A lookup that had to succeed failed; the message was shown.
    virtual void lookupFailed(int id) const;

private:
    void addOwned(std::unique_ptr<SkinElement> element);
    // Adds what an element drawing or erasing now may cover to changed_.
    void touched(const SkinElement& e);
    bool anythingPending() const;
    void propagateOverlaps();
    bool staticPass();
    bool erasePass();
    bool spritePass();
    int composeMap();
    void drawAllMap();

    DrawingSurfaces& surfaces_;
    MessageBoxes& boxes_;
    std::vector<std::unique_ptr<SkinElement>> elements_;
    std::vector<int> layerOrder_;
    std::vector<const SkinElement*> releasedNow_;
    std::vector<Rect> changed_;
};

}  // namespace wp2
