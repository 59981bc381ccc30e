// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A background picture or a filled rectangle that owns child elements: moving
// or hiding the panel moves or hides its children with it.

#include <QImage>
#include <QRgb>
#include <vector>

#include "ui/skin_element.h"

namespace wp2 {

class BitmapPanel : public SkinElement {
public:
    BitmapPanel();

    // A panel showing bitmap `bitmapId`, its rectangle at (0, 0) with the bitmap's size.
    virtual void initBitmap(int bitmapId, const std::string& panelName);
    // A plain filled rectangle at (0, 0).
    virtual void initPlain(int width, int height, QRgb colour, const std::string& panelName);
    // A filled rectangle with its name in a grey caption band.
    virtual void initCaption(QRgb colour, const std::string& panelName);

    void draw(DrawingSurfaces& surfaces) override;
    void offsetBy(int dx, int dy) override;
    void moveTo(int x, int y) override;
    void setVisible(int v) override;

    // Appends a child, shown with the panel.
    void addChild(SkinElement* child);
    // Shows every child with the panel from now on, then sets the panel's visibility.
    void showWithChildren(int v);
    // Hides the children, remembering which were shown, and leaves the panel as it is.
    void hideChildrenKeepState();

    const std::vector<SkinElement*>& children() const { return children_; }
    const std::vector<int>& childShown() const { return childShown_; }

    QRgb fillColour = 0;
    int captionStyle = 0;
    int bitmapId = 0;
    int grid = 0;

protected:
    // Draws the panel's picture into the frame surface (no copy to the background).
    void drawPanel(DrawingSurfaces& surfaces);
    // Copies the panel's rectangle from the frame to the background surface.
    void keepAsBackground(DrawingSurfaces& surfaces);

private:
    void drawGrid(DrawingSurfaces& surfaces);

    std::vector<SkinElement*> children_;
    std::vector<int> childShown_;
};

// An invisible grouping of children: it draws nothing.
class ContainerPanel : public BitmapPanel {
public:
    void draw(DrawingSurfaces&) override {}
};

}  // namespace wp2
