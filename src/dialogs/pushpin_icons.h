// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pushpin icons as the dialogs draw them: the pictures of the one icon
// table the map and the panels use, with their black key colour made
// transparent.

#include <QIcon>
#include <QPixmap>

namespace wp2 {

// Number of icons a pushpin can wear.
int pushpinIconListSize();
// The picture of icon i, enlarged by the dialog scale; a null pixmap for an
// index outside the table.
QPixmap pushpinPixmap(int index);
QIcon pushpinQIcon(int index);

// The icon last chosen in the icon chooser, which new pushpins get (0 at start).
int lastIconChosen();
void setLastIconChosen(int icon);

}  // namespace wp2
