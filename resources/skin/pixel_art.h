// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small pictures written as rows of characters: each character names a colour of a
// palette, '.' leaves the pixel as it was. Used where every pixel matters (digit
// glyphs, icon symbols).

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <initializer_list>
#include <map>
#include <vector>

namespace wp2::art {

using Palette = std::map<char, QRgb>;
using Rows = std::vector<const char*>;

// Paints rows onto image with the top-left character at origin. Characters missing
// from the palette (other than '.') are a programming error and abort the generator.
void stamp(QImage& image, QPoint origin, const Rows& rows, const Palette& palette);

// A new image the size of the rows, filled with background, with the rows stamped on.
QImage pixelImage(const Rows& rows, const Palette& palette, QRgb background);

// Width of the widest row and the number of rows.
int rowsWidth(const Rows& rows);

}  // namespace wp2::art
