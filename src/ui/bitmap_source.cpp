// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/bitmap_source.h"

#include <QHash>
#include <optional>

#include "ui/night_palette.h"
#include "ui/skin_bitmaps.h"

namespace wp2 {

namespace {

constexpr int kIconSize = 16;

// The program's own resources.
class ResourceBitmaps final : public BitmapSource {
public:
    QImage bitmap(int id) const override { return skinBitmap(id); }
    std::vector<int> pushpinIconIds() const override {
        std::vector<int> ids;
        const int count = pushpinIconCount();
        for (int i = 0; i < count; ++i) {
            const QImage icon = pushpinIcon(i);
            if (icon.width() == kIconSize && icon.height() == kIconSize) {
                ids.push_back(skin::kFirstPushpinIcon + i);
            }
        }
        return ids;
    }
};

const BitmapSource* installed = nullptr;

const BitmapSource& source() {
    static const ResourceBitmaps resources;
    return installed ? *installed : resources;
}

// Loaded bitmaps, converted once; images are shared, so copies are cheap.
QHash<int, QImage>& bitmapCache() {
    static QHash<int, QImage> cache;
    return cache;
}

std::optional<std::vector<int>>& builtIconTable() {
    static std::optional<std::vector<int>> table;
    return table;
}

const std::vector<int>& iconTable() {
    auto& table = builtIconTable();
    if (!table) {
        table = source().pushpinIconIds();
    }
    return *table;
}

}  // namespace

void setBitmapSource(const BitmapSource* s) {
    installed = s;
    bitmapCache().clear();
    builtIconTable().reset();
}

QImage loadBitmap(int id) {
    QHash<int, QImage>& cache = bitmapCache();
    static unsigned loadedGeneration = paletteGeneration();
    if (loadedGeneration != paletteGeneration()) {
        loadedGeneration = paletteGeneration();
        cache.clear();
    }
    auto it = cache.find(id);
    if (it == cache.end()) {
        QImage image = source().bitmap(id);
        if (!image.isNull() && image.format() != QImage::Format_RGB32) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        it = cache.insert(id, image);
    }
    return *it;
}

int pushpinIconTableSize() {
    return static_cast<int>(iconTable().size());
}

int pushpinIconBitmapId(int iconIndex) {
    const std::vector<int>& table = iconTable();
    if (iconIndex < 0 || iconIndex >= static_cast<int>(table.size())) {
        return 0;
    }
    return table[static_cast<std::size_t>(iconIndex)];
}

QImage pushpinIconPicture(int iconIndex) {
    const int id = pushpinIconBitmapId(iconIndex);
    return id ? loadBitmap(id) : QImage();
}

}  // namespace wp2
