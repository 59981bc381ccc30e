// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs' colours follow the dashboard's palette: at night every dialog
// and message box is dark with dim warm text, by day the style's own colours.

#include <QPalette>

#include "ui/night_palette.h"

namespace wp2 {

// The widget palette for the night: the night colours of the dashboard.
QPalette nightDialogPalette();
// Makes the application's widget palette the one for `palette`; by day the
// palette the application had before the first night. The style's icons made
// at night are in night colours too.
void applyDialogPalette(Palette palette);

}  // namespace wp2
