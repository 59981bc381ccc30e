// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/skin_screen.h"

#include <cstdlib>

#include "core/base/cformat.h"
#include "messages/message_box.h"
#include "ui/surface.h"

namespace wp2 {

SkinScreen::SkinScreen(DrawingSurfaces& surfaces, MessageBoxes& boxes)
    : surfaces_(surfaces), boxes_(boxes), layerOrder_{10, 20, 45, 50, 90, 100} {
    elements_.reserve(100);
}

SkinScreen::~SkinScreen() = default;

void SkinScreen::addOwned(std::unique_ptr<SkinElement> element) {
    element->listIndex = static_cast<std::int32_t>(elements_.size());
    element->screen_ = this;
    elements_.push_back(std::move(element));
}

SkinElement* SkinScreen::byId(int id, int report) const {
    for (const auto& e : elements_) {
        if (e->id == id) {
            return e.get();
        }
    }
    if (report) {
        showMessage(boxes_, cformat("The dashboard has no element %d.", id), "", MessageIcon::Stop);
        lookupFailed(id);
    }
    return nullptr;
}

void SkinScreen::lookupFailed(int) const {
    std::exit(1);
}

void SkinScreen::quit() {
    std::exit(0);
}

bool SkinScreen::runAction(SkinElement&) {
    return false;
}

void SkinScreen::tickAll(std::uint32_t frame) {
    for (const auto& e : elements_) {
        if (e->visible) {
            e->tick(frame);
        }
    }
}

bool SkinScreen::animating() const {
    // In map mode the sprites under the map (read-outs, needles, panels) are
    // not drawn: their changes wait for the way back, which draws everything,
    // and are no reason to stay awake.
    const SkinElement* map = mapMode ? byId(ElementId::TrackView) : nullptr;
    const SkinElement* compass = mapMode ? byId(ElementId::TrackCompass) : nullptr;
    // A static element's erasePending is never acted on: only drawing counts.
    for (const auto& e : elements_) {
        if (map && e->sprite && e.get() != map && e.get() != compass) {
            continue;
        }
        if (e->visible && (e->animating() || e->dirty || (e->sprite && e->erasePending))) {
            return true;
        }
    }
    return false;
}

void SkinScreen::markAllDirty() {
    for (const auto& e : elements_) {
        if (e->visible) {
            e->dirty = 1;
        }
    }
}

bool SkinScreen::anythingPending() const {
    for (const auto& e : elements_) {
        if (e->visible && (e->dirty || e->erasePending)) {
            return true;
        }
    }
    return false;
}

// Elements over a dirty element, and sprites over an area about to be erased,
// must be drawn again in the same frame. Repeats until nothing changes.
void SkinScreen::propagateOverlaps() {
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& a : elements_) {
            if (!a->visible || !a->dirty) {
                continue;
            }
            const Rect area = a->paintRect();
            for (const auto& b : elements_) {
                if (b->visible && !b->dirty && !b->erasePending && b->layer > a->layer &&
                    b->paintRect().intersects(area)) {
                    b->dirty = 1;
                    changed = true;
                }
            }
            if (a->erasePending && a->sprite) {
                const Rect erased = a->eraseRect();
                for (const auto& b : elements_) {
                    if (b.get() != a.get() && b->visible && b->sprite && !b->dirty &&
                        !b->erasePending && b->paintRect().intersects(erased)) {
                        b->dirty = 1;
                        changed = true;
                    }
                }
            }
        }
    }
}

bool SkinScreen::staticPass() {
    bool drew = false;
    for (int layer : layerOrder_) {
        for (const auto& e : elements_) {
            if (e->visible && e->dirty && e->layer == layer && !e->sprite) {
                e->dirty = 0;
                touched(*e);
                e->draw(surfaces_);
                drew = true;
            }
        }
    }
    return drew;
}

bool SkinScreen::erasePass() {
    bool erased = false;
    for (const auto& e : elements_) {
        if (e->erasePending && e->sprite) {
            e->erasePending = 0;
            touched(*e);
            e->erase(surfaces_);
            erased = true;
        }
    }
    return erased;
}

bool SkinScreen::spritePass() {
    bool drew = false;
    for (int layer : layerOrder_) {
        for (const auto& e : elements_) {
            if (e->visible && e->dirty && e->layer == layer && e->sprite) {
                e->dirty = 0;
                touched(*e);
                e->draw(surfaces_);
                drew = true;
            }
        }
    }
    return drew;
}

void SkinScreen::touched(const SkinElement& e) {
    for (const Rect& r : {e.rect, e.paintRect(), e.eraseRect()}) {
        if (!r.isEmpty() && (changed_.empty() || changed_.back() != r)) {
            changed_.push_back(r);
        }
    }
}

int SkinScreen::compose() {
    changed_.clear();
    if (elements_.empty() || !anythingPending()) {
        return 0;
    }
    if (mapMode) {
        return composeMap();
    }
    propagateOverlaps();
    bool drew = staticPass();
    drew = erasePass() || drew;
    drew = spritePass() || drew;
    return drew ? 1 : 0;
}

// In map mode only the static elements, the map and its compass are drawn;
// the compass sits on the map and is restored from the scratch surface.
int SkinScreen::composeMap() {
    const int drewStatic = staticPass() ? 1 : 0;
    SkinElement* map = byId(ElementId::TrackView);
    SkinElement* compass = byId(ElementId::TrackCompass);
    if (!map || !compass) {
        return drewStatic;
    }
    auto clearBoth = [&] {
        map->dirty = map->erasePending = 0;
        compass->dirty = compass->erasePending = 0;
    };
    if (!(map->visible && map->dirty)) {
        if (!compass->dirty) {
            clearBoth();
            return drewStatic;
        }
        const Rect area = compass->rect;
        touched(*compass);
        surfaces_.frame.copyFrom(surfaces_.scratch, Rect{0, 0, area.width(), area.height()},
                                 area.left, area.top);
        compass->draw(surfaces_);
    } else {
        touched(*map);
        touched(*compass);
        map->setKeepArea(compass->eraseRect());
        map->erase(surfaces_);
        map->draw(surfaces_);
        compass->draw(surfaces_);
    }
    clearBoth();
    return 1;
}

void SkinScreen::drawAll() {
    if (mapMode) {
        drawAllMap();
        return;
    }
    for (int layer : layerOrder_) {
        for (const auto& e : elements_) {
            if (e->visible && e->layer == layer) {
                e->draw(surfaces_);
                e->dirty = 0;
                e->erasePending = 0;
            }
        }
    }
}

// A full repaint in map mode shows what composing shows: the static elements,
// then the map with its compass. The read-outs keep their visible flag under
// the map but must not be painted over it.
void SkinScreen::drawAllMap() {
    for (int layer : layerOrder_) {
        for (const auto& e : elements_) {
            if (e->visible && e->layer == layer && !e->sprite) {
                e->draw(surfaces_);
                e->dirty = 0;
                e->erasePending = 0;
            }
        }
    }
    SkinElement* map = byId(ElementId::TrackView);
    SkinElement* compass = byId(ElementId::TrackCompass);
    if (map && map->visible) {
        if (compass) {
            map->setKeepArea(compass->eraseRect());
        }
        map->erase(surfaces_);
        map->draw(surfaces_);
        map->dirty = map->erasePending = 0;
    }
    if (compass && compass->visible) {
        compass->draw(surfaces_);
        compass->dirty = compass->erasePending = 0;
    }
}

void SkinScreen::press(int x, int y) {
    for (auto layer = layerOrder_.rbegin(); layer != layerOrder_.rend(); ++layer) {
        for (const auto& e : elements_) {
            if (!e->visible || e->layer != *layer) {
                continue;
            }
            if (e->onPress(x, y) && e->id == ElementId::QuitButton) {
                quit();
                break;
            }
        }
    }
}

void SkinScreen::release(int x, int y) {
    releasedNow_.clear();
    for (auto layer = layerOrder_.rbegin(); layer != layerOrder_.rend(); ++layer) {
        for (const auto& e : elements_) {
            if (!e->visible || e->layer != *layer) {
                continue;
            }
            if (!e->onRelease(x, y)) {
                continue;
            }
            releasedNow_.push_back(e.get());
            if (e->group != ElementGroup::PanelSelector &&
                e->group != ElementGroup::ValueSelector && runAction(*e)) {
                break;
            }
        }
    }
    releasedNow_.clear();
}

bool SkinScreen::releasedThisTouch(const SkinElement* e) const {
    for (const SkinElement* r : releasedNow_) {
        if (r == e) {
            return true;
        }
    }
    return false;
}

void SkinScreen::move(int x, int y) {
    if (!mapMode) {
        return;
    }
    SkinElement* map = byId(ElementId::TrackView);
    if (map && map->visible) {
        map->dragTo(x, y);
    }
}

}  // namespace wp2
