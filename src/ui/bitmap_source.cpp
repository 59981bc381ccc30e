#include "ui/bitmap_source.h"

#include <QHash>

namespace wp2 {

namespace {

// The program's own resources.
class ResourceBitmaps final : public BitmapSource {
public:
    QImage bitmap(int) const override { return {}; }
    QImage pushpinIcon(int) const override { return {}; }
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
QHash<int, QImage>& iconCache() {
    static QHash<int, QImage> cache;
    return cache;
}

QImage toRgb32(const QImage& image) {
    if (image.isNull() || image.format() == QImage::Format_RGB32) {
        return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage cached(QHash<int, QImage>& cache, int key, QImage (*load)(int)) {
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache.insert(key, toRgb32(load(key)));
    }
    return *it;
}

}  // namespace

void setBitmapSource(const BitmapSource* s) {
    installed = s;
    bitmapCache().clear();
    iconCache().clear();
}

QImage loadBitmap(int id) {
    return cached(bitmapCache(), id, [](int k) { return source().bitmap(k); });
}

QImage loadPushpinIcon(int index) {
    return cached(iconCache(), index, [](int k) { return source().pushpinIcon(k); });
}

}  // namespace wp2
