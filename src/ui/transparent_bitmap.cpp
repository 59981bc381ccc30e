// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transparent_bitmap.h"

#include "ui/bitmap_source.h"
#include "ui/night_palette.h"

namespace wp2 {

bool TransparentBitmap::load(int bitmapId, QRgb keyColour) {
    const bool loaded = load(loadBitmap(bitmapId), keyColour);
    bitmapId_ = bitmapId;
    generation_ = paletteGeneration();
    return loaded;
}

bool TransparentBitmap::load(const QImage& image, QRgb keyColour) {
    image_ = image.isNull() || image.format() == QImage::Format_RGB32
                 ? image
                 : image.convertToFormat(QImage::Format_RGB32);
    key_ = keyColour;
    bitmapId_ = 0;
    maskReady_ = !image_.isNull();
    return maskReady_;
}

const QImage& TransparentBitmap::image() const {
    if (bitmapId_ != 0 && generation_ != paletteGeneration()) {
        image_ = loadBitmap(bitmapId_);
        generation_ = paletteGeneration();
    }
    return image_;
}

void TransparentBitmap::drawTransparent(Surface& surface, int x, int y) const {
    if (maskReady_) {
        surface.blitKeyed(x, y, image(), whole(), key_);
    }
}

void TransparentBitmap::drawTransparentKey(Surface& surface, int x, int y, QRgb keyColour,
                                           const Rect* sourceRect) const {
    if (maskReady_) {
        surface.blitKeyed(x, y, image(), sourceRect ? *sourceRect : whole(), keyColour);
    }
}

void TransparentBitmap::drawOpaque(Surface& surface, int x, int y, const Rect* sourceRect) const {
    if (maskReady_) {
        surface.blit(x, y, image(), sourceRect ? *sourceRect : whole());
    }
}

}  // namespace wp2
