#pragma once
// Where the dashboard's bitmaps come from. The pictures are program
// resources addressed by number; a different source can be installed (the
// preview program and the tests draw with their own pictures).

#include <QImage>

namespace wp2 {

class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    // The bitmap with this resource id, or a null image when there is none.
    virtual QImage bitmap(int id) const = 0;
    // Entry `index` of the pushpin icon table (16 x 16), or a null image.
    virtual QImage pushpinIcon(int index) const = 0;
};

// Installs a source (nullptr: the program's own resources) and forgets every
// bitmap loaded so far.
void setBitmapSource(const BitmapSource* source);

// The bitmap in 32-bit RGB, or a null image when it cannot be loaded.
QImage loadBitmap(int id);
QImage loadPushpinIcon(int index);

}  // namespace wp2
