// SPDX-License-Identifier: GPL-3.0-or-later
#include "pushpin_icons.h"

#include <QBitmap>
#include <QImage>

#include "dialog_layout.h"
#include "ui/bitmap_source.h"
#include "ui/skin_bitmaps.h"

namespace wp2 {

namespace {

int lastIcon = 0;

}  // namespace

int pushpinIconListSize() {
    return pushpinIconTableSize();
}

QPixmap pushpinPixmap(int index) {
    QImage image = pushpinIconPicture(index);
    if (image.isNull()) {
        return {};
    }
    if (dialogScale() > 1) {
        image = image.scaled(image.size() * dialogScale(), Qt::IgnoreAspectRatio,
                             Qt::FastTransformation);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(
        QBitmap::fromImage(image.createMaskFromColor(skin::kPushpinKey, Qt::MaskInColor)));
    return pixmap;
}

QIcon pushpinQIcon(int index) {
    const QPixmap pixmap = pushpinPixmap(index);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

int lastIconChosen() {
    return lastIcon;
}

void setLastIconChosen(int icon) {
    lastIcon = icon;
}

}  // namespace wp2
