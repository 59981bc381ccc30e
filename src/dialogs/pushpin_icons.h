#pragma once
// The pushpin icon image list as the dialogs draw it: the skin's pushpin
// pictures with their black key colour made transparent.

#include <QIcon>
#include <QPixmap>

namespace wp2 {

// Number of pictures in the list.
int pushpinIconListSize();
// Picture i of the list, enlarged by the dialog scale; a null pixmap for an
// index outside it.
QPixmap pushpinPixmap(int index);
QIcon pushpinQIcon(int index);

// The icon last chosen in the icon chooser, which new pushpins get (0 at start).
int lastIconChosen();
void setLastIconChosen(int icon);

}  // namespace wp2
