// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bitmap drawn with one key colour left out: pixels of the key colour leave
// the surface unchanged, all others show the image.

#include <QImage>
#include <QRgb>

#include "ui/rect.h"
#include "ui/surface.h"

namespace wp2 {

class TransparentBitmap {
public:
    // Loads bitmap `bitmapId` with its key colour; false when it cannot be loaded.
    bool load(int bitmapId, QRgb keyColour);
    bool load(const QImage& image, QRgb keyColour);

    void drawTransparent(Surface& surface, int x, int y) const;
    // With a key colour chosen for this call; sourceRect (when given) selects a part.
    void drawTransparentKey(Surface& surface, int x, int y, QRgb keyColour,
                            const Rect* sourceRect = nullptr) const;
    // A plain copy of the bitmap or of sourceRect of it.
    void drawOpaque(Surface& surface, int x, int y, const Rect* sourceRect = nullptr) const;

    bool maskReady() const { return maskReady_; }
    // The picture, loaded again in the current palette when it came from a
    // bitmap id and the palette changed since.
    const QImage& image() const;
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QRgb keyColour() const { return key_; }

private:
    Rect whole() const { return {0, 0, width(), height()}; }

    mutable QImage image_;
    int bitmapId_ = 0;  // 0: given as an image
    mutable unsigned generation_ = 0;
    QRgb key_ = 0;
    bool maskReady_ = false;
};

}  // namespace wp2
