// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixel_art.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace wp2::art {

void stamp(QImage& image, QPoint origin, const Rows& rows, const Palette& palette) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        const char* row = rows[y];
        for (int x = 0; row[x] != '\0'; ++x) {
            if (row[x] == '.') {
                continue;
            }
            const auto colour = palette.find(row[x]);
            if (colour == palette.end()) {
                std::fprintf(stderr, "pixel art: no colour for '%c'\n", row[x]);
                std::abort();
            }
            const QPoint at = origin + QPoint(x, y);
            if (image.rect().contains(at)) {
                image.setPixel(at, colour->second);
            }
        }
    }
}

int rowsWidth(const Rows& rows) {
    int width = 0;
    for (const char* row : rows) {
        width = std::max(width, static_cast<int>(std::strlen(row)));
    }
    return width;
}

QImage pixelImage(const Rows& rows, const Palette& palette, QRgb background) {
    QImage image(rowsWidth(rows), static_cast<int>(rows.size()), QImage::Format_RGB32);
    image.fill(background);
    stamp(image, QPoint(0, 0), rows, palette);
    return image;
}

}  // namespace wp2::art
