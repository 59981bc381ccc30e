// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog tests' QApplication on the offscreen platform, made once for the
// whole test program, and the review picture of a dialog on the screen.

#include <QWidget>
#include <string>

#include "support/dialog_test_driver.h"

namespace wp2::test {

// Checks that the dialog and every control fit the 240 x 320 screen enlarged
// by the dialog scale, below its title bar, with their text whole, and keeps
// a picture of the dialog in <build>/dialog_screens/<name>.png for review.
void renderScreen(QWidget& dialog, const std::string& name);
// Pixels a night picture must not have: bluish, or light grey and brighter.
int lightOrBluishPixels(const QImage& picture);

}  // namespace wp2::test
