// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/bitmap_panel.h"

#include <QString>

#include "ui/bitmap_source.h"
#include "ui/fonts.h"
#include "ui/night_palette.h"
#include "ui/surface.h"

namespace wp2 {

namespace {
constexpr QRgb kCaptionBand = rgb(180, 180, 180);
constexpr QRgb kGridColour = rgb(50, 0, 180);
constexpr QRgb kNightPlain = rgb(14, 14, 14);
constexpr QRgb kNightCaptionBand = rgb(48, 48, 48);
constexpr QRgb kNightCaption = rgb(230, 230, 230);
constexpr int kGridStep = 55;
}  // namespace

BitmapPanel::BitmapPanel() {
    layer = 10;
    group = ElementGroup::Panel;
}

void BitmapPanel::initBitmap(int id, const std::string& panelName) {
    layer = 10;
    group = ElementGroup::Panel;
    name = panelName;
    bitmapId = id;
    const QImage image = loadBitmap(id);
    rect = Rect{0, 0, image.width(), image.height()};
}

void BitmapPanel::initPlain(int width, int height, QRgb colour, const std::string& panelName) {
    layer = 10;
    group = ElementGroup::Panel;
    name = panelName;
    rect = Rect{0, 0, width, height};
    fillColour = colour;
    captionStyle = 0;
}

void BitmapPanel::initCaption(QRgb colour, const std::string& panelName) {
    layer = 10;
    group = ElementGroup::Panel;
    name = panelName;
    rect = Rect{0, 150, 119, 264};
    fillColour = colour;
    captionStyle = 1;
}

void BitmapPanel::drawPanel(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    if (bitmapId != 0) {
        frame.blit(rect.left, rect.top, loadBitmap(bitmapId));
    } else {
        // Plain panels are the background at night, whatever their day colour.
        frame.fillRect(rect, darkAtNight(fillColour, kNightPlain));
        if (captionStyle) {
            const int bandTop = rect.top + static_cast<int>(rect.height() * 0.8);
            const Rect band{rect.left, bandTop, rect.right, rect.bottom};
            frame.fillRect(band, darkAtNight(kCaptionBand, kNightCaptionBand));
            frame.text(
                band, QString::fromStdString(name), dashboardFont(Typeface::Tahoma, 16, false),
                darkAtNight(rgb(0, 0, 0), kNightCaption), TextFlag::Centre | TextFlag::VCentre);
            const Point outline[5] = {{rect.left, rect.top},
                                      {rect.right - 1, rect.top},
                                      {rect.right - 1, rect.bottom - 1},
                                      {rect.left, rect.bottom - 1},
                                      {rect.left, rect.top}};
            frame.polyline(outline, 5, rgb(0, 0, 0));
        }
    }
    if (grid) {
        drawGrid(surfaces);
    }
}

void BitmapPanel::drawGrid(DrawingSurfaces& surfaces) {
    Surface& frame = surfaces.frame;
    for (int y = rect.top + 10; y <= rect.bottom - 14; y += kGridStep) {
        frame.line({rect.left + 10, y}, {rect.right - 10, y}, kGridColour);
    }
    for (int x = rect.left + 10; x <= rect.right - 10; x += kGridStep) {
        frame.line({x, rect.top + 10}, {x, rect.bottom - 14}, kGridColour);
    }
}

void BitmapPanel::keepAsBackground(DrawingSurfaces& surfaces) {
    surfaces.background.copyFrom(surfaces.frame, rect);
}

void BitmapPanel::draw(DrawingSurfaces& surfaces) {
    drawPanel(surfaces);
    keepAsBackground(surfaces);
}

void BitmapPanel::offsetBy(int dx, int dy) {
    for (SkinElement* child : children_) {
        child->offsetBy(dx, dy);
    }
    rect = rect.offset(dx, dy);
}

void BitmapPanel::moveTo(int x, int y) {
    offsetBy(x - rect.left, y - rect.top);
}

void BitmapPanel::setVisible(int v) {
    if (v) {
        for (std::size_t i = 0; i < children_.size(); ++i) {
            children_[i]->setVisible(childShown_[i]);
        }
    } else {
        for (std::size_t i = 0; i < children_.size(); ++i) {
            // Only a shown panel records what its children showed: hiding a
            // hidden panel again must not forget them.
            if (visible) {
                childShown_[i] = children_[i]->visible;
            }
            children_[i]->setVisible(0);
        }
    }
    SkinElement::setVisible(v);
}

void BitmapPanel::addChild(SkinElement* child) {
    children_.push_back(child);
    childShown_.push_back(1);
}

void BitmapPanel::showWithChildren(int v) {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        children_[i]->setVisible(1);
        childShown_[i] = 1;
    }
    setVisible(v);
}

void BitmapPanel::hideChildrenKeepState() {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        childShown_[i] = children_[i]->visible;
        children_[i]->setVisible(0);
    }
}

}  // namespace wp2
