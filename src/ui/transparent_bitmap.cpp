// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transparent_bitmap.h"

#include "ui/bitmap_source.h"

namespace wp2 {

bool TransparentBitmap::load(int bitmapId, QRgb keyColour) {
    return load(loadBitmap(bitmapId), keyColour);
}

bool TransparentBitmap::load(const QImage& image, QRgb keyColour) {
    image_ = image.isNull() || image.format() == QImage::Format_RGB32
                 ? image
                 : image.convertToFormat(QImage::Format_RGB32);
    key_ = keyColour;
    maskReady_ = !image_.isNull();
    return maskReady_;
}

void TransparentBitmap::drawTransparent(Surface& surface, int x, int y) const {
    if (maskReady_) {
        surface.blitKeyed(x, y, image_, whole(), key_);
    }
}

void TransparentBitmap::drawTransparentKey(Surface& surface, int x, int y, QRgb keyColour,
                                           const Rect* sourceRect) const {
    if (maskReady_) {
        surface.blitKeyed(x, y, image_, sourceRect ? *sourceRect : whole(), keyColour);
    }
}

void TransparentBitmap::drawOpaque(Surface& surface, int x, int y, const Rect* sourceRect) const {
    if (maskReady_) {
        surface.blit(x, y, image_, sourceRect ? *sourceRect : whole());
    }
}

}  // namespace wp2
