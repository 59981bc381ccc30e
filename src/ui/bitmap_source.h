// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the dashboard's bitmaps come from. The pictures are program
// resources addressed by number; a different source can be installed (the
// tests draw with their own pictures).

#include <QImage>
#include <vector>

namespace wp2 {

class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // The bitmap with this resource id, or a null image when there is none.
    virtual QImage bitmap(int id) const = 0;
    // The pushpin icon table: entry i is the bitmap id of the picture a
    // pushpin with icon index i wears (the 16 x 16 entries of the icon list).
    virtual std::vector<int> pushpinIconIds() const = 0;
};

// Installs a source (nullptr: the program's own resources) and forgets every
// bitmap loaded so far.
void setBitmapSource(const BitmapSource* source);

// The bitmap in 32-bit RGB in the current palette, or a null image when it
// cannot be loaded.
QImage loadBitmap(int id);

// The pushpin icon table, built once from the installed source: icon index i
// shows the same picture in the icon chooser, the pushpin list, the track map
// and the destination panels.
int pushpinIconTableSize();
// The bitmap id for a pushpin's icon index; 0 when the index names none.
int pushpinIconBitmapId(int iconIndex);
// The picture for a pushpin's icon index; a null image when it names none.
QImage pushpinIconPicture(int iconIndex);

}  // namespace wp2
