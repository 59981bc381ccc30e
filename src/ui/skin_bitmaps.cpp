// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/skin_bitmaps.h"

#include <QDir>
#include <QHash>
#include <QString>
#include <algorithm>
#include <mutex>

namespace wp2 {
namespace {

const QString kFolder = QStringLiteral(":/skin");
const QString kNightFolder = QStringLiteral(":/skin-night");

struct Cache {
    std::mutex lock;
    QHash<int, QImage> images[2];  // by palette
    std::vector<int> ids;
    bool listed = false;
};

Cache& cache() {
    static Cache c;
    return c;
}

// Lists the embedded folder once: every "<number>.png" in it is a bitmap.
const std::vector<int>& listedIds(Cache& c) {
    if (!c.listed) {
        const QStringList names = QDir(kFolder).entryList({QStringLiteral("*.png")}, QDir::Files);
        for (const QString& name : names) {
            bool ok = false;
            const int id = name.chopped(4).toInt(&ok);
            if (ok && id > 0) {
                c.ids.push_back(id);
            }
        }
        std::sort(c.ids.begin(), c.ids.end());
        c.listed = true;
    }
    return c.ids;
}

int pushpinIconTotal(Cache& c) {
    const std::vector<int>& ids = listedIds(c);
    int count = 0;
    while (std::binary_search(ids.begin(), ids.end(), skin::kFirstPushpinIcon + count)) {
        ++count;
    }
    return count;
}

}  // namespace

QImage skinBitmap(int id) {
    return skinBitmap(id, currentPalette());
}

QImage skinBitmap(int id, Palette palette) {
    Cache& c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    QHash<int, QImage>& images = c.images[palette == Palette::Night ? 1 : 0];
    const auto found = images.constFind(id);
    if (found != images.constEnd()) {
        return found.value();
    }
    const std::vector<int>& ids = listedIds(c);
    if (!std::binary_search(ids.begin(), ids.end(), id)) {
        return QImage();
    }
    const QString& folder = palette == Palette::Night ? kNightFolder : kFolder;
    QImage image(folder + QLatin1Char('/') + QString::number(id) + QStringLiteral(".png"));
    if (!image.isNull() && image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    images.insert(id, image);
    return image;
}

QSize skinBitmapSize(int id) {
    const QImage image = skinBitmap(id);
    return image.isNull() ? QSize() : image.size();
}

std::vector<int> skinBitmapIds() {
    Cache& c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    return listedIds(c);
}

int pushpinIconCount() {
    Cache& c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    return pushpinIconTotal(c);
}

QImage pushpinIcon(int index) {
    if (index < 0 || index >= pushpinIconCount()) {
        return QImage();
    }
    return skinBitmap(skin::kFirstPushpinIcon + index);
}

}  // namespace wp2
